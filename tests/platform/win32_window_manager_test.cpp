// The Win32 backend against real Win32 windows. Cross-built, it runs under
// Wine on the virtual desktop of scripts/with-x-session.sh (1280 x 1024 with a
// 28-pixel dock at the bottom, so the work area starts at the origin: Wine
// gives normal rectangles in screen coordinates where Windows gives them in
// work-area coordinates, and the two agree only there).
//
// Wine lets SetWindowPlacement act only on the calling process's windows, so
// the windows here belong to a second thread of the test, which pumps their
// messages as any program would.
#include "win32_window_manager.h"

#include <gtest/gtest.h>
#include <windows.h>
// <windows.h> renames GetWindowText to GetWindowTextA; the operation of
// the interface keeps its name.
#undef GetWindowText

#include <future>
#include <string>
#include <thread>

#include "actions.h"

namespace pentrax {
namespace {

WindowHandle H(HWND hwnd) {
  return static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(hwnd));
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// A top-level window on a thread of its own, with its message loop.
class TestWindow {
 public:
  TestWindow(const char* title, RECT r) {
    std::promise<HWND> created;
    auto ready = created.get_future();
    thread_ = std::thread([&created, title, r] {
      static const ATOM atom = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PentraxTestWindow";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        return RegisterClassA(&wc);
      }();
      (void)atom;
      HWND hwnd =
          CreateWindowExA(0, "PentraxTestWindow", title, WS_OVERLAPPEDWINDOW,
                          r.left, r.top, r.right - r.left, r.bottom - r.top,
                          nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
      ShowWindow(hwnd, SW_SHOWNORMAL);
      UpdateWindow(hwnd);
      created.set_value(hwnd);
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    });
    hwnd = ready.get();
  }

  ~TestWindow() { Destroy(); }

  void Destroy() {
    if (thread_.joinable()) {
      PostMessageA(hwnd, WM_CLOSE, 0, 0);
      thread_.join();
    }
  }

  HWND hwnd = nullptr;

 private:
  std::thread thread_;
};

Rect WindowRect(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right, r.bottom};
}

WindowPlacement Placement(std::int32_t show, Rect r) {
  WindowPlacement p;
  p.showCmd = show;
  p.rcNormalPosition = r;
  return p;
}

// Lets the window threads and the window manager catch up.
void Settle() { Sleep(150); }

// The tests' windows belong to their own process (Wine lets
// SetWindowPlacement act only on those); to the actions they stand for other
// programs' windows.
struct OthersWindowManager : Win32WindowManager {
  bool IsOwnProcessWindow(WindowHandle) override { return false; }
};

class Win32Test : public ::testing::Test {
 protected:
  OthersWindowManager wm;
  ResizedWindowLedger ledger;
  WindowHandle target = 0;
  // Not a window of this process: the tests' own "main window" handle.
  static constexpr WindowHandle kOwn = 1;

