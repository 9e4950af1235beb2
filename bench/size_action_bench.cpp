// What one size action costs against a real X server and window manager:
// wall time per action and X round trips per action. Run by
// scripts/bench.sh, which starts the desktop and the window to size.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "actions.h"
#include "x11_window_manager.h"

namespace {

using namespace pentrax;

std::unique_ptr<X11WindowManager> g_wm;

// Alternates between two presets so that every action really changes the
// window and waits for the window manager to carry it out.
void BM_SizeAction(benchmark::State& state) {
  ResizedWindowLedger ledger;
  WindowHandle target = 0;
  SizeChoices choices;
  choices.fields = {"0", "0", "3", "28"};
  choices.chkBorder = 1;
  choices.chkTask = 1;
  const std::uint64_t before = g_wm->roundTrips();
  std::int64_t actions = 0;
  for (auto _ : state) {
    choices.selectedPreset = static_cast<std::int32_t>(actions++ % 2);
    auto report = SizeAction({*g_wm, 1, ledger, target}, choices, 1280, 1024);
    if (!report) {
      state.SkipWithError("the window was not sized");
      break;
    }
    benchmark::DoNotOptimize(report);
  }
  state.counters["round_trips"] = benchmark::Counter(
      static_cast<double>(g_wm->roundTrips() - before) /
      static_cast<double>(std::max<std::int64_t>(actions, 1)));
}
BENCHMARK(BM_SizeAction)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(60)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The foreground query that runs on every 100 ms tick while a button is
// pressed.
void BM_ForegroundWindow(benchmark::State& state) {
  const std::uint64_t before = g_wm->roundTrips();
  std::int64_t calls = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(g_wm->GetForegroundWindow());
    ++calls;
  }
  state.counters["round_trips"] =
      benchmark::Counter(static_cast<double>(g_wm->roundTrips() - before) /
                         static_cast<double>(std::max<std::int64_t>(calls, 1)));
}
BENCHMARK(BM_ForegroundWindow)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  g_wm = X11WindowManager::Connect(nullptr, &error);
  if (!g_wm) {
    std::fprintf(stderr, "size_action_bench: %s\n", error.c_str());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_wm.reset();
  return 0;
}
