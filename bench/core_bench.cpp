// The sizing logic alone: reading numbers, the target size, and the ledger
// at 10, 1,000 and 100,000 entries.
#include <benchmark/benchmark.h>

#include <string>

#include "actions.h"
#include "ledger.h"
#include "numbers.h"
#include "sizing.h"

namespace {

using namespace pentrax;

void BM_LeadingNumber(benchmark::State& state) {
  const std::string inputs[] = {"640", " 1 2 8 0 ", "-3.75e2px", "&H1F4",
                                "abc"};
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(LeadingNumber(inputs[i++ % 5]));
  }
}
BENCHMARK(BM_LeadingNumber);

void BM_NormaliseInputsAndTargetSize(benchmark::State& state) {
  SizeChoices choices;
  choices.selectedPreset = kCustomPreset;
  choices.chkBorder = 1;
  choices.chkTask = 1;
  for (auto _ : state) {
    choices.fields = {"2000", "700x", " 3", "28"};
    NormaliseInputs(choices.fields, 1280, 1024);
    benchmark::DoNotOptimize(TargetSize(choices));
  }
}
BENCHMARK(BM_NormaliseInputsAndTargetSize);

// Remembering and looking up the window sized last, the worst place in a
// ledger of the given size.
void BM_Ledger(benchmark::State& state) {
  const auto entries = static_cast<WindowHandle>(state.range(0));
  ResizedWindowLedger ledger;
  WindowPlacement placement;
  placement.showCmd = kShowNormal;
  placement.rcNormalPosition = {10, 20, 650, 500};
  for (WindowHandle h = 1; h <= entries; ++h) {
    ledger.RememberWindow(placement, h, "pid 1, class x");
  }
  for (auto _ : state) {
    ledger.RememberWindow(placement, entries, "pid 1, class x");
    WindowPlacement found = placement;
    bool hit = false;
    ledger.LookUpWindow(found, entries, hit, "pid 1, class x");
    benchmark::DoNotOptimize(hit);
  }
}
BENCHMARK(BM_Ledger)->Arg(10)->Arg(1000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
