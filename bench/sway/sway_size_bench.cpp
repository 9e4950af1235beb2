// What sizing a window costs on sway (run by scripts/bench-sway.sh in a
// private headless sway): the size action from the moment Timer2 fires to
// its report, through the sway backend, against swaymsg making the same
// requests (one swaymsg for each request the backend sends) with the same
// settle check, in the same run and on the same windows, turn about. Prints
// a markdown table: median, 90th percentile and requests of each.
//
//   sway_size_bench WINDOW_PROGRAM [RUNS]
//
// WINDOW_PROGRAM is the Qt test window (pentrax_qt_window).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "actions.h"
#include "run_program.h"
#include "sway_window_manager.h"

extern char** environ;

namespace {

using namespace pentrax;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

// Runs a program and returns what it printed; nullopt when it failed.
std::optional<std::string> Output(const std::vector<std::string>& argv) {
  std::string out;
  return RunProgram(argv, &out) ? std::optional(out) : std::nullopt;
}

// Starts a client as the session's user (PENTRAX_SWAY_CLIENT), in the
// background and silenced; it ends with the session.
void StartClient(std::vector<std::string> argv) {
  std::istringstream words(std::getenv("PENTRAX_SWAY_CLIENT"));
  argv.insert(argv.begin(), std::istream_iterator<std::string>(words), {});
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null",
                                   O_WRONLY, 0);
  pid_t pid = 0;
  posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
}

std::optional<SwayLayout> SwaymsgTree(int* requests) {
  ++*requests;
  const auto out = Output({"swaymsg", "-r", "-t", "get_tree"});
  if (!out) return std::nullopt;
  return ReadLayout(nlohmann::json::parse(*out, nullptr, false));
}

// The size action done with swaymsg: the same requests as the backend's (one
// reading of the tree, one command, the readings of the settle check), the
// same settle check, and the same report.
std::optional<std::string> SwaymsgSizeAction(SizeChoices& choices,
                                             int* requests) {
  NormaliseInputs(choices.fields, 1280, 1024);
  const Size size = TargetSize(choices);
  const auto layout = SwaymsgTree(requests);
  const SwayView* view = layout ? layout->Focused() : nullptr;
  if (view == nullptr) return std::nullopt;
  const Rect r = FitIntoWorkArea(view->outer.left, view->outer.top, size,
                                 view->shownOn.workArea);
  ++*requests;
  if (!Output({"swaymsg", "--", FloatAtCommand(*view, r)})) return std::nullopt;
  std::string title;
  const WindowHandle id = view->id;
  const auto settled = PollUntilSettled(
      [&]() -> std::optional<Rect> {
        const auto now = SwaymsgTree(requests);
        const SwayView* v = now ? now->Find(id) : nullptr;
        if (v == nullptr) return std::nullopt;
        title = v->name;
        return v->outer;
      },
      r, std::nullopt, !view->floating || view->fullscreen, SettleTiming{});
  if (!settled) return std::nullopt;
  return title + "\r\nresized to " + std::to_string(settled->width()) + " x " +
         std::to_string(settled->height());
}

struct Series {
  std::vector<double> ms;
  int requests = 0;
  double Quantile(double q) {
    std::sort(ms.begin(), ms.end());
    return ms.empty() ? 0
                      : ms[static_cast<std::size_t>(
                            q * static_cast<double>(ms.size() - 1))];
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::getenv("SWAYSOCK") == nullptr) {
    std::fprintf(stderr,
                 "usage: sway_size_bench WINDOW_PROGRAM [RUNS]\n"
                 "(in a sway session: scripts/bench-sway.sh)\n");
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 60;
  std::string error;
  auto wm = SwayWindowManager::Connect("", &error);
  if (!wm) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  // The window program, where the session's user can run it: beside sway's
  // socket.
  const std::string program =
      std::filesystem::path(std::getenv("SWAYSOCK")).parent_path() /
      "bench_window";
  std::filesystem::copy_file(argv[1], program,
                             std::filesystem::copy_options::skip_existing);
  const struct {
    const char* name;
    std::vector<std::string> argv;
  } targets[] = {
      {"qt", {"env", "QT_QPA_PLATFORM=wayland", program, "qt"}},
      {"foot", {"foot", "--title", "foot", "sleep", "1d"}},
  };
  std::printf(
      "| benchmark | median | 90th percentile | sway requests |\n"
      "|---|---|---|---|\n");
  for (const auto& target : targets) {
    StartClient(target.argv);
    WindowHandle id = 0;
    for (int i = 0; i < 500 && id == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      id = wm->GetForegroundWindow();
    }
    // Each series: floating windows sized again, then tiled windows sized
    // from their tiled place (put back there before each run).
    for (const bool fromTiled : {false, true}) {
      Series ours, theirs;
      WindowPlacement start;
      start.showCmd = fromTiled ? kShowMaximized : kShowNormal;
      start.rcNormalPosition = {100, 100, 500, 400};
      wm->SetWindowPlacement(id, start);
      for (int n = 0; n < 2 * runs; ++n) {
        if (fromTiled) {
          wm->SetWindowPlacement(id, start);
          std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        SizeChoices choices;
        choices.selectedPreset = n / 2 % 2;  // 640 x 480, 800 x 600
        choices.fields = {"0", "0", "3", "28"};
        choices.chkBorder = choices.chkTask = 1;
        const bool mine = n % 2 == 0;
        Series& s = mine ? ours : theirs;
        ResizedWindowLedger ledger;
        const auto requestsBefore = wm->requests();
        const auto t0 = Clock::now();
        const auto report = mine ? std::optional(SizeAction(
                                       {*wm, ledger, id}, choices, 1280, 1024))
                                 : SwaymsgSizeAction(choices, &s.requests);
        s.ms.push_back(Ms(Clock::now() - t0).count());
        if (mine) {
          s.requests += static_cast<int>(wm->requests() - requestsBefore);
        }
        if (!report) {
          std::fprintf(stderr, "%s: the window was not sized\n", target.name);
          return 1;
        }
      }
      const char* kind = fromTiled ? "_from_tiled" : "";
      for (Series* s : {&ours, &theirs}) {
        std::printf("| %s%s/%s | %.2f ms | %.2f ms | %.1f |\n",
                    s == &ours ? "size_action" : "swaymsg_same_requests", kind,
                    target.name, s->Quantile(0.5), s->Quantile(0.9),
                    static_cast<double>(s->requests) /
                        static_cast<double>(s->ms.size()));
      }
      std::printf("| swaymsg / size action | %.1f times as long | | |\n",
                  theirs.Quantile(0.5) / ours.Quantile(0.5));
    }
    std::string command = "[con_id=" + std::to_string(id) + "] kill";
    Output({"swaymsg", command});
    for (int i = 0; i < 200 && wm->GetForegroundWindow() == id; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  return 0;
}
