// Any settings file: Pentrax must start on it (and save) without a crash or
// undefined behaviour.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fake_form_view.h"
#include "fake_window_manager.h"
#include "form_settings.h"
#include "ini_settings_store.h"

namespace {
std::string g_dir;
std::string g_path;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char dir[] = "/tmp/pentrax-fuzz.XXXXXX";
  g_dir = mkdtemp(dir);
  g_path = g_dir + "/pentrax2.ini";
  std::atexit([] { std::filesystem::remove_all(g_dir); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::remove((g_path + ".corrupt").c_str());
  if (FILE* f = std::fopen(g_path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  pentrax::testing::FakeWindowManager wm;
  pentrax::testing::FakeFormView view;
  pentrax::ui::FrmPentrax2 form(wm, view);
  pentrax::settings::IniSettingsStore store(g_path, {});
  pentrax::settings::Attach(form, store);
  form.Timer1_Timer();
  form.NormaliseInputs();
  form.Click(pentrax::ui::kCmdRestoreDefaults);
  form.Close();
  return 0;
}
