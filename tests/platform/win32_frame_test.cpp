// Windows 10's 7 invisible pixels (96 DPI alone: pentrax2_exe_test.sh).
#include <gtest/gtest.h>

#include <climits>

#include "frame.h"

namespace pentrax::win32 {
namespace {

TEST(Win32Frame, VisibleFrameToWindowRectangleAndBack) {
  constexpr Insets k96 = {7, 0, 7, 7};
  // GetWindowRect, DWM's frame, the invisible borders, the DPI here and
  // there, there's workspace offset, the frame asked, SetWindowPos's.
  // clang-format off
  const std::tuple<const char*, Rect, Rect, Insets, std::uint32_t, std::uint32_t, Point, Rect, Rect> cases[] = {
      {"a task bar at the left and top", {93, 50, 753, 515}, {100, 50, 746, 508}, k96, 96, 96, {50, 30}, {0, 0, 640, 480}, {43, 30, 697, 517}},
      {"put on a monitor of 144 DPI", {93, 50, 753, 515}, {100, 50, 746, 508}, k96, 96, 144, {}, {0, 0, 640, 480}, {-11, 0, 651, 491}},
      {"put on a monitor of 120 DPI: rounded", {-7, 0, 8, 8}, {0, 0, 1, 1}, k96, 96, 120, {}, {0, 0, 640, 480}, {-9, 0, 649, 489}},
      {"a DPI not told", {93, 50, 753, 515}, {100, 50, 746, 508}, k96, 0, 144, {}, {0, 0, 640, 480}, {-7, 0, 647, 487}},
      {"inset on every side", {0, 0, 100, 100}, {2, 3, 95, 96}, {2, 3, 5, 4}, 96, 96, {}, {10, 10, 50, 50}, {8, 7, 55, 54}},
      {"a frame past the left edge: none", {93, 50, 753, 515}, {90, 50, 746, 508}, {}, 96, 96, {}, {0, 0, 640, 480}, {0, 0, 640, 480}},
      {"a frame past the bottom edge: none", {93, 50, 753, 515}, {100, 50, 746, 516}, {}, 96, 96, {}, {0, 0, 640, 480}, {0, 0, 640, 480}},
      {"a frame of no width: none", {93, 50, 753, 515}, {100, 50, 100, 508}, {}, 96, 96, {}, {0, 0, 640, 480}, {0, 0, 640, 480}},
      {"a frame of no height: none", {93, 50, 753, 515}, {100, 60, 746, 60}, {}, 96, 96, {}, {0, 0, 640, 480}, {0, 0, 640, 480}},
      {"extremes: kept within 32 bits", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {-1, -1, 1, 1}, {INT_MAX, INT_MAX, INT_MAX - 1, INT_MAX - 1}, 96, 96, {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}},
  };
  for (const auto& [what, window, visible, insets, dpiFrom, dpiTo, offset, asked, onScreen] : cases) {
    SCOPED_TRACE(what);
    EXPECT_EQ(InvisibleBorders(window, visible), insets);
    const Insets there = BordersAtDpi(insets, dpiFrom, dpiTo);
    const Rect got = ScreenWindowRect(asked, offset, there);
    EXPECT_EQ(got, onScreen);
    // Read back, the frame is the one asked for (unless clamped).
    if (asked.left > INT_MIN) {
      EXPECT_EQ(VisibleFrame(got, there), (Rect{asked.left + offset.x, asked.top + offset.y, asked.right + offset.x, asked.bottom + offset.y}));
    }
  }
  // clang-format on
}

}  // namespace
}  // namespace pentrax::win32
