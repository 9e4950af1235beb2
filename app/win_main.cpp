// Pentrax 2 on Windows: sizes other programs' windows to a test resolution,
// from its window or, given a command (from a shortcut key, say), without
// one.
#include <windows.h>

#include <string>

#include "factory.h"
#include "form_settings.h"
#include "frm_pentrax2.h"
#include "registry_placements.h"
#include "registry_settings_store.h"
#include "wide_text.h"
#include "win32_form_view.h"
#include "win_commands.h"

namespace {

int Box(std::string text, UINT icon, int status) {
  while (text.ends_with('\n')) {
    text.pop_back();
  }
  MessageBoxW(nullptr, pentrax::Wide(text).c_str(), L"Pentrax 2", icon | MB_OK);
  return status;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
  namespace settings = pentrax::settings;
  namespace cli = pentrax::cli;
  const std::string application = settings::ExecutableBaseName();
  // A program without a console has no standard output: what the console
  // program prints is shown in a message box.
  const pentrax::win::Reading reading =
      pentrax::win::ReadCommandLine(application + ".exe");
  if (!reading.options) {
    return Box(reading.text,
               reading.status == 0 ? MB_ICONINFORMATION : MB_ICONERROR,
               reading.status);
  }
  if (reading.options->command != cli::Command::kWindow) {
    // A command is silent when it did what was asked.
    std::string said;
    const auto keep = [&said](std::string_view text) { said += text; };
    const int status = pentrax::win::RunCommand(*reading.options, keep, keep);
    return status == cli::kDone
               ? status
               : Box(said,
                     status == cli::kInexact ? MB_ICONWARNING : MB_ICONERROR,
                     status);
  }

  std::string error;
  auto wm = pentrax::CreateWindowManager({}, error);
  if (!wm) {
    return Box(error, MB_ICONERROR, cli::kUsage);
  }
  settings::RegistrySettingsStore store(application);
  settings::RegistryPlacements placements(application);
  pentrax::ui::Win32FormView view(instance);
  pentrax::ui::FrmPentrax2 form(*wm, view);
  form.cycle.UseStore(placements);
  view.Bind(form);
  settings::Attach(form, store);
  view.Show(showCommand);
  return view.Run();
}
