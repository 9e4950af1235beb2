#include "program.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "desktop_session.h"
#include "factory.h"
#include "form_settings.h"
#include "ini_file.h"
#include "pentrax_version.h"
#include "placements_file.h"

namespace pentrax::app {
namespace {

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

}  // namespace

int Fail(const std::string& why, int status) {
  std::fprintf(stderr, "pentrax2: %s\n", why.c_str());
  return status;
}

std::optional<cli::Options> PartOptions(const char* version, int argc,
                                        char** argv) {
  if (std::strcmp(version, PENTRAX_VERSION_TEXT) != 0) {
    Fail(std::string("its parts are of version ") + PENTRAX_VERSION_TEXT +
         ", not " + version + ": install pentrax2 again");
    return std::nullopt;
  }
  return cli::Parse(std::vector<std::string>(argv + 1, argv + argc)).options;
}

std::string SettingsPath() {
  return settings::UserFilePath(settings::ApplicationName());
}

std::unique_ptr<LedgerStore> Placements(const std::string& backend,
                                        WindowManager& wm) {
  std::string why;
  const std::string folder = settings::PlacementsFile::SessionFolder(&why);
  if (folder.empty()) {
    Fail(why, 0);
    return std::make_unique<MemoryLedgerStore>();
  }
  return std::make_unique<settings::PlacementsFile>(
      folder,
      DisplayKey(backend, [](const char* name) { return std::getenv(name); }),
      [&wm] { return wm.ListWindows(); });
}

int Help() {
  const SessionBackend session = ChooseBackend();
  std::fputs((cli::Usage("pentrax2", BackendChoices(), SettingsPath()) +
              "\nWithout --backend, this session would get: " + session.name +
              "\n" + (session.note.empty() ? "" : session.note + "\n"))
                 .c_str(),
             stdout);
  return 0;
}

int RunCommand(const cli::Options& o) {
  const StopOnSignals stop;
  SessionBackend session = o.backend.empty()
                               ? ChooseBackend()
                               : SessionBackend{o.backend, "", nullptr};
  const std::string backend = session.name;
  std::string error;
  auto wm = CreateWindowManager(session, error);
  if (!wm) {
    error = "backend " + backend + ": " + error;
    if (o.json) {
      std::fputs(cli::FailureAnswer(&o, error).c_str(), stdout);
    }
    return Fail(error, cli::kNothing);
  }
  // What the window says at start holds for a command too (on GNOME without
  // Pentrax's extension: why, and what to do).
  if (!session.note.empty()) {
    Fail(session.note, 0);
  }
  // The settings only for a size without WxH, read without Qt; the
  // placements not for a list: the commands that only read write nothing.
  const auto placements = o.command == cli::Command::kList
                              ? std::make_unique<MemoryLedgerStore>()
                              : Placements(backend, *wm);
  cli::Environment env{
      *wm,
      *placements,
      [&](std::int32_t width, std::int32_t height) {
        settings::IniFileReader store(SettingsPath(),
                                      &settings::ReportOnStandardError);
        return settings::SavedChoices(store, *wm, width, height);
      },
      [](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); },
      [](std::string_view s) { std::fwrite(s.data(), 1, s.size(), stderr); },
      [](int ms) {
        if (g_stopSignal == 0) {
          std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
        return g_stopSignal == 0;
      }};
  const int status = cli::Run(o, env);
  wm.reset();
  return status;
}

}  // namespace pentrax::app
