#include "win32_window_manager.h"

#include <windows.h>
// <windows.h> renames GetWindowText to GetWindowTextA; the operation of
// the interface keeps its name.
#undef GetWindowText
#include <dwmapi.h>
#include <shellscalingapi.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "frame.h"
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

// A function of a system DLL that not every Windows has, loaded from the
// system folder alone (never from the program's): null where there is none.
template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
  const HMODULE module =
      ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module == nullptr
             ? nullptr
             : reinterpret_cast<Function>(reinterpret_cast<void (*)()>(
                   ::GetProcAddress(module, name)));
}

// DWM's answer about a window (Windows Vista and later, with composition):
// false where it gives none.
bool DwmAttribute(HWND hwnd, DWORD attribute, void* value, DWORD size) {
  using Get = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
  static const Get get =
      SystemFunction<Get>(L"dwmapi.dll", "DwmGetWindowAttribute");
  return get != nullptr && SUCCEEDED(get(hwnd, attribute, value, size));
}

// The DPI of a monitor (Windows 8.1 and later); 0 where Windows does not
// tell it.
std::uint32_t MonitorDpi(HMONITOR monitor) {
  using Get = HRESULT(WINAPI*)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);
  static const Get get = SystemFunction<Get>(L"shcore.dll", "GetDpiForMonitor");
  UINT x = 0, y = 0;
  return get != nullptr && SUCCEEDED(get(monitor, MDT_EFFECTIVE_DPI, &x, &y))
             ? x
             : 0;
}

// The window's rectangle on the screen, and in `borders` its invisible
// borders (frame.h). A maximised or minimised window's borders count as
// none, since those of its normal state cannot be read then: its placement
// is read, and a maximised or minimised placement put back, as the window's
// rectangle, so that a restore gives back exactly what was read.
bool WindowRect(HWND hwnd, Rect& window, Insets& borders) {
  RECT r = {}, visible = {};
  if (!::GetWindowRect(hwnd, &r)) {
    return false;
  }
  window = FromRect(r);
  borders = {};
  if (!::IsZoomed(hwnd) && !::IsIconic(hwnd) &&
      DwmAttribute(hwnd, DWMWA_EXTENDED_FRAME_BOUNDS, &visible,
                   sizeof visible)) {
    borders = win32::InvisibleBorders(window, FromRect(visible));
  }
  return true;
}

// The width or height SetWindowPos takes for two edges.
int Extent(std::int32_t from, std::int32_t to) {
  return static_cast<int>(
      std::min<std::int64_t>(std::int64_t{to} - from, INT32_MAX));
}

// Whether the window's thread takes messages: one that does not (hung, or
// stopped in a debugger) would hold Pentrax in every call that acts on the
// window. Windows counts a thread that has not taken its messages for 5 s
// as hung, and answers for it at once.
bool Answers(HWND hwnd) {
  constexpr UINT kAnswerMs = 2000;
  return !::IsHungAppWindow(hwnd) &&
         ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs,
                               nullptr) != 0;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t name[256] = {};
  return {name, static_cast<std::size_t>(
                    std::max(0, ::GetClassNameW(hwnd, name, 256)))};
}

// The file name of a process's program, without its folder and extension,
// in lower case; empty when it cannot be read.
std::wstring ProgramName(DWORD pid) {
  std::wstring path(32768, L'\0');  // the longest path Windows has
  auto size = static_cast<DWORD>(path.size());
  const HANDLE process =
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  const bool read = process != nullptr && ::QueryFullProcessImageNameW(
                                              process, 0, path.data(), &size);
  if (process != nullptr) {
    ::CloseHandle(process);
  }
  path.resize(read ? size : 0);
  path.erase(0, path.find_last_of(L"\\/") + 1);
  path.erase(std::min(path.size(), path.find_last_of(L'.')));
  ::CharLowerBuffW(path.data(), static_cast<DWORD>(path.size()));
  return path;
}

// Whether the window is of a Pentrax process: this one, or one that runs a
// program of this one's name from any folder (Pentrax2.exe, or the console
// program Pentrax2.com beside it).
bool IsPentraxWindow(HWND hwnd) {
  DWORD pid = 0;
  if (::GetWindowThreadProcessId(hwnd, &pid) == 0) {
    return false;
  }
  static const std::wstring pentrax = ProgramName(::GetCurrentProcessId());
  return pid == ::GetCurrentProcessId() ||
         (!pentrax.empty() && ProgramName(pid) == pentrax);
}

