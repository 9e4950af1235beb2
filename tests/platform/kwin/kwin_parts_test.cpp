// The KWin backend's reading of a window's state where the tests against a
// real KWin 5.27 do not reach: the maximised state as Plasma 6 tells it.
#include <gtest/gtest.h>

#include "kwin_window_state.h"

namespace pentrax {
namespace {

TEST(KWinParts, ShowState) {
  const Rect area{0, 0, 1280, 996}, half{0, 0, 640, 996}, small{0, 0, 9, 9};
  // minimized, fullScreen, tiled, maximizeMode (-1: not told), frame, show
  const std::tuple<bool, bool, bool, int, Rect, std::int32_t> rows[] = {
      {false, false, false, -1, area, kShowMaximized},
      {false, false, false, 0, area, kShowNormal},
      {false, false, false, 3, small, kShowMaximized},
      {false, false, false, 1, area, kShowNormal},  // vertically only
      {true, true, false, 3, area, kShowMinimized},
      {false, true, false, 3, area, kShowFullscreen},
      {false, false, true, 0, half, kShowTiled}};
  for (const auto& [minimized, full, tiled, mode, frame, show] : rows) {
    const KWinWindow w{"", "",        "",   0,     frame, frame, area,
                       {}, minimized, full, tiled, mode,  0,     ""};
    EXPECT_EQ(ShowStateOf(w), show) << mode;
  }
}

}  // namespace
}  // namespace pentrax
