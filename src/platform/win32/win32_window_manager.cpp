#include "win32_window_manager.h"

#include <windows.h>
// <windows.h> renames GetWindowText to GetWindowTextA; the operation of
// the interface keeps its name.
#undef GetWindowText

#include <cstdint>
#include <string>

#include "utf8_cut.h"
#include "wide_text.h"

namespace pentrax {
namespace {

HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(window));
}

WindowHandle ToHandle(HWND hwnd) {
  return static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(hwnd));
}

Rect FromRect(const RECT& r) {
  return {static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
          static_cast<std::int32_t>(r.right),
          static_cast<std::int32_t>(r.bottom)};
}

// Normal rectangles are in workspace coordinates for top-level windows
// without WS_EX_TOOLWINDOW, in screen coordinates for the others; this is
// the offset from the first to the second. WINDOWPLACEMENT's documentation
// defines workspace coordinates by the task bars and application bars
// without saying which monitor's count. Pentrax takes the bars at the left
// and top of one monitor, the one the rectangle is on: a rectangle inside
// the work area GetWorkArea gives for a monitor lies within that monitor,
// so it goes back to the screen with that monitor's bars, and a restored
// window with those of the monitor it was on when its placement was read,
// even when it has moved to another since. (Wine gives normal rectangles in
// screen coordinates: there the two agree only on monitors without a bar at
// the left or top.)
POINT WorkspaceOffset(HWND hwnd, const MONITORINFO& info) {
  if ((::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0) {
    return {0, 0};
  }
  return {info.rcWork.left - info.rcMonitor.left,
          info.rcWork.top - info.rcMonitor.top};
}

}  // namespace

WindowHandle Win32WindowManager::GetForegroundWindow() {
  return ToHandle(::GetForegroundWindow());
}

int Win32WindowManager::GetWindowPlacement(WindowHandle window,
                                           WindowPlacement& placement) {
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof wp;
  if (!::GetWindowPlacement(ToHwnd(window), &wp)) {
    return 0;
  }
  placement.length = kPlacementLength;
  placement.flags = wp.flags;
  placement.showCmd = static_cast<std::int32_t>(wp.showCmd);
  placement.ptMinPosition = {wp.ptMinPosition.x, wp.ptMinPosition.y};
  placement.ptMaxPosition = {wp.ptMaxPosition.x, wp.ptMaxPosition.y};
  placement.rcNormalPosition = FromRect(wp.rcNormalPosition);
  return 1;
}

int Win32WindowManager::SetWindowPlacement(WindowHandle window,
                                           const WindowPlacement& placement) {
  // Not SetWindowPlacement: Wine carries it out only on the calling
  // process's own windows. These calls act on other programs' windows under
  // Windows and Wine alike. Each step is checked (SetWindowPos by its
  // result, ShowWindow, whose result tells only whether the window was
  // visible, by the state it leaves): a window that is gone or one that
  // refuses Pentrax (a program running with higher rights) is not placed.
  const HWND hwnd = ToHwnd(window);
  // Out of the maximised or minimised state first, so that the rectangle is
  // the window's normal one; a window minimised from maximised comes back
  // maximised and needs a second step.
  for (int step = 0; step < 2 && (::IsIconic(hwnd) || ::IsZoomed(hwnd));
       ++step) {
    ::ShowWindow(hwnd, SW_RESTORE);
  }
  if (::IsIconic(hwnd) || ::IsZoomed(hwnd)) {
    return 0;
  }
  // From workspace to screen coordinates.
  const Rect& r = placement.rcNormalPosition;
  RECT rect = {r.left, r.top, r.right, r.bottom};
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST),
                        &info)) {
    const POINT offset = WorkspaceOffset(hwnd, info);
    ::OffsetRect(&rect, offset.x, offset.y);
  }
  if (!::SetWindowPos(hwnd, nullptr, rect.left, rect.top,
                      rect.right - rect.left, rect.bottom - rect.top,
                      SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE)) {
    return 0;
  }
  switch (placement.showCmd) {
    case kShowMaximized:
      ::ShowWindow(hwnd, SW_MAXIMIZE);
      return ::IsZoomed(hwnd) ? 1 : 0;
    case kShowMinimized:
      ::ShowWindow(hwnd, SW_MINIMIZE);
      return ::IsIconic(hwnd) ? 1 : 0;
    default:
      return 1;
  }
}

