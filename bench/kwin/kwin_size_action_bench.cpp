// What sizing a window costs on KWin (run by scripts/bench-kwin.sh on a
// private kwin_wayland session): the size action from the moment Timer2
// fires to the report, the window's new size included, against a Qt window
// on Wayland and one on XWayland, each run alternating between 640 x 480 and
// 800 x 600; and the foreground query of each 100 ms tick while a button is
// pressed.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <map>
#include <memory>
#include <string>

#include "actions.h"
#include "kwin_script.h"
#include "kwin_window_manager.h"
#include "x_session.h"

namespace {

using namespace pentrax;

std::unique_ptr<KWinWindowManager> g_wm;

// Starts the window once per platform and makes it the active one.
bool Activate(const std::string& platform) {
  static std::map<std::string, std::unique_ptr<testing::Client>> clients;
  const std::string caption = "bench-" + platform;
  const std::string find = "var w = byCaption('" + caption + "');";
  if (!clients[platform]) {
    clients[platform] =
        std::make_unique<testing::Client>(std::vector<std::string>{
            "env", "QT_QPA_PLATFORM=" + platform, PENTRAX_QT_WINDOW, caption});
    if (!testing::Eventually(
            [&] { return testing::RunKWinScript(find + "send(!!w);") == true; },
            20000)) {
      return false;
    }
  }
  testing::RunKWinScript(find + "activate(w); send(0);");
  const std::string title = caption;
  return testing::Eventually([&] {
    char buffer[64] = "";
    g_wm->GetWindowText(g_wm->GetForegroundWindow(), buffer, sizeof buffer);
    return title == buffer;
  });
}

void BM_SizeAction(benchmark::State& state, const std::string& platform) {
  if (!g_wm || !Activate(platform)) {
    state.SkipWithError("no KWin session, or the window did not come up");
    return;
  }
  ResizedWindowLedger ledger;
  int run = 0;
  for (auto _ : state) {
    SizeChoices choices{run++ % 2, {"0", "0", "0", "0"}, 0, 0, true};
    if (SizeAction({*g_wm, ledger, g_wm->GetForegroundWindow()}, choices, 1280,
                   1024)
            .find(kResizedTo) == std::string::npos) {
      state.SkipWithError("the size action stopped");
      break;
    }
  }
}

void BM_ForegroundQuery(benchmark::State& state) {
  if (!g_wm) {
    state.SkipWithError("no KWin session");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(g_wm->GetForegroundWindow());
  }
}

BENCHMARK_CAPTURE(BM_SizeAction, wayland, std::string("wayland"))
    ->Iterations(1)
    ->Repetitions(60)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SizeAction, xwayland, std::string("xcb"))
    ->Iterations(1)
    ->Repetitions(60)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ForegroundQuery)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::string error;
  g_wm = KWinWindowManager::Connect(&error);
  if (!g_wm) {
    std::fprintf(stderr, "%s\n", error.c_str());
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_wm.reset();
  return 0;
}
