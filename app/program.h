// What pentrax2's executable and the two parts it loads share (main.cpp):
// the commands and --help, the settings' path and the session's
// placements. The executable carries out a command itself on X11 and sway,
// without Qt; its D-Bus part (dbus_part.cpp) does it, in a QCoreApplication,
// where the backend talks D-Bus; its window part (window_part.cpp) shows the
// window.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "command_line.h"
#include "commands.h"
#include "ledger_store.h"
#include "window_manager.h"

// A part's entry point, the one symbol it exports.
#define PENTRAX_PART_ENTRY extern "C" __attribute__((visibility("default")))

namespace pentrax::app {

// What an entry point takes: the executable's version (a part of another
// version refuses to run) and its command line; it returns the exit status.
using PartEntry = int (*)(const char* version, int argc, char** argv);

// The parts' entry points (window_part.cpp, dbus_part.cpp).
inline constexpr char kWindowEntry[] = "pentrax2_window_main";
inline constexpr char kDBusEntry[] = "pentrax2_dbus_main";

// "pentrax2: WHY" on standard error; returns status.
int Fail(const std::string& why, int status = cli::kUsage);

// The command line as a part gets it: the executable has checked it, and
// its version must be the part's. Says why not and returns nullopt.
std::optional<cli::Options> PartOptions(const char* version, int argc,
                                        char** argv);

// The window's settings file.
std::string SettingsPath();

// The session's shared placements for the backend's desktop, or this
// process's own (said on standard error) where the session has no runtime
// folder.
std::unique_ptr<LedgerStore> Placements(const std::string& backend,
                                        WindowManager& wm);

// --help: the usage, with the backend this session would get.
int Help();

// A command (not kWindow); for a backend that talks D-Bus, a
// QCoreApplication must exist first.
int RunCommand(const cli::Options& o);

}  // namespace pentrax::app
