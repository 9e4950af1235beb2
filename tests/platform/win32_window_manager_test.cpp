// The Win32 backend against real Win32 windows, under Wine on the desktop of
// scripts/test-windows.sh: two monitors of 1280 x 1024 side by side, a dock
// of 28 pixels along the bottom, and task bars at the top (30) and left (50)
// of the second. The windows are the test's own: Wine reads a maximised
// window's normal rectangle right only in-process. Every outcome is read
// back with GetWindowRect, not through the backend.
#include "win32_window_manager.h"

#include <gtest/gtest.h>
#include <windows.h>
// <windows.h> would rename the interface's GetWindowText.
#undef GetWindowText

#include <cstdint>
#include <functional>
#include <string>

namespace pentrax {
namespace {

HWND Create(const wchar_t* title, int left = 200, DWORD exStyle = 0,
            int show = SW_SHOWNORMAL) {
  HWND w = CreateWindowExW(exStyle, L"STATIC", title, WS_OVERLAPPEDWINDOW, left,
                           100, 400, 300, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
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
    if (GetTickCount() - start > 10000) {
      return false;
    }
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return true;
}

TEST(Win32Test, PlacesInWorkspaceCoordinatesOfTheRightMonitor) {
  // Normal rectangles, where they lie on the screen, work areas.
  const Rect first = {100, 50, 746, 508}, area1 = {0, 0, 1280, 996};
  const Rect second = {1400, 100, 2046, 558}, area2 = {1280, 0, 2510, 966};
  const Rect shifted = {1450, 130, 2096, 588}, work2 = {1330, 30, 2560, 996};
  const struct {
    const char* what;
    bool maximised, tool;  // the window before it is placed
    std::int32_t showCmd;
    Rect normal, screen, workArea;
  } rows[] = {
      {"normal", false, false, kShowRestore, first, first, area1},
      {"maximised", true, false, kShowRestore, first, first, area1},
      {"made maximised", false, false, kShowMaximized, first, first, area1},
      {"made minimised", false, false, kShowMinimized, first, first, area1},
      {"second monitor", true, false, kShowNormal, second, shifted, area2},
      {"tool window", false, true, kShowNormal, second, second, work2},
  };
  Win32WindowManager wm;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    HWND w = Create(L"Target", row.normal.left + 100,
                    row.tool ? WS_EX_TOOLWINDOW : 0,
                    row.maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    ASSERT_TRUE(Until([&] { return (IsZoomed(w) != 0) == row.maximised; }));
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

TEST(Win32Test, TitleComesInUtf8AndAGoneWindowFailsCleanly) {
  Win32WindowManager wm;
  HWND w = Create(L"Caf\u00E9 \u00B1");
  const WindowHandle h = H(w);
  char buffer[16];
  EXPECT_EQ(wm.GetWindowText(h, buffer, 16), 8);
  EXPECT_STREQ(buffer, "Caf\xC3\xA9 \xC2\xB1");
  EXPECT_NE(wm.WindowIdentity(h), "");
  EXPECT_TRUE(wm.IsOwnProcessWindow(h));

  DestroyWindow(w);
  WindowPlacement p;
  EXPECT_EQ(wm.GetWindowPlacement(h, p), 0);
  EXPECT_EQ(wm.SetWindowPlacement(h, p), 0);
  EXPECT_EQ(wm.GetWindowText(h, buffer, 16), 0);
  EXPECT_EQ(wm.WindowIdentity(h), "");
}

}  // namespace
}  // namespace pentrax
