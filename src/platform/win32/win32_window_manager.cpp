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
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof wp;
  wp.flags = placement.flags;
  wp.showCmd = static_cast<UINT>(placement.showCmd);
  wp.ptMinPosition = {placement.ptMinPosition.x, placement.ptMinPosition.y};
  wp.ptMaxPosition = {placement.ptMaxPosition.x, placement.ptMaxPosition.y};
  const Rect& r = placement.rcNormalPosition;
  wp.rcNormalPosition = {r.left, r.top, r.right, r.bottom};
  return ::SetWindowPlacement(ToHwnd(window), &wp) ? 1 : 0;
}

int Win32WindowManager::GetWindowText(WindowHandle window, char* buffer,
                                      int maxCount) {
  return CopyTitle(Utf8(WindowText(ToHwnd(window))), buffer, maxCount);
}

bool Win32WindowManager::GetWorkArea(WindowHandle window, Rect& workArea) {
  // The monitor that holds the larger part of the window; for no window,
  // the primary one.
  const HMONITOR monitor =
      window > 0 ? ::MonitorFromWindow(ToHwnd(window), MONITOR_DEFAULTTOPRIMARY)
                 : ::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(monitor, &info)) {
    return false;
  }
  // Normal rectangles are in workspace coordinates: screen coordinates less
  // the room the task bars take at the left and top of the window's
  // monitor. Its work area therefore starts at the monitor's own corner.
  const RECT& m = info.rcMonitor;
  const RECT& w = info.rcWork;
  workArea = {static_cast<std::int32_t>(m.left),
              static_cast<std::int32_t>(m.top),
              static_cast<std::int32_t>(m.left + (w.right - w.left)),
              static_cast<std::int32_t>(m.top + (w.bottom - w.top))};
  return true;
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
