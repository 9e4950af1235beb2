// The settings store on Windows: the registry, under
// HKEY_CURRENT_USER\Software\<application name>\Settings, every value a
// string (REG_SZ: UTF-16 in the registry, UTF-8 to the program). A value
// that is not a string, is longer than any setting can be or is not valid
// text reads as absent, so that its default applies; a value that cannot be
// written leaves the program running, and Flush says so.
#pragma once

#include <windows.h>

#include <string>

#include "settings_store.h"

namespace pentrax::settings {

class RegistrySettingsStore final : public SettingsStore {
 public:
  // Values longer than this, in UTF-16 code units, read as absent.
  static constexpr DWORD kMaxValueLength = 1024;

  explicit RegistrySettingsStore(const std::string& applicationName);
  ~RegistrySettingsStore() override;
  RegistrySettingsStore(const RegistrySettingsStore&) = delete;
  RegistrySettingsStore& operator=(const RegistrySettingsStore&) = delete;

  std::string Read(const std::string& key,
                   const std::string& defaultValue) override;
  void Write(const std::string& key, const std::string& value) override;
  // The registry writes its values through by itself: false when a write
  // since the last Flush failed.
  bool Flush() override;

 private:
  std::wstring path_;   // below HKEY_CURRENT_USER
  HKEY key_ = nullptr;  // created by the first write when it is absent
  bool failed_ = false;
};

// The running executable's full path.
std::wstring ExecutablePath();

// The base name of the running executable, without folder and extension
// ("Pentrax2" for Pentrax2.exe and Pentrax2.com alike): it names the
// program's registry key.
std::string ExecutableBaseName();

}  // namespace pentrax::settings
