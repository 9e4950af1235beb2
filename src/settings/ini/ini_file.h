// The settings file on Linux as every part of pentrax2 sees it, without Qt:
// where it is, what makes it a settings file, and a reader of the window's
// choices for the commands, which start without Qt (the window reads and
// writes the file through QSettings: ini_settings_store.h).
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "settings_store.h"

namespace pentrax::settings {

// The user's file of the named application: $XDG_CONFIG_HOME/NAME/NAME.ini,
// or ~/.config/NAME/NAME.ini when XDG_CONFIG_HOME is unset, empty or not an
// absolute path; without HOME, the home folder is the user's entry in the
// password database.
std::string UserFilePath(const std::string& appName);

// Why a file's bytes cannot be read as settings, or the empty text when they
// can: every non-blank line must be a [section], a comment (from ";") or
// key=value, and the file UTF-8 text without NUL bytes.
std::string WhyNotSettings(std::string_view bytes);

// The base name of the running executable, without folder and extension.
std::string ApplicationName();

// Prints a line on standard error: "pentrax2: settings: ...".
void ReportOnStandardError(const std::string& message);

// The values of the section "Settings" as the window's store reads them, for
// a command: it opens the file once, read-only (nothing is created, moved or
// written; Write and Flush do nothing), and reads a value only in the plain
// form QSettings writes a text in: as it is, or in double quotes when it
// holds ";", "," or "=" or begins or ends with a blank, an "@" at its start
// doubled. A value in another form (escaped, or a list) reads as the
// default, as the store reads a value that is not one text. Every value
// reads as the default in a file the store would not read as settings
// (WhyNotSettings, a section without "]"), one this reader cannot be sure
// to split into lines as QSettings does (a line end of its own, a line
// continued, quotes left open, a key or section with "%", "/", ";", a quote
// or a backslash), and one that is not a regular file of at most
// kLargestFile bytes. A file that is there but not read is said through the
// report function.
class IniFileReader final : public SettingsStore {
 public:
  using Report = std::function<void(const std::string&)>;
  // Far more than the window's ten values take.
  static constexpr std::size_t kLargestFile = 64 << 10;

  IniFileReader(const std::string& path, const Report& report);
  // The same, from the file's bytes.
  explicit IniFileReader(std::string_view bytes);

  std::string Read(const std::string& key,
                   const std::string& defaultValue) override;
  void Write(const std::string&, const std::string&) override {}
  bool Flush() override { return false; }

 private:
  // Why the values were not read, or the empty text when they were.
  std::string Parse(std::string_view bytes);

  std::map<std::string, std::string, std::less<>> values_;
};

}  // namespace pentrax::settings
