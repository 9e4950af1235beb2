// The per-user settings store: text values under the section "Settings" of
// the application's store, read with a default and written back.
#pragma once

#include <QSettings>
#include <QString>
#include <functional>
#include <memory>

namespace pentrax::settings {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or the default when the key is absent. A key present
  // with an empty value reads as the empty text.
  virtual QString Read(const QString& key, const QString& defaultValue) = 0;
  // Creates or replaces the value.
  virtual void Write(const QString& key, const QString& value) = 0;
  // Makes the writes lasting; false when they could not be written.
  virtual bool Flush() = 0;
};

// The store in QSettings: on Linux an INI file, on Windows the registry.
// Writes replace the file in one step (a new file renamed over the old), so
// a crash or a kill while writing leaves the old file whole. A store that
// cannot be read or written does not stop the program: reads then give the
// defaults, and what went wrong is said once through the report function.
class QSettingsStore : public SettingsStore {
 public:
  using Report = std::function<void(const QString&)>;

  // The user's store of the named application: on Linux
  // $XDG_CONFIG_HOME/NAME/NAME.ini (~/.config when unset); on Windows
  // HKEY_CURRENT_USER\Software\VB and VBA Program Settings\NAME.
  static std::unique_ptr<QSettingsStore> OpenUserStore(const QString& appName,
                                                       Report report);
  // An INI file at the given path.
  static std::unique_ptr<QSettingsStore> OpenIniFile(const QString& path,
                                                     Report report);

  QString Read(const QString& key, const QString& defaultValue) override;
  void Write(const QString& key, const QString& value) override;
  bool Flush() override;

  // Where the store lives: the file's path, or the registry key.
  QString location() const { return settings_->fileName(); }

 private:
  QSettingsStore(std::unique_ptr<QSettings> settings, Report report);
  void Problem(const QString& what);

  std::unique_ptr<QSettings> settings_;
  Report report_;
  bool readable_ = true;
  bool reported_ = false;
};

// The base name of the running executable, without folder and extension.
QString ApplicationName();

// Prints a line on standard error: "pentrax2: settings: ...".
void ReportOnStandardError(const QString& message);

}  // namespace pentrax::settings
