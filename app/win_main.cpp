// Pentrax 2 on Windows: sizes other programs' windows to a test resolution.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "factory.h"
#include "form_settings.h"
#include "frm_pentrax2.h"
#include "pentrax_version.h"
#include "registry_settings_store.h"
#include "wide_text.h"
#include "win32_form_view.h"
#include "win_command_line.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
  namespace settings = pentrax::settings;
  const std::string application = settings::ExecutableBaseName();
  // --version and --help are answered in a message box (a program without
  // a console has no standard output to print them on).
  std::vector<std::string> arguments;
  for (int i = 1; i < __argc; ++i) {
    arguments.push_back(pentrax::Utf8(__wargv[i]));
  }
  const pentrax::CommandLineAnswer answer =
      pentrax::ReadCommandLine(arguments, application, PENTRAX_VERSION_TEXT);
  if (answer.action != pentrax::CommandLineAnswer::Action::kRun) {
    const bool refused =
        answer.action == pentrax::CommandLineAnswer::Action::kRefuse;
    MessageBoxW(nullptr, pentrax::Wide(answer.text).c_str(), L"Pentrax 2",
                refused ? MB_ICONERROR | MB_OK : MB_ICONINFORMATION | MB_OK);
    return refused ? 2 : 0;
  }

  std::string error;
  auto wm = pentrax::CreateWindowManager({}, error);
  if (!wm) {
    MessageBoxW(nullptr, pentrax::Wide(error).c_str(), L"Pentrax 2",
                MB_ICONERROR | MB_OK);
    return 2;
  }
  settings::RegistrySettingsStore store(application);
  pentrax::ui::Win32FormView view(instance);
  pentrax::ui::FrmPentrax2 form(*wm, view);
  view.Bind(form);
  settings::Attach(form, store);
  view.Show(showCommand);
  return view.Run();
}
