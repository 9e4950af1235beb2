// What sizing a window costs on GNOME, in a private GNOME Shell with
// Pentrax's extension (run by scripts/bench-gnome.sh): the size action from
// the moment Timer2 fires to the report, which comes once the window has
// taken its new frame, on a native Wayland window and on an Xwayland window
// (the tests' Qt window). Split into the placement request (the shell asks
// the window for the new size, the window draws itself at that size, the
// shell answers) and the reads before and after it, one D-Bus call each
// (one reading of the window serves an action's calls within 5 ms). Beside
// it: one read alone, and a placement the window already has, which the
// extension answers at once (D-Bus and the shell, without the window).
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "actions.h"
#include "gnome_window_manager.h"
#include "picked_window_manager.h"

extern char** environ;

namespace {

using namespace pentrax;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

std::unique_ptr<GnomeWindowManager> g_wm;
const char* const kPlatforms[2] = {"wayland", "xcb"};
const char* const kNames[2] = {"wayland", "xwayland"};
WindowHandle g_windows[2];
pid_t g_pids[2];

// The test window on the given Qt platform, once it is focused and mapped.
WindowHandle StartWindow(int i) {
  const std::string title = std::string("bench ") + kNames[i];
  const char* argv[] = {PENTRAX_QT_WINDOW, "-platform", kPlatforms[i],
                        title.c_str(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1, 0);
  posix_spawn(&g_pids[i], argv[0], &actions, nullptr,
              const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  const auto deadline = Clock::now() + std::chrono::seconds(30);
  while (Clock::now() < deadline) {
    const WindowHandle w = g_wm->GetForegroundWindow();
    WindowPlacement p;
    if (w > 0 && ReadCleanTitle(*g_wm, w) == title &&
        g_wm->GetWindowPlacement(w, p) > 0 && p.rcNormalPosition.width() > 0) {
      return w;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return 0;
}

// Notes when the placement request within an action starts and ends.
class TimedWindowManager : public testing::PickedWindowManager {
 public:
  using PickedWindowManager::PickedWindowManager;
  int SetWindowPlacement(WindowHandle w, const WindowPlacement& p) override {
    placeStart = Clock::now();
    const int result = PickedWindowManager::SetWindowPlacement(w, p);
    placeEnd = Clock::now();
    return result;
  }
  Clock::time_point placeStart, placeEnd;
};

// One size action on a shell that has settled after the last one (as a
// user's would be), timed alone: the reads before the placement request,
// the request, and the reads after it.
void BM_SizeAction(benchmark::State& state) {
  TimedWindowManager wm(*g_wm);
  wm.pick = g_windows[state.range(0)];
  ResizedWindowLedger ledger;
  static int n = 0;
  Clock::duration before{}, placing{}, after{};
  for (auto _ : state) {
    const bool big = n++ % 2 != 0;  // every run a new size
    SizeChoices choices;
    choices.selectedPreset = kCustomPreset;
    choices.fields = {big ? "700" : "640", big ? "500" : "480", "0", "0"};
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto t0 = Clock::now();
    const auto report = SizeAction({wm, ledger, wm.pick}, choices, 1280, 1024);
    const auto t1 = Clock::now();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    before += wm.placeStart - t0;
    placing += wm.placeEnd - wm.placeStart;
    after += t1 - wm.placeEnd;
    if (!report.ends_with(big ? "700 x 500" : "640 x 480")) {
      state.SkipWithError("the window was not sized");
      break;
    }
  }
  state.counters["before_ms"] = Ms(before).count();
  state.counters["place_ms"] = Ms(placing).count();
  state.counters["after_ms"] = Ms(after).count();
}

// One call on a settled shell, timed alone.
template <typename Call>
void TimeAlone(benchmark::State& state, Call call) {
  for (auto _ : state) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto t0 = Clock::now();
    benchmark::DoNotOptimize(call());
    state.SetIterationTime(
        std::chrono::duration<double>(Clock::now() - t0).count());
  }
}

void BM_Read(benchmark::State& state) {
  WindowPlacement p;
  TimeAlone(state, [&] {
    return g_wm->GetWindowPlacement(g_windows[state.range(0)], p);
  });
}

void BM_PlacementUnchanged(benchmark::State& state) {
  const WindowHandle w = g_windows[state.range(0)];
  WindowPlacement p;
  g_wm->GetWindowPlacement(w, p);
  TimeAlone(state, [&] { return g_wm->SetWindowPlacement(w, p); });
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::string error;
  g_wm = GnomeWindowManager::Connect(&error);
  if (!g_wm) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  constexpr int kRuns = 30;
  for (int i = 0; i < 2; ++i) {
    g_windows[i] = StartWindow(i);
    if (g_windows[i] == 0) {
      std::fprintf(stderr, "the %s window did not appear\n", kNames[i]);
      return 1;
    }
    const std::string on = std::string("/") + kNames[i];
    for (const auto& [name, fn] :
         {std::pair<const char*, void (*)(benchmark::State&)>{"size_action",
                                                              BM_SizeAction},
          {"read", BM_Read},
          {"placement_unchanged", BM_PlacementUnchanged}}) {
      benchmark::RegisterBenchmark((name + on).c_str(), fn)
          ->Arg(i)
          ->Iterations(1)
          ->Repetitions(kRuns)
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond)
          ->ReportAggregatesOnly(true);
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const pid_t pid : g_pids) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  g_wm.reset();
  return 0;
}
