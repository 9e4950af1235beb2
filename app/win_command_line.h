// What Pentrax2.exe makes of its command line, in plain C++: run, or show
// the version or the usage text, or refuse an argument it does not know.
#pragma once

#include <string>
#include <vector>

namespace pentrax {

struct CommandLineAnswer {
  enum class Action { kRun, kShow, kRefuse };
  Action action = Action::kRun;
  std::string text;  // for kShow and kRefuse: one message box's text
};

// arguments: the command line without the program's name; application:
// the executable's base name ("Pentrax2"), which names its registry key;
// version: the program's (PENTRAX_VERSION_TEXT).
CommandLineAnswer ReadCommandLine(const std::vector<std::string>& arguments,
                                  const std::string& application,
                                  const std::string& version);

}  // namespace pentrax
