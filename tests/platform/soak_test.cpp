// A long day in a few seconds: 1,000 size-and-restore cycles over 20 real
// windows, some closing and new ones opening all the while. Memory must not
// grow beyond the ledger's own records (checked in the plain build; under
// the sanitizers, LeakSanitizer checks at exit instead).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

#include "actions.h"
#include "picked_window_manager.h"
#include "x11_window_manager.h"
#include "x_session.h"

#if defined(__SANITIZE_ADDRESS__)
#define PENTRAX_SANITIZED 1
#else
#define PENTRAX_SANITIZED 0
#endif

namespace pentrax {
namespace {

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

Window Open(int n) {
  Window w;
  w.id = testing::StartWindow(
      w.client,
      {PENTRAX_TEST_WINDOW, "--class", "soak" + std::to_string(n), "--geometry",
       "300x200+" + std::to_string(40 + 20 * (n % 20)) + "+" +
           std::to_string(40 + 15 * (n % 20))});
  return w;
}

TEST(Soak, ThousandCyclesOverTwentyWindows) {
  if (std::getenv("DISPLAY") == nullptr) {
    GTEST_SKIP() << "needs an X display: run through with-x-session.sh";
  }
  std::string error;
  auto x11 = X11WindowManager::Connect(nullptr, &error);
  ASSERT_NE(x11, nullptr) << error;
  testing::PickedWindowManager wm(*x11);
  ResizedWindowLedger ledger;
  WindowHandle target = 0;

  std::vector<Window> windows;
  int opened = 0;
  for (; opened < 20; ++opened) {
    windows.push_back(Open(opened));
  }
  long baseline = 0;
  int failures = 0;
  for (int cycle = 0; cycle < 1000; ++cycle) {
    if (cycle == 100) {
      baseline = ResidentKb();
    }
    // Every 25 cycles a window closes and a new one opens.
    if (cycle % 25 == 24) {
      const std::size_t slot =
          static_cast<std::size_t>(cycle / 25) % windows.size();
      windows[slot].client->Kill();
      windows[slot] = Open(opened++);
    }
    Window& w = windows[static_cast<std::size_t>(cycle) % windows.size()];
    wm.pick = w.id;
    SizeChoices choices;
    choices.selectedPreset = cycle % 3;
    choices.fields = {"0", "0", "3", "28"};
    choices.chkBorder = 1;
    const auto sized = SizeAction({wm, 1, ledger, target}, choices, 1280, 1024);
    const auto restored = RestoreAction({wm, 1, ledger, target});
    if (!sized || !restored ||
        restored->find("restored its original size") == std::string::npos) {
      ++failures;
    }
  }
  EXPECT_EQ(failures, 0);
  // At most one entry per window ever sized, however often (a new window
  // that gets a closed one's id takes over its entry).
  EXPECT_GE(ledger.entries().size(), 20u);
  EXPECT_LE(ledger.entries().size(), static_cast<std::size_t>(opened));
  const long growth = ResidentKb() - baseline;
  if (!PENTRAX_SANITIZED) {
    EXPECT_LT(growth, 512) << "resident memory grew by " << growth << " kB";
  }
  std::printf("soak: %d windows, resident memory %+ld kB after the warm-up\n",
              opened, growth);
}

}  // namespace
}  // namespace pentrax
