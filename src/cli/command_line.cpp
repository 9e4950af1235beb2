#include "command_line.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "numbers.h"

namespace pentrax::cli {
namespace {

// A whole number from lowest up (ReadWholeNumber).
std::optional<std::int32_t> WholeAtLeast(std::string_view text,
                                         std::int32_t lowest,
                                         bool hex = false) {
  const auto n = ReadWholeNumber(text, hex);
  return n && *n >= lowest ? n : std::nullopt;
}

// WIDTHxHEIGHT, each at least 1.
std::optional<Size> ReadSize(std::string_view text) {
  const auto x = text.find_first_of("xX");
  if (x == std::string_view::npos) {
    return std::nullopt;
  }
  const auto w = WholeAtLeast(text.substr(0, x), 1);
  const auto h = WholeAtLeast(text.substr(x + 1), 1);
  return w && h ? std::optional(Size{*w, *h}) : std::nullopt;
}

// The options each command takes.
const std::map<std::string_view, std::string_view> kTakes = {
    {"--border", "size"},
    {"--no-border", "size"},
    {"--taskbar", "size"},
    {"--no-taskbar", "size"},
    {"--content", "size"},
    {"--window", "size restore query"},
    {"--timeout", "size restore query"},
    {"--json", "size restore query list"},
};

const std::map<std::string_view, Command> kCommands = {
    {"size", Command::kSize},
    {"restore", Command::kRestore},
    {"query", Command::kQuery},
    {"list", Command::kList}};

Parsed Error(const std::string& what) {
  return {std::nullopt, what + "; see --help"};
}

Parsed Read(const std::vector<std::string>& arguments) {
  Options o;
  std::string_view command;  // as given
  std::vector<std::string_view> given;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view arg = arguments[i];
    std::string_view value;
    bool hasValue = false;
    if (arg.starts_with("--") && arg.find('=') != std::string_view::npos) {
      value = arg.substr(arg.find('=') + 1);
      arg = arg.substr(0, arg.find('='));
      hasValue = true;
    }
    const auto takeValue = [&]() -> std::optional<std::string_view> {
      if (!hasValue && i + 1 < arguments.size()) {
        value = arguments[++i];
        hasValue = true;
      }
      return hasValue ? std::optional(value) : std::nullopt;
    };
    const bool valued = arg == "--backend" || arg == "--border" ||
                        arg == "--taskbar" || arg == "--window" ||
                        arg == "--timeout";
    if (valued && !takeValue()) {
      return Error("option '" + std::string(arg) + "' needs a value");
    }
    if (!valued && hasValue) {
      return Error("option '" + std::string(arg) + "' takes no value");
    }
    const auto quoted = [&] { return "'" + std::string(value) + "'"; };
    if (arg == "-h" || arg == "--help") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (arg == "--backend") {
      o.backend = value;
    } else if (arg == "--border" || arg == "--taskbar") {
      const auto n = WholeAtLeast(value, 0);
      if (!n) {
        return Error(std::string(arg) + ": " + quoted() +
                     " is not a number of pixels");
      }
      (arg == "--border" ? o.border : o.taskbar) = *n;
    } else if (arg == "--no-border") {
      o.border = 0;
    } else if (arg == "--no-taskbar") {
      o.taskbar = 0;
    } else if (arg == "--content") {
      o.content = true;
    } else if (arg == "--json") {
      o.json = true;
    } else if (arg == "--window") {
      if (value == "active" || value == "pick") {
        o.window.kind = value == "active" ? WindowChoice::Kind::kActive
                                          : WindowChoice::Kind::kPick;
      } else if (const auto id = WholeAtLeast(value, 1, true)) {
        o.window = {WindowChoice::Kind::kId, *id};
      } else {
        return Error("--window: " + quoted() +
                     " is not a window: active, pick or a window's number");
      }
    } else if (arg == "--timeout") {
      const auto s = WholeAtLeast(value, 1);
      if (!s) {
        return Error("--timeout: " + quoted() + " is not a number of seconds");
      }
      o.timeoutSeconds = *s;
    } else if (arg.starts_with('-')) {
      return Error("unknown option '" + std::string(arg) + "'");
    } else if (command.empty()) {
      const auto it = kCommands.find(arg);
      if (it == kCommands.end()) {
        return Error("unknown command '" + std::string(arg) + "'");
      }
      command = arg;
      o.command = it->second;
      continue;
    } else if (o.command == Command::kSize && !o.size) {
      o.size = ReadSize(arg);
      if (!o.size) {
        return Error("'" + std::string(arg) +
                     "' is not a size: two positive whole numbers, "
                     "WIDTHxHEIGHT");
      }
      continue;
    } else {
      return Error("unexpected argument '" + std::string(arg) + "'");
    }
    given.push_back(arg);
  }
  for (const std::string_view option : given) {
    const auto takes = kTakes.find(option);
    if (takes == kTakes.end()) {
      continue;  // every command's, or none
    }
    bool fits = false;
    for (std::string_view rest = takes->second; !rest.empty();) {
      const auto space = rest.find(' ');
      fits |= !command.empty() && rest.substr(0, space) == command;
      rest = space == std::string_view::npos ? "" : rest.substr(space + 1);
    }
    if (!fits) {
      return Error(
          "option '" + std::string(option) + "' does not go with " +
          (command.empty() ? std::string("the window") : std::string(command)));
    }
  }
  return {o, {}};
}

}  // namespace

