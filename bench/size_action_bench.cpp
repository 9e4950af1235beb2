// What sizing a real window costs, against a real X server and window
// manager (run by scripts/bench.sh on a private desktop): the size action
// and the restore action from the moment Timer2 fires to the report, split
// into X round trips and the wait for the window manager; on the same
// windows, xdotool windowsize --sync and wmctrl -e followed by the same
// settle check, for ratios. One window takes the exact size (xclock), one
// has size increments (xterm), one answers the window manager's pings and
// sync requests (a Qt window). Every run changes the window's size.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "actions.h"
#include "picked_window_manager.h"
#include "x11_probe.h"
#include "x11_window_manager.h"
#include "x_session.h"

extern char** environ;

namespace {

using namespace pentrax;
using Clock = std::chrono::steady_clock;

std::unique_ptr<X11WindowManager> g_wm;
std::unique_ptr<X11Probe> g_probe;
constexpr int kWindows = 3;
WindowHandle g_windows[kWindows];  // xclock, xterm, Qt
const char* const kNames[kWindows] = {"xclock", "xterm", "qt"};

// Two outer sizes per window that it can take exactly (for xterm: whole
// size increments), and each one's client size, which xdotool and wmctrl
// take.
Size g_outer[kWindows][2];
Size g_client[kWindows][2];

int Field(const std::string& text, const std::string& label, int which) {
  const auto at = text.find(label);
  if (at == std::string::npos) return 0;
  int a = 0, b = 0;
  std::sscanf(text.c_str() + at + label.size(), " %d by %d", &a, &b);
  return which == 0 ? a : b;
}

void PlanSizes(int i) {
  const std::string id = std::to_string(g_windows[i]);
  const std::string hints =
      testing::Run("xprop -id " + id + " WM_NORMAL_HINTS").value_or("");
  const std::string ext =
      testing::Run("xprop -id " + id + " _NET_FRAME_EXTENTS").value_or("");
  int l = 0, r = 0, t = 0, b = 0;
  const auto eq = ext.find('=');
  if (eq != std::string::npos) {
    std::sscanf(ext.c_str() + eq + 1, " %d, %d, %d, %d", &l, &r, &t, &b);
  }
  const int incW = std::max(1, Field(hints, "resize increment:", 0));
  const int incH = std::max(1, Field(hints, "resize increment:", 1));
  const int baseW = Field(hints, "base size:", 0);
  const int baseH = Field(hints, "base size:", 1);
  const Size wanted[2] = {{646, 458}, {806, 578}};
  for (int k = 0; k < 2; ++k) {
    const int cw = baseW + (wanted[k].width - l - r - baseW) / incW * incW;
    const int ch = baseH + (wanted[k].height - t - b - baseH) / incH * incH;
    g_client[i][k] = {cw, ch};
    g_outer[i][k] = {cw + l + r, ch + t + b};
  }
}

// A custom size of the given outer size, or (window -1) the first two
// presets with border and task bar, which an xterm cannot take exactly.
SizeChoices Choices(int window, int n) {
  SizeChoices c;
  if (window < 0) {
    c.selectedPreset = n % 2;
    c.fields = {"0", "0", "3", "28"};
    c.chkBorder = 1;
    c.chkTask = 1;
    return c;
  }
  const Size s = g_outer[window][n % 2];
  c.selectedPreset = kCustomPreset;
  c.fields = {std::to_string(s.width), std::to_string(s.height), "0", "0"};
  return c;
}

// Which of the two sizes comes next: every run changes the window (a
// repetition starts afresh, so a counter of its own would not).
int g_turn = 0;

// Adds the per-action split: X round trips, and milliseconds spent waiting
// for the window manager.
struct Split {
  std::uint64_t trips = g_probe->roundTrips();
  std::chrono::nanoseconds wait = g_probe->settleTime();
  void Report(benchmark::State& state, double actions) const {
    state.counters["round_trips"] =
        static_cast<double>(g_probe->roundTrips() - trips) / actions;
    state.counters["wm_wait_ms"] =
        std::chrono::duration<double, std::milli>(g_probe->settleTime() - wait)
            .count() /
        actions;
  }
};

// range(0): the window; range(1): 1 for sizes it cannot take exactly.
void BM_SizeAction(benchmark::State& state) {
  testing::PickedWindowManager wm(*g_wm);
  const int window = static_cast<int>(state.range(0));
  const bool unfit = state.range(1) != 0;
  wm.pick = g_windows[window];
  ResizedWindowLedger ledger;
  int n = 0;
  const Split split;
  for (auto _ : state) {
    ++n;
    SizeChoices choices = Choices(unfit ? -1 : window, g_turn++);
    if (SizeAction({wm, ledger, wm.pick}, choices, 1280, 1024)
            .find(kResizedTo) == std::string::npos) {
      state.SkipWithError("the window was not sized");
      break;
    }
  }
  split.Report(state, n);
}

void BM_RestoreAction(benchmark::State& state) {
  testing::PickedWindowManager wm(*g_wm);
  const int window = static_cast<int>(state.range(0));
  wm.pick = g_windows[window];
  ResizedWindowLedger ledger;
  int n = 0;
  std::uint64_t trips = 0;
  std::chrono::nanoseconds wait{};
  for (auto _ : state) {
    ++n;
    // Sized to the size it does not have, so that the restore changes it.
    WindowPlacement now;
    g_wm->GetWindowPlacement(wm.pick, now);
    const int turn =
        now.rcNormalPosition.width() == g_outer[window][0].width ? 1 : 0;
    SizeChoices choices = Choices(window, turn);
    SizeAction({wm, ledger, wm.pick}, choices, 1280, 1024);
    const auto t0 = Clock::now();
    const std::uint64_t trips0 = g_probe->roundTrips();
    const auto wait0 = g_probe->settleTime();
    const std::string report = RestoreAction({wm, ledger, wm.pick});
    state.SetIterationTime(
        std::chrono::duration<double>(Clock::now() - t0).count());
    trips += g_probe->roundTrips() - trips0;
    wait += g_probe->settleTime() - wait0;
    if (report.find(kRestored) == std::string::npos) {
      state.SkipWithError("the window was not restored");
      break;
    }
  }
  state.counters["round_trips"] = static_cast<double>(trips) / n;
  state.counters["wm_wait_ms"] =
      std::chrono::duration<double, std::milli>(wait).count() / n;
}

int RunCommand(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) !=
      0) {
    return -1;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

void BM_XdotoolWindowsize(benchmark::State& state) {
  const int window = static_cast<int>(state.range(0));
  const WindowHandle w = g_windows[window];
  for (auto _ : state) {
    const Size s = g_client[window][g_turn++ % 2];
    if (RunCommand({"timeout", "5", "xdotool", "windowsize", "--sync",
                    std::to_string(w), std::to_string(s.width),
                    std::to_string(s.height)}) != 0) {
      state.SkipWithError("xdotool failed");
      break;
    }
  }
}

void BM_WmctrlThenSettle(benchmark::State& state) {
  const int window = static_cast<int>(state.range(0));
  const WindowHandle w = g_windows[window];
  for (auto _ : state) {
    const int turn = g_turn++ % 2;
    const Size s = g_client[window][turn];
    const Size outer = g_outer[window][turn];
    WindowPlacement p;
    g_wm->GetWindowPlacement(w, p);
    const Rect& r = p.rcNormalPosition;
    const std::string geometry =
        "0," + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
        std::to_string(s.width) + "," + std::to_string(s.height);
    if (RunCommand({"timeout", "5", "wmctrl", "-i", "-r", std::to_string(w),
                    "-e", geometry}) != 0) {
      state.SkipWithError("wmctrl failed");
      break;
    }
    if (!g_probe->WaitUntilPlaced(
            w, {r.left, r.top, r.left + outer.width, r.top + outer.height})) {
      state.SkipWithError("the window did not take the size");
      break;
    }
  }
}

// The foreground query of every 100 ms tick while a button is pressed.
void BM_ForegroundWindow(benchmark::State& state) {
  const std::uint64_t before = g_probe->roundTrips();
  std::int64_t calls = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(g_wm->GetForegroundWindow());
    ++calls;
  }
  state.counters["round_trips"] =
      static_cast<double>(g_probe->roundTrips() - before) /
      static_cast<double>(calls);
}

