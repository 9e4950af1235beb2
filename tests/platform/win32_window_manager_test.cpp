// The Win32 backend against real Win32 windows. Cross-built, it runs under
// Wine on the virtual desktop of scripts/with-x-session.sh: 1280 x 1024 with
// a 28-pixel dock at the bottom, so that the work area starts at the origin
// (Wine gives normal rectangles in screen coordinates where Windows gives
// them in work-area coordinates, and the two agree only there).
//
// The windows are the test's own, on its thread: Wine lets
// SetWindowPlacement act only on the calling process's windows. Every
// outcome is read back with the Windows API itself.
#include "win32_window_manager.h"

#include <gtest/gtest.h>
#include <windows.h>
// <windows.h> renames GetWindowText to GetWindowTextW; the operation of
// the interface keeps its name.
#undef GetWindowText

#include <cstdint>
#include <functional>
#include <string>

#include "actions.h"

namespace pentrax {
namespace {

HWND Create(const wchar_t* title, bool maximized = false) {
  HWND w = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW, 200, 100,
                           400, 300, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  ShowWindow(w, maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  return w;
}
WindowHandle H(HWND w) {
  return static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(w));
}
Rect RectOf(HWND w) {
  RECT r = {};
  GetWindowRect(w, &r);
  return {r.left, r.top, r.right, r.bottom};
}

// Runs this thread's messages (the desktop's answers among them) until the
// condition holds, at most 10 s.
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

// The backend, with the picked window in front standing for another
// program's.
struct Picked final : Win32WindowManager {
  WindowHandle pick = 0;
  WindowHandle GetForegroundWindow() override { return pick; }
  bool IsOwnProcessWindow(WindowHandle) override { return false; }
};

TEST(Win32Test, WorkAreaIsTheScreenLessTheDock) {
  Win32WindowManager wm;
  Rect area;
  ASSERT_TRUE(wm.GetWorkArea(0, area));
  EXPECT_EQ(area, (Rect{0, 0, 1280, 996}));
}

TEST(Win32Test, SizesAndRestoresNormalAndMaximisedWindows) {
  Picked wm;
  ResizedWindowLedger ledger;
  SizeChoices choices;  // 640 x 480, a border of 3 added, a task bar of 28 off
  choices.fields = {"0", "0", "3", "28"};
  choices.chkBorder = choices.chkTask = 1;
  for (const bool maximized : {false, true}) {
    SCOPED_TRACE(maximized);
    HWND w = Create(L"Target", maximized);
    ASSERT_TRUE(Until([&] { return (IsZoomed(w) != 0) == maximized; }));
    wm.pick = H(w);
    const auto sized =
        SizeAction({wm, ledger, wm.GetForegroundWindow()}, choices, 1280, 1024);
    // Taken out of its maximised state, a window can be maximised again for
    // a moment, and the report give that passing size.
    EXPECT_EQ(sized.rfind("Target\r\nresized to ", 0), 0u) << sized;
    EXPECT_TRUE(Until([&] {
      return !IsZoomed(w) && RectOf(w) == Rect{200, 100, 846, 558};
    })) << sized;
    EXPECT_TRUE(maximized || sized == "Target\r\nresized to 646 x 458");
    EXPECT_EQ(RestoreAction({wm, ledger, wm.GetForegroundWindow()}),
              "Target\r\nrestored its original size");
    EXPECT_TRUE(Until([&] {
      return maximized ? IsZoomed(w) != 0
                       : RectOf(w) == Rect{200, 100, 600, 400};
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
  p.showCmd = kShowRestore;
  p.rcNormalPosition = {0, 0, 99, 99};
  EXPECT_EQ(wm.SetWindowPlacement(h, p), 0);
  EXPECT_EQ(wm.GetWindowText(h, buffer, 16), 0);
  EXPECT_EQ(wm.WindowIdentity(h), "");
}

}  // namespace
}  // namespace pentrax
