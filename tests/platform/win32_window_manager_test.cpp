// The Win32 backend against real Win32 windows. Cross-built, it runs under
// Wine on the virtual desktop of scripts/with-x-session.sh (1280 x 1024 with a
// 28-pixel dock at the bottom, so the work area starts at the origin: Wine
// gives normal rectangles in screen coordinates where Windows gives them in
// work-area coordinates, and the two agree only there).
//
// The windows here belong to a second thread of the test, which pumps their
// messages as any program would. Sizing, restoring and maximised windows are
// the sizing journey's (tests/ui/win32), which drives the Win32 view and
// model with real clicks.
#include "win32_window_manager.h"

#include <gtest/gtest.h>
#include <windows.h>
// <windows.h> renames GetWindowText to GetWindowTextA; the operation of
// the interface keeps its name.
#undef GetWindowText

#include <future>
#include <string>
#include <thread>

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

WindowPlacement Placement(std::int32_t show, Rect r) {
  WindowPlacement p;
  p.showCmd = show;
  p.rcNormalPosition = r;
  return p;
}

class Win32Test : public ::testing::Test {
 protected:
  Win32WindowManager wm;
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
  EXPECT_NE(wm.WindowIdentity(h), "");
  EXPECT_TRUE(wm.IsOwnProcessWindow(h));
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
