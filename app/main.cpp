// Pentrax 2: sizes other programs' windows to a test resolution, from its
// window or from the command line.
#include <QApplication>
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <csignal>
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
  return settings::UserFilePath(settings::ApplicationName());
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

volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void OnStopSignal(int signal) { g_stopSignal = signal; }

// Ctrl-C (SIGINT), SIGTERM and SIGHUP end a command as it would end (a pick
// stops waiting), so that the backend leaves nothing behind (KWin's agent
// is unloaded); then the process ends by the signal, as a shell expects.
class StopOnSignals {
 public:
  StopOnSignals() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // One that was ignored when the command started (run in the background
    // by a shell) stays ignored.
    for (const int signal : kSignals) {
      struct sigaction before = {};
      if (sigaction(signal, nullptr, &before) == 0 &&
          before.sa_handler != SIG_IGN) {
        sigaction(signal, &action, nullptr);
      }
    }
  }
  StopOnSignals(const StopOnSignals&) = delete;
  StopOnSignals& operator=(const StopOnSignals&) = delete;
  // Once everything is cleaned up.
  ~StopOnSignals() {
    if (g_stopSignal != 0) {
      std::fflush(stdout);
      std::signal(g_stopSignal, SIG_DFL);
      std::raise(g_stopSignal);
    }
  }

 private:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
};

// A command: no window, and no GUI toolkit; an event loop (QCoreApplication)
// only for the backends that talk D-Bus.
int RunCommand(const pentrax::cli::Options& o, char** argv) {
  const StopOnSignals stop;
  std::optional<QCoreApplication> core;
  int qtArgc = 1;
  if (pentrax::NeedsSessionBus(o.backend)) {
    core.emplace(qtArgc, argv);
  }
  pentrax::SessionBackend session =
      o.backend.empty() ? pentrax::ChooseBackend()
                        : pentrax::SessionBackend{o.backend, "", nullptr};
  const std::string backend = session.name;
  std::string error;
  auto wm = pentrax::CreateWindowManager(session, error);
  if (!wm) {
    error = "backend " + backend + ": " + error;
    if (o.json) {
      std::fputs(pentrax::cli::FailureAnswer(&o, error).c_str(), stdout);
    }
    return Fail(error, pentrax::cli::kNothing);
  }
  // What the window says at start holds for a command too (on GNOME without
  // Pentrax's extension: why, and what to do).
  if (!session.note.empty()) {
    Fail(session.note, 0);
  }
  // The settings only for a size without WxH, the placements not for a
  // list: the commands that only read write nothing.
  std::optional<settings::IniSettingsStore> store;
  const auto placements = o.command == pentrax::cli::Command::kList
                              ? std::make_unique<pentrax::MemoryLedgerStore>()
                              : Placements(backend, *wm);
  pentrax::cli::Environment env{
      *wm,
      *placements,
      [&](std::int32_t width, std::int32_t height) {
        if (!store) {
          store.emplace(SettingsPath(), &settings::ReportOnStandardError);
        }
        return settings::SavedChoices(*store, *wm, width, height);
      },
      [](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); },
      [](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stderr); },
      [](int ms) {
        if (g_stopSignal == 0) {
          std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
        return g_stopSignal == 0;
      }};
  const int status = pentrax::cli::Run(o, env);
  wm.reset();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed =
      pentrax::cli::Parse(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.options) {
    if (parsed.json) {
      std::fputs(pentrax::cli::FailureAnswer(nullptr, parsed.error).c_str(),
                 stdout);
    }
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
    const std::string error = "no backend \"" + o.backend + "\": choose " +
                              BackendList() + "; see --help";
    if (o.json) {
      std::fputs(pentrax::cli::FailureAnswer(nullptr, error).c_str(), stdout);
    }
    return Fail(error);
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
  pentrax::SessionBackend session =
      o.backend.empty() ? pentrax::ChooseBackend()
                        : pentrax::SessionBackend{o.backend, "", nullptr};
  std::unique_ptr<pentrax::WindowManager> wm =
      session.name == "x11" ? std::move(x11)
                            : pentrax::CreateWindowManager(session, error);
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