int Win32WindowManager::GetWindowText(WindowHandle window, char* buffer,
                                      int maxCount) {
  return CopyTitle(Utf8(WindowText(ToHwnd(window))), buffer, maxCount);
}

// A rectangle of the monitor that holds the larger part of the window (for
// no window, the primary one), in the window's workspace coordinates.
static bool MonitorRect(WindowHandle window, RECT MONITORINFO::*which,
                        Rect& rect) {
  const HMONITOR monitor =
      window > 0 ? ::MonitorFromWindow(ToHwnd(window), MONITOR_DEFAULTTOPRIMARY)
                 : ::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(monitor, &info)) {
    return false;
  }
  RECT r = info.*which;
  const POINT offset = WorkspaceOffset(ToHwnd(window), info);
  ::OffsetRect(&r, -offset.x, -offset.y);
  rect = FromRect(r);
  return true;
}

bool Win32WindowManager::GetWorkArea(WindowHandle window, Rect& workArea) {
  return MonitorRect(window, &MONITORINFO::rcWork, workArea);
}

bool Win32WindowManager::GetMonitor(WindowHandle window, Rect& monitor) {
  return MonitorRect(window, &MONITORINFO::rcMonitor, monitor);
}

std::optional<Insets> Win32WindowManager::GetFrameInsets(WindowHandle window) {
  const HWND hwnd = ToHwnd(window);
  RECT outer = {}, client = {};
  POINT origin = {0, 0};
  if (!::GetWindowRect(hwnd, &outer) || !::GetClientRect(hwnd, &client) ||
      !::ClientToScreen(hwnd, &origin)) {
    return std::nullopt;
  }
  return Insets{origin.x - outer.left, origin.y - outer.top,
                outer.right - (origin.x + client.right),
                outer.bottom - (origin.y + client.bottom)};
}

std::vector<WindowHandle> Win32WindowManager::ListWindows() {
  // Visible top-level windows with a title that Windows shows in the task
  // bar: not tool windows, not owned ones (dialogs of a window listed).
  std::vector<WindowHandle> windows;
  ::EnumWindows(
      [](HWND hwnd, LPARAM list) -> BOOL {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        if (::IsWindowVisible(hwnd) && ::GetWindow(hwnd, GW_OWNER) == nullptr &&
            (exStyle & WS_EX_TOOLWINDOW) == 0 &&
            ::GetWindowTextLengthW(hwnd) > 0 &&
            pid != ::GetCurrentProcessId()) {
          reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(
              ToHandle(hwnd));
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  // EnumWindows goes from the top down: the topmost last, as elsewhere.
  return {windows.rbegin(), windows.rend()};
}

std::string Win32WindowManager::WindowIdentity(WindowHandle window) {
  const HWND hwnd = ToHwnd(window);
  DWORD pid = 0;
  if (::GetWindowThreadProcessId(hwnd, &pid) == 0) {
    return {};
  }
  char className[256] = {};
  const int n = ::GetClassNameA(hwnd, className, sizeof className);
  return "pid " + std::to_string(pid) + ", class " +
         std::string(className, n > 0 ? static_cast<std::size_t>(n) : 0);
}

bool Win32WindowManager::IsOwnProcessWindow(WindowHandle window) {
  DWORD pid = 0;
  return ::GetWindowThreadProcessId(ToHwnd(window), &pid) != 0 &&
         pid == ::GetCurrentProcessId();
}

}  // namespace pentrax
