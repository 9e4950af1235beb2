// What Pentrax2.exe (the window, and the commands from a shortcut key) and
// Pentrax2.com (the commands from cmd and PowerShell) share: the command
// line as Windows passes it, read by the program's one parser, and the
// commands, carried out with the session's placements and the choices the
// window saved in the registry.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "command_line.h"
#include "commands.h"

namespace pentrax::win {

// The command line understood (options), or what to tell instead: the
// version, the usage, or why the command line is not understood, with the
// exit status (0 or cli::kUsage); for the last with --json, also the one
// JSON object that standard output gets, as for any command.
struct Reading {
  std::optional<cli::Options> options;
  std::string text;
  int status = 0;
  std::string json = {};
};

// program: the name the usage text shows ("Pentrax2.exe", "Pentrax2").
Reading ReadCommandLine(std::string_view program);

// Carries out a command (not the window); its output goes to out, its
// errors and notes to err. Returns the exit status.
int RunCommand(const cli::Options& options,
               const std::function<void(std::string_view)>& out,
               const std::function<void(std::string_view)>& err);

}  // namespace pentrax::win
