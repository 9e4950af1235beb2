// The Win32 backend's own (the promises every backend keeps:
// platform/contract_test.cpp): workspace coordinates on each monitor, and
// which windows it lists. Under Wine on scripts/test-windows.sh's desktop
// (two 1280 x 1024 monitors, a 28-pixel dock, task bars at the top (30) and
// left (50) of the second), on the test's own windows (Wine reads a
// maximised window's normal rectangle right only in-process), read back
// with GetWindowRect.
#include "win32_window_manager.h"

#include <gtest/gtest.h>
#include <windows.h>
// <windows.h> would rename the interface's GetWindowText.
#undef GetWindowText

#include <cstdint>
#include <functional>

namespace pentrax {
namespace {

HWND Create(const wchar_t* title, int left = 200, DWORD exStyle = 0,
            int show = SW_SHOWNORMAL, HWND owner = nullptr,
            DWORD style = WS_OVERLAPPEDWINDOW) {
  HWND w =
      CreateWindowExW(exStyle, L"STATIC", title, style, left, 100, 400, 300,
                      owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(w, show);
  return w;
}
WindowHandle H(HWND w) {
  return static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(w));
}

// Runs this thread's messages until the condition holds, at most 10 s.
bool Until(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  MSG message;
  while (!done()) {
    if (GetTickCount() - start > 10000) return false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return true;
}

TEST(Win32Test, PlacesInWorkspaceCoordinatesOfTheRightMonitor) {
  // Normal rectangles n, work areas w; on the screen: s2 = n2, t2 = w2.
  const Rect n1 = {100, 50, 746, 508}, w1 = {0, 0, 1280, 996};
  const Rect n2 = {1400, 100, 2046, 558}, w2 = {1280, 0, 2510, 966};
  const Rect s2 = {1450, 130, 2096, 588}, t2 = {1330, 30, 2560, 996};
  const struct {
    const char* what;
    std::int32_t before, showCmd;  // minimised before: from maximised
    bool tool;
    Rect normal, screen, workArea;
  } rows[] = {
      {"from maximised", kShowMaximized, kShowRestore, false, n1, n1, w1},
      {"from minimised", kShowMinimized, kShowRestore, false, n1, n1, w1},
      {"to maximised", kShowNormal, kShowMaximized, false, n1, n1, w1},
      {"to minimised", kShowNormal, kShowMinimized, false, n1, n1, w1},
      {"second monitor", kShowNormal, kShowNormal, false, n2, s2, w2},
      {"tool window", kShowNormal, kShowNormal, true, n2, n2, t2},
  };
  Win32WindowManager wm;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    HWND w = Create(L"Target", row.normal.left + 100,
                    row.tool ? WS_EX_TOOLWINDOW : 0,
                    row.before == kShowNormal ? SW_SHOWNORMAL : SW_MAXIMIZE);
    if (row.before == kShowMinimized) ShowWindow(w, SW_MINIMIZE);
    ASSERT_TRUE(Until([&] {
      return (IsZoomed(w) != 0) == (row.before == kShowMaximized) &&
             (IsIconic(w) != 0) == (row.before == kShowMinimized);
    }));
    Rect area;
    EXPECT_TRUE(wm.GetWorkArea(H(w), area));
    EXPECT_EQ(area, row.workArea);
    WindowPlacement p;
    p.showCmd = row.showCmd;
    p.rcNormalPosition = row.normal;
    EXPECT_EQ(wm.SetWindowPlacement(H(w), p), 1);
    EXPECT_EQ(IsZoomed(w) != 0, row.showCmd == kShowMaximized);
    EXPECT_EQ(IsIconic(w) != 0, row.showCmd == kShowMinimized);
    // Its normal rectangle, which Wine reads right only in-process.
    ShowWindow(w, SW_RESTORE);
    RECT r = {};
    EXPECT_TRUE(Until([&] {
      GetWindowRect(w, &r);
      return Rect{r.left, r.top, r.right, r.bottom} == row.screen;
    }));
    DestroyWindow(w);
  }
}

TEST(Win32Test, ListsOrdinaryWindowsAndDialogsOfOtherPrograms) {
  Win32WindowManager wm;
  HWND main = Create(L"Main");
  // The test's windows are all of its own process, which is Pentrax's: a
  // window that is refused for that alone passes every other check. (The
  // desktop, the task bar and another Pentrax's: pentrax2_exe_test.sh.)
  // clang-format off
  const struct { const char* what; HWND window; const char* why; } rows[] = {
      {"an ordinary window", main, "is Pentrax's own"},
      {"a dialog", Create(L"Dialog", 200, 0, SW_SHOWNORMAL, main, WS_POPUP | WS_CAPTION), "is Pentrax's own"},
      {"a control", Create(L"Control", 200, 0, SW_SHOWNORMAL, main, WS_CHILD), "is a part of another window"},
      {"a pop-up", Create(L"Pop-up", 200, 0, SW_SHOWNORMAL, main, WS_POPUP), "is neither an ordinary window nor a dialog"},
      {"a tool window", Create(L"Tool", 200, WS_EX_TOOLWINDOW), "is neither an ordinary window nor a dialog"},
      {"hidden", Create(L"Hidden", 200, 0, SW_HIDE), "is not shown"},
      {"untitled", Create(L""), "has no title"},
  };
  // clang-format on
  for (const auto& row : rows) {
    EXPECT_EQ(wm.WhyNotListed(H(row.window)), row.why) << row.what;
    EXPECT_TRUE(wm.IsOwnProcessWindow(H(row.window))) << row.what;
  }
  DestroyWindow(main);
}

}  // namespace
}  // namespace pentrax
