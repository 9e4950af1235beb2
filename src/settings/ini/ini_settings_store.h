// The window's settings store on Linux: an INI file, read and written with
// QSettings, with the section "Settings" holding the ten keys as text (the
// commands read it without Qt: IniFileReader, ini_file.h). Writes replace
// the file in one step (a new file renamed over the old), so a crash or a
// kill while writing leaves the old file whole. A file that cannot be read
// or written does not stop the program: it runs on the defaults, and what
// happened on disk is said through the report function.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ini_file.h"

class QSettings;

namespace pentrax::settings {

class IniSettingsStore final : public SettingsStore {
 public:
  using Report = std::function<void(const std::string&)>;

  // Opens the file at path (its folder is created). A file that cannot be
  // read as settings, or is not a regular file, is moved aside to
  // path.corrupt; the next Flush writes a new one.
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

}  // namespace pentrax::settings
