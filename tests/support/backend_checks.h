// What every backend's suite does the same way: the sizing it asks for, and
// the check that a window that is gone fails every call cleanly.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "actions.h"

namespace pentrax::testing {

// The first preset with a border of 3 added and a task bar of 28 taken
// off: 646 x 458 (or, with other choices, what they make).
inline std::string SizeForTest(WindowManager& wm, ResizedWindowLedger& ledger,
                               WindowHandle window,
                               SizeChoices choices = {
                                   0, {"0", "0", "3", "28"}, 1, 1, true}) {
  return SizeAction({wm, ledger, window}, choices, 1280, 1024);
}

inline std::string RestoreForTest(WindowManager& wm,
                                  ResizedWindowLedger& ledger,
                                  WindowHandle window) {
  return RestoreAction({wm, ledger, window});
}

// Every call about a window that is gone fails and gives nothing of it.
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