Parsed Parse(const std::vector<std::string>& arguments) {
  Parsed p = Read(arguments);
  p.json = std::any_of(arguments.begin(), arguments.end(), [](auto& a) {
    return a == "--json" || a.starts_with("--json=");
  });
  return p;
}

std::string Usage(std::string_view program, std::string_view backends,
                  std::string_view settings) {
  const std::string p(program);
  return "Usage: " + p +
         " [COMMAND] [OPTIONS]\n"
         "Sizes other programs' windows to a test resolution. Without a\n"
         "command it shows its window: pick a size, press the sizing button,\n"
         "then activate the window to size; the restore button puts a sized\n"
         "window back. The commands do the same from a terminal or a\n"
         "shortcut key:\n\n"
         "  size [WxH]   size a window to WxH (frame included), or to the\n"
         "               size, border and task bar chosen in the window. As\n"
         "               there, the width and height are limited to the\n"
         "               screen and the border (at most the screen's smaller\n"
         "               side) is added beyond that; a window larger than\n"
         "               the work area starts at its left or top edge\n"
         "    --border N, --no-border    add a border of N pixels on every\n"
         "                               side (with WxH: none unless asked)\n"
         "    --taskbar N, --no-taskbar  take a task bar of N pixels off\n"
         "    --content                  WxH is the content; the desktop's\n"
         "                               frame and title bar are added\n"
         "  restore      put a sized window back where it was before its\n"
         "               last sizing\n"
         "  query        tell a window's number, title, place and state\n"
         "  list         list the windows Pentrax can act on\n\n"
         "  --window active|pick|N  the window in front (the default), the\n"
         "                          next one activated, or window number N;\n"
         "                          only a window that list lists\n"
         "  --timeout SECONDS       how long pick waits (10)\n"
         "  --json                  answer with one JSON object, whatever\n"
         "                          the outcome (man pentrax2: its fields)\n"
         "  --backend NAME          act through NAME: " +
         std::string(backends) +
         "\n"
         "  -h, --help              show this text\n"
         "  --version               show the version\n\n"
         "Exit status: 0 done as asked; 1 sized, but the window took another\n"
         "size than asked (its own limits, or the screen's); 2 a command\n"
         "line not understood (or, without a command, no display or backend\n"
         "for the window); 3 nothing was done.\n"
         "Settings: " +
         std::string(settings) + "\n";
}

}  // namespace pentrax::cli
