#include "registry_settings_store.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "wide_text.h"

namespace pentrax::settings {

RegistrySettingsStore::RegistrySettingsStore(const std::string& applicationName)
    : path_(L"Software\\" + Wide(applicationName) + L"\\Settings") {
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, &key_) != ERROR_SUCCESS) {
    key_ = nullptr;
  }
}

RegistrySettingsStore::~RegistrySettingsStore() {
  if (key_ != nullptr) {
    RegCloseKey(key_);
  }
}

std::string RegistrySettingsStore::Read(const std::string& key,
                                        const std::string& defaultValue) {
  if (key_ == nullptr) {
    return defaultValue;
  }
  std::wstring value(kMaxValueLength + 1, L'\0');  // room for the NUL
  DWORD type = 0;
  auto bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  // Absent, unreadable or too long (ERROR_MORE_DATA): the default.
  if (RegQueryValueExW(key_, Wide(key).c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(value.data()),
                       &bytes) != ERROR_SUCCESS ||
      type != REG_SZ || bytes % sizeof(wchar_t) != 0) {
    return defaultValue;
  }
  value.resize(bytes / sizeof(wchar_t));
  value.resize(std::min(value.size(), value.find(L'\0')));  // its end
  return StrictUtf8(value).value_or(defaultValue);
}

void RegistrySettingsStore::Write(const std::string& key,
                                  const std::string& value) {
  if (key_ == nullptr &&
      RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                      nullptr) != ERROR_SUCCESS) {
    key_ = nullptr;
    failed_ = true;
    return;
  }
  const std::wstring data = Wide(value);
  if (RegSetValueExW(key_, Wide(key).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) !=
      ERROR_SUCCESS) {
    failed_ = true;
  }
}

bool RegistrySettingsStore::Flush() {
  const bool written = !failed_;
  failed_ = false;
  return written;
}

std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, path.data(),
                                      static_cast<DWORD>(path.size()))) ==
         path.size()) {
    path.resize(path.size() * 2);  // cut short: a longer path
  }
  path.resize(length);
  return path;
}

std::string ExecutableBaseName() {
  const std::wstring path = ExecutablePath();
  std::wstring_view name = path;
  name.remove_prefix(std::min(name.size(), name.find_last_of(L"\\/") + 1));
  name = name.substr(0, name.find_last_of(L'.'));
  return name.empty() ? "Pentrax2" : StrictUtf8(name).value_or("Pentrax2");
}

}  // namespace pentrax::settings
