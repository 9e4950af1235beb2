#include "ini_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace pentrax::settings {
namespace {

QString Key(const std::string& key) {
  return QStringLiteral("Settings/") + QString::fromStdString(key);
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::string path, Report report)
    : path_(std::move(path)), report_(std::move(report)) {
  const QString file = QString::fromStdString(path_);
  QDir().mkpath(QFileInfo(file).absolutePath());
  QFile existing(file);
  if (existing.exists()) {
    if (!QFileInfo(file).isFile()) {
      SetAside("it is not a regular file");  // opening a FIFO would wait
    } else if (!existing.open(QIODevice::ReadOnly)) {
      readable_ = false;
      Say(path_ + " cannot be read (" + existing.errorString().toStdString() +
          "): started from the defaults");
    } else {
      const QByteArray bytes = existing.readAll();
      existing.close();
      std::string why = WhyNotSettings(std::string_view(
          bytes.constData(), static_cast<std::size_t>(bytes.size())));
      if (why.empty()) {
        settings_ = std::make_unique<QSettings>(file, QSettings::IniFormat);
        settings_->allKeys();  // QSettings parses on first use
        if (settings_->status() == QSettings::FormatError) {
          why = "it cannot be parsed";
        }
      }
      if (!why.empty()) {
        SetAside(why);
      }
    }
  }
  if (!settings_) {
    settings_ = std::make_unique<QSettings>(file, QSettings::IniFormat);
  }
  settings_->setAtomicSyncRequired(true);
  settings_->setFallbacksEnabled(false);
}

IniSettingsStore::~IniSettingsStore() = default;

void IniSettingsStore::SetAside(const std::string& why) {
  settings_.reset();
  const QString file = QString::fromStdString(path_);
  const std::string corrupt = path_ + ".corrupt";
  QFile::remove(QString::fromStdString(corrupt));
  if (QFile::rename(file, QString::fromStdString(corrupt))) {
    renewed_ = true;
    Say(path_ + " is not a settings file (" + why + "): moved it to " +
        corrupt + " and started from the defaults");
  } else {
    readable_ = false;
    writable_ = false;
    Say(path_ + " is not a settings file (" + why + ") and could not be " +
        "moved to " + corrupt + ": started from the defaults and left the " +
        "file as it is");
  }
}

std::string IniSettingsStore::Read(const std::string& key,
                                   const std::string& defaultValue) {
  if (!readable_ || !settings_->contains(Key(key))) {
    return defaultValue;
  }
  const QVariant value = settings_->value(Key(key));
  // An INI value such as 1,2 comes back as a list: not one of ours.
  if (value.typeId() != QMetaType::QString &&
      value.typeId() != QMetaType::QByteArray) {
    return defaultValue;
  }
  return value.toString().toStdString();
}

void IniSettingsStore::Write(const std::string& key, const std::string& value) {
  settings_->setValue(Key(key), QString::fromStdString(value));
}

bool IniSettingsStore::Flush() {
  if (!writable_) {
    return false;
  }
  settings_->sync();
  if (settings_->status() != QSettings::NoError) {
    if (!saidUnsaved_) {
      saidUnsaved_ = true;
      Say("could not write " + path_ + ": the settings were not saved");
    }
    return false;
  }
  if (renewed_) {
    renewed_ = false;
    Say("wrote new settings to " + path_);
  }
  return true;
}

void IniSettingsStore::Say(const std::string& what) {
  if (report_) {
    report_(what);
  }
}

}  // namespace pentrax::settings