void Register() {
  constexpr int kRuns = 60;
  for (int i = 0; i < kWindows; ++i) {
    const std::string on = std::string("/") + kNames[i];
    benchmark::RegisterBenchmark(("size_action" + on).c_str(), BM_SizeAction)
        ->Args({i, 0})
        ->Iterations(1)
        ->Repetitions(kRuns)
        ->Unit(benchmark::kMillisecond)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark(("restore_action" + on).c_str(),
                                 BM_RestoreAction)
        ->Arg(i)
        ->Iterations(1)
        ->Repetitions(kRuns)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark(("xdotool_windowsize_sync" + on).c_str(),
                                 BM_XdotoolWindowsize)
        ->Arg(i)
        ->Iterations(1)
        ->Repetitions(kRuns)
        ->Unit(benchmark::kMillisecond)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark(("wmctrl_e_then_settle" + on).c_str(),
                                 BM_WmctrlThenSettle)
        ->Arg(i)
        ->Iterations(1)
        ->Repetitions(kRuns)
        ->Unit(benchmark::kMillisecond)
        ->ReportAggregatesOnly(true);
  }
  // Presets an xterm cannot take exactly: done when it has what its size
  // hints allow (xdotool --sync would wait for ever here).
  benchmark::RegisterBenchmark("size_action_inexact/xterm", BM_SizeAction)
      ->Args({1, 1})
      ->Iterations(1)
      ->Repetitions(kRuns)
      ->Unit(benchmark::kMillisecond)
      ->ReportAggregatesOnly(true);
  benchmark::RegisterBenchmark("foreground_query", BM_ForegroundWindow)
      ->Repetitions(5)
      ->Unit(benchmark::kMicrosecond)
      ->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  auto connection = x11::Connection::Open(nullptr, &error);
  if (!connection) {
    std::fprintf(stderr, "size_action_bench: %s\n", error.c_str());
    return 1;
  }
  auto backend = std::make_unique<x11::Backend>(std::move(connection));
  g_probe = std::make_unique<X11Probe>(*backend);
  g_wm = std::make_unique<X11WindowManager>(std::move(backend));
  testing::Client clock(
      {"xclock", "-name", "benchclock", "-geometry", "300x200+60+60"});
  testing::Client term(
      {"xterm", "-name", "benchterm", "-geometry", "80x24+400+300"});
  testing::Client qt(
      {"env", "QT_QPA_PLATFORM=xcb", PENTRAX_QT_WINDOW, "benchqt"});
  g_windows[0] = testing::FindWindowByClass("benchclock");
  g_windows[1] = testing::FindWindowByClass("benchterm");
  g_windows[2] = testing::FindWindowByClass("pentrax_qt_window");
  if (g_windows[0] <= 0 || g_windows[1] <= 0 || g_windows[2] <= 0) {
    std::fprintf(stderr, "size_action_bench: the windows did not appear\n");
    return 1;
  }
  testing::SleepMs(500);
  for (int i = 0; i < kWindows; ++i) {
    PlanSizes(i);
  }
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_probe.reset();
  g_wm.reset();
  return 0;
}
