// Pentrax 2: sizes other programs' windows to a test resolution, from its
// window or from the command line.
#include <QApplication>
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "command_line.h"
#include "commands.h"
#include "desktop_session.h"
#include "factory.h"
#include "form_settings.h"
#include "frm_pentrax2.h"
#include "ini_settings_store.h"
#include "pentrax_version.h"
#include "placements_file.h"
#include "qt_form_view.h"
#include "termination.h"

namespace {

namespace settings = pentrax::settings;

int Fail(const std::string& why, int status = pentrax::cli::kUsage) {
  std::fprintf(stderr, "pentrax2: %s\n", why.c_str());
  return status;
}

// "sway, kwin, gnome or x11"
std::string BackendList() {
  std::string list;
  const auto names = pentrax::BackendNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    list += std::string(i == 0                 ? ""
                        : i + 1 < names.size() ? ", "
                                               : " or ") +
            std::string(names[i]);
  }
  return list;
}

std::string SettingsPath() {
  return settings::IniSettingsStore::UserFilePath(settings::ApplicationName());
}

// The session's shared placements for the backend's desktop, or this
// process's own (said on standard error) where the session has no runtime
// folder.
std::unique_ptr<pentrax::LedgerStore> Placements(const std::string& backend,
                                                 pentrax::WindowManager& wm) {
  std::string why;
  const std::string folder = settings::PlacementsFile::SessionFolder(&why);
  if (folder.empty()) {
    Fail(why, 0);
    return std::make_unique<pentrax::MemoryLedgerStore>();
  }
  return std::make_unique<settings::PlacementsFile>(
      folder,
      pentrax::DisplayKey(backend,
                          [](const char* name) { return std::getenv(name); }),
      [&wm] { return wm.ListWindows(); });
}

// A command: no window, and no GUI toolkit; an event loop (QCoreApplication)
// only for the backends that talk D-Bus.
int RunCommand(const pentrax::cli::Options& o, char** argv) {
  std::optional<QCoreApplication> core;
  int qtArgc = 1;
  if (pentrax::NeedsSessionBus(o.backend)) {
    core.emplace(qtArgc, argv);
  }
  const std::string backend =
      o.backend.empty() ? pentrax::ChooseBackend().name : o.backend;
  std::string error;
  auto wm = pentrax::CreateWindowManager(backend, error);
  if (!wm) {
    return Fail("backend " + backend + ": " + error, pentrax::cli::kNothing);
  }
  settings::IniSettingsStore store(SettingsPath(),
                                   &settings::ReportOnStandardError);
  const auto placements = Placements(backend, *wm);
  pentrax::cli::Environment env{
      *wm,
      *placements,
      [&](std::int32_t width, std::int32_t height) {
        return settings::SavedChoices(store, *wm, width, height);
      },
      [](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); },
      [](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stderr); },
      [](int ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
      }};
  return pentrax::cli::Run(o, env);
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed =
      pentrax::cli::Parse(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.options) {
    return Fail(parsed.error);
  }
  const pentrax::cli::Options& o = *parsed.options;
  if (o.version) {
    std::printf("pentrax2 %s\n", PENTRAX_VERSION_TEXT);
    return 0;
  }
  int qtArgc = 1;
  if (o.help) {
    const QCoreApplication core(qtArgc, argv);  // for the session bus
    const pentrax::SessionBackend session = pentrax::ChooseBackend();
    std::fputs((pentrax::cli::Usage("pentrax2", BackendList(), SettingsPath()) +
                "\nWithout --backend, this session would get: " + session.name +
                "\n" + (session.note.empty() ? "" : session.note + "\n"))
                   .c_str(),
               stdout);
    return 0;
  }
  const auto names = pentrax::BackendNames();
  if (!o.backend.empty() &&
      std::find(names.begin(), names.end(), o.backend) == names.end()) {
    return Fail("no backend \"" + o.backend + "\": choose " + BackendList() +
                "; see --help");
  }
  if (o.command != pentrax::cli::Command::kWindow) {
    return RunCommand(o, argv);
  }

  // The main window is an X client wherever Pentrax runs (through XWayland
  // on Wayland), so that its place can be stored and restored: without an X
  // display there is nothing to show.
  std::string error;
  auto x11 = pentrax::CreateWindowManager("x11", error);
  if (!x11) {
    return Fail(error);
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(qtArgc, argv);
  const pentrax::SessionBackend session =
      o.backend.empty() ? pentrax::ChooseBackend()
                        : pentrax::SessionBackend{o.backend, ""};
  std::unique_ptr<pentrax::WindowManager> wm =
      session.name == "x11" ? std::move(x11)
                            : pentrax::CreateWindowManager(session.name, error);
  if (!wm) {
    return Fail("backend " + session.name + ": " + error);
  }
  x11.reset();

  settings::IniSettingsStore store(SettingsPath(),
                                   &settings::ReportOnStandardError);
  const auto placements = Placements(session.name, *wm);
  pentrax::ui::QtFormView view;
  pentrax::ui::FrmPentrax2 form(*wm, view);
  form.cycle.UseStore(*placements);
  view.Bind(form);
  settings::Attach(form, store);
  if (!session.note.empty()) {
    form.SetText(pentrax::ui::kTxtResult, session.note);
  }
  pentrax::ui::CloseOnTerminationSignals(view);
  view.show();
  return app.exec();
}
