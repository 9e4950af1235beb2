// Pentrax 2 on Windows: sizes other programs' windows to a test resolution.
#include <windows.h>

#include <string>

#include "factory.h"
#include "form_settings.h"
#include "frm_pentrax2.h"
#include "registry_settings_store.h"
#include "wide_text.h"
#include "win32_form_view.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  std::string error;
  auto wm = pentrax::CreateWindowManager({}, error);
  if (!wm) {
    MessageBoxW(nullptr, pentrax::ui::Wide(error).c_str(), L"Pentrax 2",
                MB_ICONERROR | MB_OK);
    return 2;
  }
  namespace settings = pentrax::settings;
  settings::RegistrySettingsStore store(settings::ExecutableBaseName());
  pentrax::ui::Win32FormView view(instance);
  pentrax::ui::FrmPentrax2 form(*wm, view);
  view.Bind(form);
  settings::Attach(form, store);
  view.Show(showCommand);
  return view.Run();
}
