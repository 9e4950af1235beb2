// The settings store on Linux: an INI file, read and written with QSettings,
// with the section "Settings" holding the ten keys as text. Writes replace
// the file in one step (a new file renamed over the old), so a crash or a
// kill while writing leaves the old file whole. A file that cannot be read
// or written does not stop the program: it runs on the defaults, and what
// happened on disk is said through the report function.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "settings_store.h"

class QSettings;

namespace pentrax::settings {

class IniSettingsStore final : public SettingsStore {
 public:
  using Report = std::function<void(const std::string&)>;

  // The user's file of the named application: $XDG_CONFIG_HOME/NAME/NAME.ini,
  // or ~/.config/NAME/NAME.ini when XDG_CONFIG_HOME is unset, empty or not
  // an absolute path; without HOME, the home folder is the user's entry in
  // the password database.
  static std::string UserFilePath(const std::string& appName);

  // Opens the file at path (its folder is created). A file that cannot be
  // read as settings is moved aside to path.corrupt; the next Flush writes a
  // new one.
  IniSettingsStore(std::string path, Report report);
  ~IniSettingsStore() override;
  IniSettingsStore(const IniSettingsStore&) = delete;
  IniSettingsStore& operator=(const IniSettingsStore&) = delete;

  std::string Read(const std::string& key,
                   const std::string& defaultValue) override;
  void Write(const std::string& key, const std::string& value) override;
  bool Flush() override;

 private:
  void SetAside(const std::string& why);
  void Say(const std::string& what);

  std::string path_;
  Report report_;
  std::unique_ptr<QSettings> settings_;
  bool readable_ = true;
  bool writable_ = true;
  bool renewed_ = false;  // a new file replaces one set aside
  bool saidUnsaved_ = false;
};

// Why a file's bytes cannot be read as settings, or the empty text when they
// can: every non-blank line must be a [section], a comment (from ";") or
// key=value, and the file UTF-8 text without NUL bytes.
std::string WhyNotSettings(std::string_view bytes);

// The base name of the running executable, without folder and extension.
std::string ApplicationName();

// Prints a line on standard error: "pentrax2: settings: ...".
void ReportOnStandardError(const std::string& message);

}  // namespace pentrax::settings
