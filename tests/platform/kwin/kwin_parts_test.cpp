// The KWin backend's parts where the tests against a real KWin 5.27 do not
// reach: the maximised state as Plasma 6 tells it, and clients that stop
// short of the size asked for.
#include <gtest/gtest.h>

#include "kwin_window_state.h"

namespace pentrax {
namespace {

TEST(KWinParts, ShowState) {
  const Rect area{0, 0, 1280, 996};
  // minimized, fullScreen, maximizeMode (-1: not told), frame: show state
  const std::vector<std::tuple<bool, bool, int, Rect, std::int32_t>> rows = {
      {false, false, -1, area, kShowMaximized},
      {false, false, 0, area, kShowNormal},
      {false, false, 3, {0, 0, 9, 9}, kShowMaximized},
      {false, false, 1, area, kShowNormal},  // vertically only
      {true, true, 3, area, kShowMinimized},
      {false, true, 3, area, kShowFullscreen}};
  for (const auto& [minimized, fullScreen, mode, frame, show] : rows) {
    KWinWindow w{"", "", "", 0, frame, area, {}, minimized, fullScreen, mode};
    EXPECT_EQ(ShowStateOf(w), show) << mode;
  }
}

TEST(KWinParts, AWindowSettlesAtTheSizeAskedForOrWhereItStops) {
  const SettleWatch::Clock::time_point t0;
  const Rect old{0, 0, 400, 300}, asked{0, 0, 640, 480}, near{0, 0, 637, 476};
  SettleWatch watch(asked, old, t0);
  // Frames read in turn, at milliseconds from the start: settled yet?
  for (const auto& [frame, ms, settled] :
       std::vector<std::tuple<Rect, int, bool>>{{old, 500, false},
                                                {near, 510, false},
                                                {near, 609, false},
                                                {near, 610, true},
                                                {asked, 611, true}}) {
    EXPECT_EQ(watch.Settled(frame, t0 + std::chrono::milliseconds(ms)), settled)
        << ms;
  }
}

}  // namespace
}  // namespace pentrax