// Why Pentrax does not act on the window, or empty for one it lists: a
// top-level window of another program than Pentrax, shown, with a title,
// either as the task bar shows windows (not owned by another, not a tool
// window) or a dialog (owned, with a title bar). The checks that ask the
// window's process come last.
std::string NotListedBecause(HWND hwnd) {
  if (!::IsWindow(hwnd)) {
    return "is not a window";
  }
  const std::wstring type = ClassName(hwnd);
  if (hwnd == ::GetDesktopWindow() || hwnd == ::GetShellWindow() ||
      type == L"Progman" || type == L"WorkerW") {
    return "is the desktop";
  }
  if (type == L"Shell_TrayWnd" || type == L"Shell_SecondaryTrayWnd") {
    return "is the task bar";
  }
  if (::GetAncestor(hwnd, GA_ROOT) != hwnd) {
    return "is a part of another window";
  }
  // Cloaked (hidden through DWM) by its program or its owner; one that the
  // shell cloaks, on another virtual desktop, counts as shown.
  DWORD cloaked = 0;
  if (!::IsWindowVisible(hwnd) ||
      (DwmAttribute(hwnd, DWMWA_CLOAKED, &cloaked, sizeof cloaked) &&
       (cloaked & (DWM_CLOAKED_APP | DWM_CLOAKED_INHERITED)) != 0)) {
    return "is not shown";
  }
  wchar_t title[2] = {};
  if (::GetWindowTextW(hwnd, title, 2) == 0) {
    return "has no title";
  }
  const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
  const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  if (::GetWindow(hwnd, GW_OWNER) != nullptr
          ? (style & WS_CAPTION) != WS_CAPTION
          : (exStyle & WS_EX_TOOLWINDOW) != 0) {
    return "is neither an ordinary window nor a dialog";
  }
  return IsPentraxWindow(hwnd) ? "is Pentrax's own" : "";
}

}  // namespace

WindowHandle Win32WindowManager::GetForegroundWindow() {
  hung_ = false;
  return ToHandle(::GetForegroundWindow());
}

int Win32WindowManager::GetWindowPlacement(WindowHandle window,
                                           WindowPlacement& placement) {
  hung_ = false;
  const HWND hwnd = ToHwnd(window);
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof wp;
  Rect outer;
  Insets borders;
  if (!::GetWindowPlacement(hwnd, &wp) || !WindowRect(hwnd, outer, borders)) {
    return 0;
  }
  placement.length = kPlacementLength;
  placement.flags = wp.flags;
  placement.showCmd = static_cast<std::int32_t>(wp.showCmd);
  placement.ptMinPosition = {wp.ptMinPosition.x, wp.ptMinPosition.y};
  placement.ptMaxPosition = {wp.ptMaxPosition.x, wp.ptMaxPosition.y};
  placement.rcNormalPosition =
      win32::VisibleFrame(FromRect(wp.rcNormalPosition), borders);
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
  // Each waits for the window's thread: one that does not answer is left
  // alone and said.
  const HWND hwnd = ToHwnd(window);
  if (!Answers(hwnd)) {
    hung_ = ::IsWindow(hwnd) != 0;
    return 0;
  }
  hung_ = false;
  // Out of the maximised or minimised state first, so that the rectangle is
  // the window's normal one; a window minimised from maximised comes back
  // maximised and needs a second step.
  for (int step = 0; step < 2 && (::IsIconic(hwnd) || ::IsZoomed(hwnd));
       ++step) {
    ::ShowWindow(hwnd, SW_RESTORE);
  }
  Rect now;
  Insets borders;
  if (::IsIconic(hwnd) || ::IsZoomed(hwnd) || !WindowRect(hwnd, now, borders)) {
    return 0;
  }
  // The visible frame asked, from workspace to screen coordinates, with the
  // borders the window has in its normal state, at the DPI of the monitor
  // it is put on; none for a maximised or minimised placement (see
  // WindowRect).
  const Rect& r = placement.rcNormalPosition;
  const RECT asked = {r.left, r.top, r.right, r.bottom};
  const HMONITOR monitor = ::MonitorFromRect(&asked, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  POINT offset = {0, 0};
  if (::GetMonitorInfoW(monitor, &info)) {
    offset = WorkspaceOffset(hwnd, info);
  }
  borders =
      placement.showCmd == kShowMaximized || placement.showCmd == kShowMinimized
          ? Insets{}
          : win32::BordersAtDpi(
                borders,
                MonitorDpi(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST)),
                MonitorDpi(monitor));
  const Rect rect = win32::ScreenWindowRect(r, {offset.x, offset.y}, borders);
  if (!::SetWindowPos(hwnd, nullptr, rect.left, rect.top,
                      Extent(rect.left, rect.right),
                      Extent(rect.top, rect.bottom),
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
  Rect outer;
  Insets borders;
  RECT client = {};
  POINT origin = {0, 0};
  if (!WindowRect(hwnd, outer, borders) || !::GetClientRect(hwnd, &client) ||
      !::ClientToScreen(hwnd, &origin)) {
    return std::nullopt;
  }
  const Rect frame = win32::VisibleFrame(outer, borders);
  return Insets{origin.x - frame.left, origin.y - frame.top,
                frame.right - (origin.x + client.right),
                frame.bottom - (origin.y + client.bottom)};
}

std::vector<WindowHandle> Win32WindowManager::ListWindows() {
  std::vector<WindowHandle> windows;
  ::EnumWindows(
      [](HWND hwnd, LPARAM list) -> BOOL {
        if (NotListedBecause(hwnd).empty()) {
          reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(
              ToHandle(hwnd));
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  // EnumWindows goes from the top down: the topmost last, as elsewhere.
  return {windows.rbegin(), windows.rend()};
}

std::string Win32WindowManager::WhyNotListed(WindowHandle window) {
  const HWND hwnd = ToHwnd(window);
  return ::IsWindow(hwnd) ? NotListedBecause(hwnd) : "";
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
  return IsPentraxWindow(ToHwnd(window));
}

}  // namespace pentrax
