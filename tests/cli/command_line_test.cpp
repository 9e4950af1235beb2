// The command line's grammar, once for every program: what each command
// line means, and what is said of one that is not understood.
#include "command_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace pentrax::cli {
namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) {
    words.push_back(w);
  }
  return words;
}

// What the options say, in short: command, size, border, task bar, window,
// and the flags that are set.
std::string Meaning(const Options& o) {
  const char* commands[] = {"window", "size", "restore", "query", "list"};
  const char* kinds[] = {"active", "pick", "#"};
  std::string m = commands[static_cast<int>(o.command)];
  if (o.size)
    m += " " + std::to_string(o.size->width) + "x" +
         std::to_string(o.size->height);
  if (o.border) m += " border=" + std::to_string(*o.border);
  if (o.taskbar) m += " taskbar=" + std::to_string(*o.taskbar);
  m += std::string(" ") + kinds[static_cast<int>(o.window.kind)];
  if (o.window.id) m += std::to_string(o.window.id);
  if (o.timeoutSeconds != 10)
    m += " timeout=" + std::to_string(static_cast<int>(o.timeoutSeconds));
  for (const auto& [set, name] : {std::pair{o.content, " content"},
                                  {o.json, " json"},
                                  {o.help, " help"},
                                  {o.version, " version"}}) {
    if (set) m += name;
  }
  return o.backend.empty() ? m : m + " backend=" + o.backend;
}

TEST(CommandLine, WhatEachLineMeansOrWhyItIsRefused) {
  const std::pair<const char*, const char*> rows[] = {
      {"", "window active"},
      {"--backend sway", "window active backend=sway"},
      {"--backend=kwin --help", "window active help backend=kwin"},
      {"size", "size active"},
      {"size 1280x720", "size 1280x720 active"},
      {"size 800X600 --border 3 --taskbar 28",
       "size 800x600 border=3 taskbar=28 active"},
      {"size --no-border --no-taskbar --json",
       "size border=0 taskbar=0 active json"},
      {"size 640x480 --content --window 0x1e00004",
       "size 640x480 #31457284 content"},
      {"--json size --window pick --timeout 3", "size pick timeout=3 json"},
      {"restore --window=42", "restore #42"},
      {"query --version", "query active version"},
      {"list --json", "list active json"},
      // Refused, with the argument named (and "; see --help" after).
      {"frob", "unknown command 'frob'"},
      {"size --frob", "unknown option '--frob'"},
      {"-platform xcb", "unknown option '-platform'"},
      {"size --border", "option '--border' needs a value"},
      {"size --json=yes", "option '--json' takes no value"},
      {"size 0x5",
       "'0x5' is not a size: two positive whole numbers, WIDTHxHEIGHT"},
      {"size 800x",
       "'800x' is not a size: two positive whole numbers, WIDTHxHEIGHT"},
      {"size 99999999999x5",
       "'99999999999x5' is not a size: two positive whole numbers, "
       "WIDTHxHEIGHT"},
      {"size 800x600 10x10", "unexpected argument '10x10'"},
      {"size --border -3", "--border: '-3' is not a number of pixels"},
      {"size --window foo",
       "--window: 'foo' is not a window: active, pick or a window's number"},
      {"size --window 0",
       "--window: '0' is not a window: active, pick or a window's number"},
      {"size --window pick --timeout 0",
       "--timeout: '0' is not a number of seconds"},
      {"restore --border 3", "option '--border' does not go with restore"},
      {"list --window 5", "option '--window' does not go with list"},
      {"--json", "option '--json' does not go with the window"},
  };
  for (const auto& [line, meaning] : rows) {
    const Parsed p = Parse(Words(line));
    EXPECT_EQ(p.options ? Meaning(*p.options) : p.error,
              meaning + std::string(p.options ? "" : "; see --help"))
        << line;
  }
}

}  // namespace
}  // namespace pentrax::cli
