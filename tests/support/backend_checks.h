// What the backend suites share: the sizing they ask for, and the check that
// every call about a window that is gone fails and gives nothing of it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "actions.h"

namespace pentrax::testing {

// The first preset, a border of 3 added and a task bar of 28 taken off:
// 646 x 458.
inline std::string SizeForTest(WindowManager& wm, ResizedWindowLedger& ledger,
                               WindowHandle window) {
  SizeChoices choices{0, {"0", "0", "3", "28"}, 1, 1, true};
  return SizeAction({wm, ledger, window}, choices, 1280, 1024);
}

inline void ExpectGone(WindowManager& wm, WindowHandle window) {
  WindowPlacement p;
  EXPECT_EQ(wm.GetWindowPlacement(window, p), 0);
  p.showCmd = kShowRestore;
  EXPECT_EQ(wm.SetWindowPlacement(window, p), 0);
  char title[8] = "xxxxxxx";
  EXPECT_EQ(wm.GetWindowText(window, title, 8), 0);
  EXPECT_STREQ(title, "");
  EXPECT_EQ(wm.WindowIdentity(window), "");
}

}  // namespace pentrax::testing
