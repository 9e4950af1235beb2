// The program's command line, read the same way by pentrax2 and by
// Pentrax2.exe and Pentrax2.com: no command shows the window; size, restore,
// query and list act from the command line. Plain C++: no toolkit.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sizing.h"
#include "window_manager.h"

namespace pentrax::cli {

enum class Command { kWindow, kSize, kRestore, kQuery, kList };

// Which window a command acts on.
struct WindowChoice {
  enum class Kind { kActive, kPick, kId };
  Kind kind = Kind::kActive;
  WindowHandle id = 0;
};

struct Options {
  Command command = Command::kWindow;
  bool help = false;
  bool version = false;
  std::string backend;  // --backend; empty: the session's
  // size: the size asked for (nullopt: the window's choices), the border and
  // the task bar (nullopt: none with a size, else the window's; 0: off).
  std::optional<Size> size;
  std::optional<std::int32_t> border;
  std::optional<std::int32_t> taskbar;
  bool content = false;
  bool json = false;
  WindowChoice window;
  double timeoutSeconds = 10;  // --window pick
};

// The options, or the message of a command line that is not understood: it
// names the argument, and ends in "; see --help". json: --json is among the
// arguments, understood or not (the answer is then one JSON object).
struct Parsed {
  std::optional<Options> options;
  std::string error;
  bool json = false;
};

// arguments: the command line without the program's name.
Parsed Parse(const std::vector<std::string>& arguments);

// The usage text: program is "pentrax2" or "Pentrax2.exe"; backends lists
// the backends of this build; settings says where the settings live.
std::string Usage(std::string_view program, std::string_view backends,
                  std::string_view settings);

}  // namespace pentrax::cli
