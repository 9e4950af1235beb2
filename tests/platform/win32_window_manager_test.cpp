// The Win32 backend's own: workspace coordinates on each monitor, and which
// windows it lists. Under Wine on scripts/test-windows.sh's desktop (two
// 1280 x 1024 monitors, a 28-pixel dock, task bars at the top (30) and left
// (50) of the second), on the test's own windows (Wine reads a maximised
// window's normal rectangle right only in-process), read by GetWindowRect.
#include "win32_window_manager.h"

#include <gtest/gtest.h>
#include <windows.h>
// <windows.h> would rename the interface's GetWindowText.
#undef GetWindowText

#include <cstdint>
#include <functional>
#include <tuple>

namespace pentrax {
namespace {

HWND Create(const wchar_t* title, DWORD style = WS_OVERLAPPEDWINDOW,
            HWND owner = nullptr, DWORD exStyle = 0, int left = 200,
            int show = SW_SHOWNORMAL) {
  HWND w =
      CreateWindowExW(exStyle, L"STATIC", title, style, left, 100, 400, 300,
                      owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(w, show);
  return w;
}
WindowHandle H(HWND w) {
  return static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(w));
}

// Runs this thread's messages until the condition holds, at most 10 s
// (woken by each message, as Wine's restore of a minimised window needs).
bool Until(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  for (MSG m; !done();) {
    if (GetTickCount() - start > 10000) return false;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return true;
}

// The state before (minimised: from maximised), the one placed, a tool
// window (placed in screen coordinates) or not, the normal rectangle, where
// it is on the screen once restored, the work area (s2, t2: n2, w2 on the
// screen).
TEST(Win32Test, PlacesInWorkspaceCoordinatesOfTheRightMonitor) {
  const Rect n1 = {100, 50, 746, 508}, w1 = {0, 0, 1280, 996};
  const Rect n2 = {1400, 100, 2046, 558}, w2 = {1280, 0, 2510, 966};
  const Rect s2 = {1450, 130, 2096, 588}, t2 = {1330, 30, 2560, 996};
  // clang-format off
  const std::tuple<std::int32_t, std::int32_t, bool, Rect, Rect, Rect> rows[] = {
      {kShowMaximized, kShowRestore, false, n1, n1, w1},
      {kShowMinimized, kShowRestore, false, n1, n1, w1},
      {kShowNormal, kShowMaximized, false, n1, n1, w1},
      {kShowNormal, kShowMinimized, false, n1, n1, w1},
      {kShowNormal, kShowNormal, false, n2, s2, w2},  // the second monitor
      {kShowNormal, kShowNormal, true, n2, n2, t2},
  };
  // clang-format on
  Win32WindowManager wm;
  for (const auto& [before, show, tool, normal, screen, workArea] : rows) {
    SCOPED_TRACE(std::to_string(before) + " to " + std::to_string(show) +
                 (tool ? ", a tool window" : ""));
    HWND w = Create(L"Target", WS_OVERLAPPEDWINDOW, nullptr,
                    tool ? WS_EX_TOOLWINDOW : 0, normal.left + 100,
                    before == kShowNormal ? SW_SHOWNORMAL : SW_MAXIMIZE);
    if (before == kShowMinimized) ShowWindow(w, SW_MINIMIZE);
    ASSERT_TRUE(Until([&] {
      return (IsZoomed(w) != 0) == (before == kShowMaximized) &&
             (IsIconic(w) != 0) == (before == kShowMinimized);
    }));
    Rect area;
    EXPECT_TRUE(wm.GetWorkArea(H(w), area));
    EXPECT_EQ(area, workArea);
    WindowPlacement p;
    p.showCmd = show;
    p.rcNormalPosition = normal;
    EXPECT_EQ(wm.SetWindowPlacement(H(w), p), 1);
    EXPECT_EQ(IsZoomed(w) != 0, show == kShowMaximized);
    EXPECT_EQ(IsIconic(w) != 0, show == kShowMinimized);
    ShowWindow(w, SW_RESTORE);
    RECT r = {};
    EXPECT_TRUE(Until([&] {
      GetWindowRect(w, &r);
      return Rect{r.left, r.top, r.right, r.bottom} == screen;
    }));
    DestroyWindow(w);
  }
}

// The test's windows are all of its own process, which is Pentrax's: a
// window refused for that alone passes every other check. (Pentrax's own
// ordinary window: the contract; the desktop, the task bar and another
// Pentrax's windows: pentrax2_exe_test.sh.)
TEST(Win32Test, ListsOrdinaryWindowsAndDialogsOfOtherPrograms) {
  Win32WindowManager wm;
  HWND main = Create(L"Main");
  // clang-format off
  const std::pair<HWND, const char*> rows[] = {
      {Create(L"Dialog", WS_POPUP | WS_CAPTION, main), "is Pentrax's own"},
      {Create(L"Control", WS_CHILD, main), "is a part of another window"},
      {Create(L"Pop-up", WS_POPUP, main), "is neither an ordinary window nor a dialog"},
      {Create(L"Tool", WS_OVERLAPPEDWINDOW, nullptr, WS_EX_TOOLWINDOW), "is neither an ordinary window nor a dialog"},
      {Create(L"Hidden", WS_OVERLAPPEDWINDOW, nullptr, 0, 200, SW_HIDE), "is not shown"},
      {Create(L""), "has no title"},
  };
  // clang-format on
  for (const auto& [window, why] : rows) {
    EXPECT_EQ(wm.WhyNotListed(H(window)), why);
  }
  DestroyWindow(main);
}

}  // namespace
}  // namespace pentrax
