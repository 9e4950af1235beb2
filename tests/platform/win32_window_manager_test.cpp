// The Win32 backend against real Win32 windows. Cross-built, it runs under
// Wine on the virtual desktop of scripts/with-x-session.sh: 1280 x 1024 with
// a 28-pixel dock at the bottom.
//
// Sizing, restoring and maximised windows are the sizing journey's
// (tests/ui/win32), which drives the Win32 view and model with real clicks;
// here are the work area, the title's way into UTF-8, and a window that is
// gone.
#include "win32_window_manager.h"

#include <gtest/gtest.h>
#include <windows.h>
// <windows.h> renames GetWindowText to GetWindowTextW; the operation of
// the interface keeps its name.
#undef GetWindowText

#include <cstdint>
#include <string>

namespace pentrax {
namespace {

// A top-level window of this thread: its text is read without a message
// loop.
WindowHandle Create(const wchar_t* title) {
  return static_cast<WindowHandle>(
      reinterpret_cast<std::intptr_t>(CreateWindowExW(
          0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
          200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)));
}

TEST(Win32Test, WorkAreaIsTheScreenLessTheDock) {
  Win32WindowManager wm;
  Rect area;
  ASSERT_TRUE(wm.GetWorkArea(0, area));
  EXPECT_EQ(area, (Rect{0, 0, 1280, 996}));
}

TEST(Win32Test, TitleComesInUtf8AndAGoneWindowFailsCleanly) {
  Win32WindowManager wm;
  const WindowHandle h = Create(L"Caf\u00E9 \u00B1");
  char buffer[16];
  EXPECT_EQ(wm.GetWindowText(h, buffer, 16), 8);
  EXPECT_STREQ(buffer, "Caf\xC3\xA9 \xC2\xB1");
  EXPECT_NE(wm.WindowIdentity(h), "");
  EXPECT_TRUE(wm.IsOwnProcessWindow(h));

  DestroyWindow(reinterpret_cast<HWND>(static_cast<std::intptr_t>(h)));
  WindowPlacement p;
  EXPECT_EQ(wm.GetWindowPlacement(h, p), 0);
  p.showCmd = kShowRestore;
  p.rcNormalPosition = {0, 0, 99, 99};
  EXPECT_EQ(wm.SetWindowPlacement(h, p), 0);
  EXPECT_EQ(wm.GetWindowText(h, buffer, 16), 0);
  EXPECT_EQ(wm.WindowIdentity(h), "");
}

}  // namespace
}  // namespace pentrax
