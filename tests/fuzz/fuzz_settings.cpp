// Any settings file: Pentrax must start on it (and save) without a crash or
// undefined behaviour.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "fake_window_manager.h"
#include "form_settings.h"

namespace {
QApplication* g_app = nullptr;
QTemporaryDir* g_dir = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  g_app = new QApplication(*argc, *argv);
  g_dir = new QTemporaryDir();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const QString path = g_dir->filePath("pentrax2.ini");
  {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      return 0;
    }
    f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  pentrax::testing::FakeWindowManager wm;
  pentrax::ui::FrmPentrax2 form(wm, [] { return QSizeF(1024, 768); });
  form.Timer1->stop();
  {
    auto store = pentrax::settings::QSettingsStore::OpenIniFile(path, {});
    pentrax::settings::Form_Load(form, *store);
  }
  form.ScreenWatch();
  form.NormaliseInputs();
  pentrax::settings::cmdRestoreDefaults_Click(form);
  auto store = pentrax::settings::QSettingsStore::OpenIniFile(path, {});
  pentrax::settings::Form_Unload(form, *store);
  return 0;
}
