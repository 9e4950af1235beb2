// A long day in a few seconds: 1,000 size-and-restore cycles over 20 real
// windows (the test helper's), one of them closing and a new one opening
// every 25 cycles, through the X11 backend on a private desktop (run by
// scripts/bench.sh). Prints how many cycles failed, how large the ledger
// grew and how much resident memory grew after a warm-up of 100 cycles.
//
//   soak_bench TEST_WINDOW_PROGRAM
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "actions.h"
#include "picked_window_manager.h"
#include "x11_window_manager.h"
#include "x_session.h"

namespace {

using namespace pentrax;
using testing::Client;

long ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Window {
  std::unique_ptr<Client> client;
  WindowHandle id = 0;
};

Window Open(const char* program, int n) {
  Window w;
  w.id = testing::StartWindow(
      w.client, {program, "--class", "soak" + std::to_string(n), "--geometry",
                 "300x200+" + std::to_string(40 + 20 * (n % 20)) + "+" +
                     std::to_string(40 + 15 * (n % 20))});
  return w;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: soak_bench TEST_WINDOW_PROGRAM\n");
    return 2;
  }
  std::string error;
  auto x11 = X11WindowManager::Connect(nullptr, &error);
  if (!x11) {
    std::fprintf(stderr, "soak_bench: %s\n", error.c_str());
    return 1;
  }
  testing::PickedWindowManager wm(*x11);
  ResizedWindowLedger ledger;

  std::vector<Window> windows;
  int opened = 0;
  for (; opened < 20; ++opened) {
    windows.push_back(Open(argv[1], opened));
  }
  long baseline = 0;
  int failures = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int cycle = 0; cycle < 1000; ++cycle) {
    if (cycle == 100) {
      baseline = ResidentKb();
    }
    if (cycle % 25 == 24) {
      const std::size_t slot =
          static_cast<std::size_t>(cycle / 25) % windows.size();
      windows[slot].client->Kill();
      windows[slot] = Open(argv[1], opened++);
    }
    wm.pick = windows[static_cast<std::size_t>(cycle) % windows.size()].id;
    SizeChoices choices;
    choices.selectedPreset = cycle % 3;
    choices.fields = {"0", "0", "3", "28"};
    choices.chkBorder = 1;
    const std::string sized =
        SizeAction({wm, ledger, wm.pick}, choices, 1280, 1024);
    const std::string restored = RestoreAction({wm, ledger, wm.pick});
    if (sized.find(kResizedTo) == std::string::npos ||
        restored.find(kRestored) == std::string::npos) {
      ++failures;
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count();
  // At most one ledger entry per window ever sized (a new window given a
  // closed one's id takes over its entry).
  std::printf(
      "soak: 1000 cycles over %d windows in %.1f s, %d failed; ledger %zu "
      "entries; resident memory %+ld kB after the first 100 cycles (%ld kB)\n",
      opened, seconds, failures, ledger.entries().size(),
      ResidentKb() - baseline, ResidentKb());
  return failures == 0 ? 0 : 1;
}
