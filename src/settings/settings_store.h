// The per-user settings store: text values under the section "Settings" of
// the application's store, read with a default and written back.
#pragma once

#include <string>

namespace pentrax::settings {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or the default when the key is absent. A key present
  // with an empty value reads as the empty text.
  virtual std::string Read(const std::string& key,
                           const std::string& defaultValue) = 0;
  // Creates or replaces the value.
  virtual void Write(const std::string& key, const std::string& value) = 0;
  // Makes the writes lasting. False when they could not be written; the
  // store has then said what happened (on Linux on standard error).
  virtual bool Flush() = 0;
};

}  // namespace pentrax::settings
