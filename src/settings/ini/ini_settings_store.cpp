#include "ini_settings_store.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace pentrax::settings {
namespace {

QString Key(const std::string& key) {
  return QStringLiteral("Settings/") + QString::fromStdString(key);
}

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

}  // namespace

std::string IniSettingsStore::UserFilePath(const std::string& appName) {
  return ConfigHome() + '/' + appName + '/' + appName + ".ini";
}

std::string WhyNotSettings(std::string_view bytes) {
  if (bytes.find('\0') != std::string_view::npos) {
    return "it holds a NUL byte";
  }
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString decoded =
      utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (utf8.hasError()) {
    return "it is not UTF-8 text";
  }
  int number = 0;
  while (!bytes.empty()) {
    ++number;
    const std::size_t end = std::min(bytes.find('\n'), bytes.size());
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
      continue;
    }
    line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
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

IniSettingsStore::IniSettingsStore(std::string path, Report report)
    : path_(std::move(path)), report_(std::move(report)) {
  const QString file = QString::fromStdString(path_);
  QDir().mkpath(QFileInfo(file).absolutePath());
  QFile existing(file);
  if (existing.exists()) {
    if (!existing.open(QIODevice::ReadOnly)) {
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

}  // namespace pentrax::settings
