// The KWin backend's reading of a window's state where the tests against a
// real KWin 5.27 do not reach: the maximised state as Plasma 6 tells it.
#include <gtest/gtest.h>

#include "kwin_window_state.h"

namespace pentrax {
namespace {

TEST(KWinParts, ShowState) {
  const Rect area{0, 0, 1280, 996};
  struct Row {
    bool minimized, fullScreen, tiled;
    int maximizeMode;  // -1: not told
    Rect frame;
    std::int32_t show;
  };
  const Row rows[] = {
      {false, false, false, -1, area, kShowMaximized},
      {false, false, false, 0, area, kShowNormal},
      {false, false, false, 3, {0, 0, 9, 9}, kShowMaximized},
      {false, false, false, 1, area, kShowNormal},  // vertically only
      {true, true, false, 3, area, kShowMinimized},
      {false, true, false, 3, area, kShowFullscreen},
      {false, false, true, 0, {0, 0, 640, 996}, kShowTiled},
  };
  for (const Row& r : rows) {
    KWinWindow w;
    w.frame = r.frame;
    w.area = area;
    w.minimized = r.minimized;
    w.fullScreen = r.fullScreen;
    w.tiled = r.tiled;
    w.maximizeMode = r.maximizeMode;
    EXPECT_EQ(ShowStateOf(w), r.show) << r.maximizeMode;
  }
}

}  // namespace
}  // namespace pentrax