  bool Foreground(HWND hwnd) {
    for (int i = 0; i < 40; ++i) {
      SetForegroundWindow(hwnd);
      if (wm.GetForegroundWindow() == H(hwnd)) {
        return true;
      }
      Sleep(50);
    }
    return false;
  }
};

TEST_F(Win32Test, WorkAreaIsTheScreenLessTheTaskBar) {
  Rect area;
  ASSERT_TRUE(wm.GetWorkArea(0, area));
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetMonitorInfoA(
      MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
  EXPECT_EQ(area, (Rect{info.rcWork.left, info.rcWork.top, info.rcWork.right,
                        info.rcWork.bottom}));
  EXPECT_EQ(area.left, 0);
  EXPECT_EQ(area.top, 0);
  EXPECT_LT(area.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(Win32Test, SizesAndReadsBack) {
  TestWindow w("Sized", {100, 100, 500, 400});
  Settle();
  WindowPlacement p;
  ASSERT_EQ(wm.GetWindowPlacement(H(w.hwnd), p), 1);
  EXPECT_EQ(p.showCmd, SW_SHOWNORMAL);
  EXPECT_EQ(p.rcNormalPosition, WindowRect(w.hwnd));
  EXPECT_TRUE(Win32WindowManager().IsOwnProcessWindow(H(w.hwnd)));
  EXPECT_FALSE(Win32WindowManager().IsOwnProcessWindow(
      H(GetShellWindow() ? GetShellWindow() : GetDesktopWindow())));

  const Rect asked{50, 60, 50 + 646, 60 + 458};
  EXPECT_EQ(wm.SetWindowPlacement(H(w.hwnd), Placement(SW_RESTORE, asked)), 1);
  Settle();
  EXPECT_EQ(WindowRect(w.hwnd), asked);
  ASSERT_EQ(wm.GetWindowPlacement(H(w.hwnd), p), 1);
  EXPECT_EQ(p.rcNormalPosition, asked);
}

TEST_F(Win32Test, ForegroundWindowAndTheSizeActionOnIt) {
  TestWindow w("Picked", {200, 100, 600, 400});
  ASSERT_TRUE(Foreground(w.hwnd));
  SizeChoices choices;
  choices.fields = {"0", "0", "3", "28"};
  choices.chkBorder = 1;
  choices.chkTask = 1;
  const auto report =
      SizeAction({wm, kOwn, ledger, target}, choices, 1280, 1024);
  ASSERT_TRUE(report);
  EXPECT_EQ(*report, "Picked\r\nresized to 646 x 458");
  Settle();
  EXPECT_EQ(WindowRect(w.hwnd), (Rect{200, 100, 846, 558}));
  EXPECT_EQ(RestoreAction({wm, kOwn, ledger, target}),
            "Picked\r\nrestored its original size");
  Settle();
  EXPECT_EQ(WindowRect(w.hwnd), (Rect{200, 100, 600, 400}));
}

TEST_F(Win32Test, MaximisedWindowKeepsItsNormalRectangleAndComesBackMaximised) {
  TestWindow w("Maxed", {120, 80, 520, 380});
  ShowWindow(w.hwnd, SW_MAXIMIZE);
  Settle();
  ASSERT_TRUE(IsZoomed(w.hwnd));
  WindowPlacement p;
  ASSERT_EQ(wm.GetWindowPlacement(H(w.hwnd), p), 1);
  EXPECT_EQ(p.showCmd, SW_SHOWMAXIMIZED);
  EXPECT_EQ(p.rcNormalPosition, (Rect{120, 80, 520, 380}));

  ASSERT_TRUE(Foreground(w.hwnd));
  SizeChoices choices;
  choices.fields = {"0", "0", "3", "28"};
  ASSERT_TRUE(SizeAction({wm, kOwn, ledger, target}, choices, 1280, 1024));
  Settle();
  EXPECT_FALSE(IsZoomed(w.hwnd));
  EXPECT_EQ(WindowRect(w.hwnd), (Rect{120, 80, 760, 560}));

  EXPECT_EQ(RestoreAction({wm, kOwn, ledger, target}),
            "Maxed\r\nrestored its original size");
  Settle();
  EXPECT_TRUE(IsZoomed(w.hwnd));
  ASSERT_EQ(wm.GetWindowPlacement(H(w.hwnd), p), 1);
  EXPECT_EQ(p.rcNormalPosition, (Rect{120, 80, 520, 380}));
}

TEST_F(Win32Test, TitleComesInUtf8CutOnACharacterBoundary) {
  TestWindow w("", {100, 100, 400, 300});
  ASSERT_TRUE(SetWindowTextW(w.hwnd, L"Caf\u00E9 \u00B1"));
  std::string buffer(256, ' ');
  EXPECT_EQ(wm.GetWindowText(H(w.hwnd), buffer.data(), 256), 8);
  EXPECT_EQ(buffer.substr(0, 9), std::string("Caf\xC3\xA9 \xC2\xB1\0", 9));
  EXPECT_EQ(buffer[9], ' ');  // the rest of the buffer keeps its blanks
  // Four bytes would end inside the two of the e with its accent.
  EXPECT_EQ(wm.GetWindowText(H(w.hwnd), buffer.data(), 5), 3);
  EXPECT_EQ(buffer.substr(0, 4), std::string("Caf\0", 4));
}

TEST_F(Win32Test, ADestroyedWindowFailsCleanly) {
  TestWindow w("Gone", {100, 100, 400, 300});
  const WindowHandle h = H(w.hwnd);
  const std::string identity = wm.WindowIdentity(h);
  EXPECT_NE(identity, "");
  w.Destroy();
  WindowPlacement p;
  EXPECT_EQ(wm.GetWindowPlacement(h, p), 0);
  EXPECT_EQ(wm.SetWindowPlacement(h, Placement(SW_RESTORE, {0, 0, 99, 99})), 0);
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(wm.GetWindowText(h, buffer, 8), 0);
  EXPECT_EQ(wm.WindowIdentity(h), "");
}

}  // namespace
}  // namespace pentrax
