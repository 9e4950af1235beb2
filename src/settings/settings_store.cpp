#include "settings_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>

namespace pentrax::settings {
namespace {

const QString kSection = QStringLiteral("Settings");

QString StatusText(QSettings::Status status) {
  switch (status) {
    case QSettings::AccessError:
      return QStringLiteral("cannot be read or written");
    case QSettings::FormatError:
      return QStringLiteral("is not a valid settings file");
    case QSettings::NoError:
      break;
  }
  return QStringLiteral("has a problem");
}

}  // namespace

QString ApplicationName() {
  const QString path = QCoreApplication::applicationFilePath();
  const QString name = QFileInfo(path).completeBaseName();
  return name.isEmpty() ? QStringLiteral("pentrax2") : name;
}

void ReportOnStandardError(const QString& message) {
  std::fprintf(stderr, "%s: settings: %s\n", qPrintable(ApplicationName()),
               qPrintable(message));
}

QSettingsStore::QSettingsStore(std::unique_ptr<QSettings> settings,
                               Report report)
    : settings_(std::move(settings)), report_(std::move(report)) {
  settings_->setAtomicSyncRequired(true);
  settings_->setFallbacksEnabled(false);
  if (settings_->status() != QSettings::NoError) {
    readable_ = false;
    const QString path = settings_->fileName();
    // Keep the unreadable file: the next write replaces it.
    if (settings_->status() == QSettings::FormatError && QFile::exists(path)) {
      QFile::remove(path + QStringLiteral(".corrupt"));
      QFile::copy(path, path + QStringLiteral(".corrupt"));
    }
    Problem(QStringLiteral("%1 %2; using the defaults")
                .arg(location(), StatusText(settings_->status())));
  }
}

std::unique_ptr<QSettingsStore> QSettingsStore::OpenUserStore(
    const QString& appName, Report report) {
#ifdef _WIN32
  // Where Pentrax has always kept its settings on Windows.
  auto settings = std::make_unique<QSettings>(
      QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program "
                     "Settings\\") +
          appName,
      QSettings::NativeFormat);
  return std::unique_ptr<QSettingsStore>(
      new QSettingsStore(std::move(settings), std::move(report)));
#else
  QString config =
      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (config.isEmpty()) {
    config = QDir::homePath() + QStringLiteral("/.config");
  }
  return OpenIniFile(config + '/' + appName + '/' + appName + ".ini",
                     std::move(report));
#endif
}

std::unique_ptr<QSettingsStore> QSettingsStore::OpenIniFile(const QString& path,
                                                            Report report) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
  return std::unique_ptr<QSettingsStore>(
      new QSettingsStore(std::move(settings), std::move(report)));
}

QString QSettingsStore::Read(const QString& key, const QString& defaultValue) {
  if (!readable_) {
    return defaultValue;
  }
  const QString path = kSection + '/' + key;
  if (!settings_->contains(path)) {
    return defaultValue;
  }
  const QVariant value = settings_->value(path);
  // An INI value such as 1,2 comes back as a list: not one of ours.
  if (value.typeId() != QMetaType::QString &&
      value.typeId() != QMetaType::QByteArray) {
    return defaultValue;
  }
  return value.toString();
}

void QSettingsStore::Write(const QString& key, const QString& value) {
  settings_->setValue(kSection + '/' + key, value);
}

bool QSettingsStore::Flush() {
  settings_->sync();
  if (settings_->status() != QSettings::NoError) {
    Problem(QStringLiteral("%1 %2; the settings were not saved")
                .arg(location(), StatusText(settings_->status())));
    return false;
  }
  return true;
}

void QSettingsStore::Problem(const QString& what) {
  if (reported_) {
    return;
  }
  reported_ = true;
  if (report_) {
    report_(what);
  }
}

}  // namespace pentrax::settings
