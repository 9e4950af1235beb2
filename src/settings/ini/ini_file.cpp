#include "ini_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace pentrax::settings {
namespace {

std::string ConfigHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') {
    return xdg;
  }
  std::string home;
  if (const char* h = std::getenv("HOME"); h != nullptr && h[0] != '\0') {
    home = h;
  } else if (const passwd* pw = getpwuid(getuid());
             pw != nullptr && pw->pw_dir != nullptr) {
    home = pw->pw_dir;
  }
  return home + "/.config";
}

// Well-formed UTF-8: no overlong forms, surrogates or code points past
// U+10FFFF (the second byte's range rules them out).
bool IsUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t more = c < 0x80                ? 0
                             : c >= 0xC2 && c < 0xE0 ? 1
                             : c >= 0xE0 && c < 0xF0 ? 2
                             : c >= 0xF0 && c < 0xF5 ? 3
                                                     : 4;
    if (more == 4 || more >= s.size() - i) {
      return false;
    }
    const unsigned low = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
    const unsigned high = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
    for (std::size_t k = 1; k <= more; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF)) {
        return false;
      }
    }
    i += more + 1;
  }
  return true;
}

std::string_view Trimmed(std::string_view s, const char* blanks) {
  const std::size_t first = s.find_first_not_of(blanks);
  return first == std::string_view::npos
             ? std::string_view()
             : s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

constexpr char kBlanks[] = " \t\v\f\r\n";

}  // namespace

std::string UserFilePath(const std::string& appName) {
  return ConfigHome() + '/' + appName + '/' + appName + ".ini";
}

std::string WhyNotSettings(std::string_view bytes) {
  if (bytes.find('\0') != std::string_view::npos) {
    return "it holds a NUL byte";
  }
  if (!IsUtf8(bytes)) {
    return "it is not UTF-8 text";
  }
  int number = 0;
  while (!bytes.empty()) {
    ++number;
    const std::size_t end = std::min(bytes.find('\n'), bytes.size());
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
    line = Trimmed(line, " \t\r");
    if (line.empty()) {
      continue;
    }
    const std::size_t equals = line.find('=');
    const bool section = line.front() == '[' && line.back() == ']';
    if (!section && line.front() != ';' &&
        (equals == std::string_view::npos || equals == 0)) {
      return "line " + std::to_string(number) +
             " is not a [section], a comment or key=value";
    }
    // Pentrax writes text only, and a text that begins with "@" is written
    // as "@@". A single "@" starts a typed value (@Variant, @ByteArray...),
    // which QSettings would decode from binary: not a file of ours.
    if (!section && line.front() != ';') {
      std::string_view value = line.substr(equals + 1);
      value.remove_prefix(
          std::min(value.find_first_not_of(" \t\""), value.size()));
      if (value.starts_with('@') && !value.starts_with("@@")) {
        return "line " + std::to_string(number) + " holds a typed value";
      }
    }
  }
  return {};
}

std::string ApplicationName() {
  std::error_code error;
  const std::string name =
      std::filesystem::read_symlink("/proc/self/exe", error).stem().string();
  return error || name.empty() ? "pentrax2" : name;
}

void ReportOnStandardError(const std::string& message) {
  std::fprintf(stderr, "%s: settings: %s\n", ApplicationName().c_str(),
               message.c_str());
}

IniFileReader::IniFileReader(std::string_view bytes) { Parse(bytes); }

IniFileReader::IniFileReader(const std::string& path, const Report& report) {
  // Without waiting on what is not a file (a FIFO put in its place).
  const int fd =
      open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    if (errno != ENOENT && report) {
      report(path + " cannot be read (" + std::strerror(errno) +
             "): the command used the defaults");
    }
    return;
  }
  std::string bytes;
  struct stat info = {};
  std::string why;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    why = "not a regular file";
  } else {
    char buffer[4096];
    for (ssize_t n; bytes.size() <= kLargestFile &&
                    (n = read(fd, buffer, sizeof buffer)) > 0;) {
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
    if (bytes.size() > kLargestFile) {
      why = "larger than " + std::to_string(kLargestFile) + " bytes";
    }
  }
  close(fd);
  if (why.empty()) {
    why = Parse(bytes);
  }
  if (!why.empty() && report) {
    report(path + " was not read (" + why + "): the command used the defaults");
  }
}

std::string IniFileReader::Parse(std::string_view bytes) {
  if (std::string why = WhyNotSettings(bytes); !why.empty()) {
    return why;
  }
  std::map<std::string, std::string, std::less<>> values;
  bool inSettings = false;
  for (int number = 1; !bytes.empty(); ++number) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size());
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    const std::string where = "line " + std::to_string(number);
    // What would make QSettings split the lines otherwise: a line end of
    // its own, a backslash before one, quotes around one (a backslash
    // takes the character after it out of the count).
    if (line.find('\r') != std::string_view::npos) {
      return where + " holds a carriage return";
    }
    line = Trimmed(line, kBlanks);
    if (line.empty() || line.front() == ';') {
      continue;
    }
    int quotes = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '\\') {
        if (++i == line.size()) {
          return where + " goes on to the next";
        }
      } else if (line[i] == '"') {
        ++quotes;
      }
    }
    if (quotes % 2 != 0) {
      return where + " holds an open quote";
    }
    // A key or section as QSettings takes it, whole and unescaped, on one
    // line.
    const auto plainName = [](std::string_view name) {
      return name.find_first_of("%/;\"\\") == std::string_view::npos;
    };
    if (line.front() == '[') {
      const std::string_view name =
          Trimmed(line.substr(1, line.size() - 2), kBlanks);
      if (line.back() != ']' || !plainName(name)) {
        return where + " is not a plain [section]";
      }
      inSettings = name == "Settings";
      continue;
    }
    const std::size_t equals = line.find('=');
    const std::string_view key = Trimmed(line.substr(0, equals), kBlanks);
    if (!plainName(key)) {
      return where + " has no plain key";
    }
    if (inSettings) {
      values[std::string(key)] = line.substr(equals + 1);
    }
  }
  values_ = std::move(values);
  return {};
}

std::string IniFileReader::Read(const std::string& key,
                                const std::string& defaultValue) {
  const auto it = values_.find(key);
  if (it == values_.end()) {
    return defaultValue;
  }
  std::string_view value = Trimmed(it->second, " \t");
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
    if (value.find_first_of("\"\\") != std::string_view::npos) {
      return defaultValue;
    }
  } else if (value.find_first_of("\",;\\") != std::string_view::npos) {
    return defaultValue;  // more than one text, or not all of it
  }
  if (value.starts_with('@')) {
    if (!value.starts_with("@@")) {
      return defaultValue;
    }
    value.remove_prefix(1);
  }
  return std::string(value);
}

}  // namespace pentrax::settings
