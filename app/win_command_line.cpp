#include "win_command_line.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

namespace pentrax {

namespace {

bool OneOf(std::string_view argument,
           std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    if (argument == name) {
      return true;
    }
  }
  return false;
}

}  // namespace

CommandLineAnswer ReadCommandLine(const std::vector<std::string>& arguments,
                                  const std::string& application,
                                  const std::string& version) {
  bool help = false;
  bool showVersion = false;
  for (const std::string& argument : arguments) {
    if (OneOf(argument, {"-h", "--help", "-help", "/?"})) {
      help = true;
    } else if (OneOf(argument, {"--version", "-version"})) {
      showVersion = true;
    } else if (argument.starts_with('-') || argument.starts_with('/')) {
      const std::size_t dashes = argument.find_first_not_of("-/");
      return {CommandLineAnswer::Action::kRefuse,
              "Unknown option '" +
                  argument.substr(std::min(dashes, argument.size())) +
                  "'; see --help"};
    } else {
      return {CommandLineAnswer::Action::kRefuse,
              "unexpected argument '" + argument + "'; see --help"};
    }
  }
  if (showVersion) {
    return {CommandLineAnswer::Action::kShow, application + " " + version};
  }
  if (help) {
    return {CommandLineAnswer::Action::kShow,
            "Usage: " + application +
                ".exe\n"
                "Sizes other programs' windows to a test resolution: pick a "
                "size, press the sizing button, then activate the window to "
                "size. The restore button puts a sized window back.\n\n"
                "  -h, --help\tshow this text\n"
                "  --version\tshow the version\n\n"
                "Settings: HKEY_CURRENT_USER\\Software\\" +
                application + "\\Settings"};
  }
  return {};
}

}  // namespace pentrax
