// Windows (under Wine, scripts/test-windows.sh) as a desktop of the
// contract: windows of another program (the probe's target), or of this
// process for Pentrax's own, read and acted on with user32 alone.
#include <windows.h>
// <windows.h> would rename the interface's GetWindowText.
#undef GetWindowText

#include <cstdint>
#include <cstdlib>

#include "contract_desktop.h"
#include "wide_text.h"
#include "win32_window_manager.h"

namespace pentrax::testing {
namespace {

HWND Hwnd(const TestWindow& w) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(w.key));
}

// A rectangle of the primary monitor in workspace coordinates (the
// backend's): the monitor's, its work area's or a window's.
Rect Workspace(const RECT MONITORINFO::*which, const RECT* window = nullptr) {
  MONITORINFO m{};
  m.cbSize = sizeof m;
  GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &m);
  const RECT& r = window != nullptr ? *window : m.*which;
  const LONG x = m.rcWork.left - m.rcMonitor.left;
  const LONG y = m.rcWork.top - m.rcMonitor.top;
  return {r.left - x, r.top - y, r.right - x, r.bottom - y};
}

class Win32Desktop final : public ContractDesktop {
 public:
  Win32Desktop() {
    family = "Win32";
    kinds = {"Win32"};
  }
  std::unique_ptr<WindowManager> Connect() override {
    return std::make_unique<Win32WindowManager>();
  }
  std::optional<TestWindow> Start(const std::string& kind,
                                  const std::string& title,
                                  Role role) override {
    TestWindow w{kind, title, nullptr};
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(self);
    line.replace(line.rfind(L'\\'), std::wstring::npos,
                 L"\\pentrax_probe.exe\" target \"" + Wide(title) +
                     L"\" 200 100 400 300" +
                     (role == Role::kRefusing ? L" 500 400" : L""));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION p{};
    if (role == Role::kOwn) {
      w.program = std::shared_ptr<void>(
          CreateWindowExW(0, L"STATIC", Wide(title).c_str(),
                          WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 100, 400, 300,
                          nullptr, nullptr, nullptr, nullptr),
          DestroyWindow);
    } else if (role <= Role::kRefusing &&
               CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, nullptr, &startup, &p)) {
      CloseHandle(p.hThread);
      w.program = std::shared_ptr<void>(p.hProcess, [](HANDLE process) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
      });
    } else {
      return std::nullopt;
    }
    HWND found = nullptr;
    Eventually(
        [&] {
          found = FindWindowW(nullptr, Wide(title).c_str());
          return found != nullptr && IsWindowVisible(found);
        },
        kAppearsMs);
    w.key = reinterpret_cast<std::intptr_t>(found);
    w.handle = static_cast<WindowHandle>(w.key);
    return found != nullptr ? std::optional(std::move(w)) : std::nullopt;
  }
  std::optional<Reading> Read(const TestWindow& w) override {
    HWND hwnd = Hwnd(w);
    RECT outer, client;
    POINT origin{0, 0};
    if (!w.program || !IsWindow(hwnd) || !GetWindowRect(hwnd, &outer) ||
        !GetClientRect(hwnd, &client) || !ClientToScreen(hwnd, &origin)) {
      return std::nullopt;
    }
    return Reading{Workspace(nullptr, &outer),
                   true,
                   Insets{origin.x - outer.left, origin.y - outer.top,
                          outer.right - origin.x - client.right,
                          outer.bottom - origin.y - client.bottom},
                   std::nullopt,
                   IsIconic(hwnd)   ? kShowMinimized
                   : IsZoomed(hwnd) ? kShowMaximized
                                    : kShowNormal,
                   GetForegroundWindow() == hwnd};
  }
  bool Activate(const TestWindow& w) override {
    SetForegroundWindow(Hwnd(w));
    return true;
  }
  void Make(const TestWindow& w, std::int32_t show) override {
    ShowWindowAsync(Hwnd(w), show == kShowMaximized   ? SW_MAXIMIZE
                             : show == kShowMinimized ? SW_MINIMIZE
                                                      : SW_RESTORE);
  }
  Rect Monitor() override { return Workspace(&MONITORINFO::rcMonitor); }
  Rect WorkArea() override { return Workspace(&MONITORINFO::rcWork); }
};

}  // namespace

std::unique_ptr<ContractDesktop> SessionDesktop() {
  auto d = std::make_unique<Win32Desktop>();
  const char* name = std::getenv("PENTRAX_DESKTOP");
  d->name = name != nullptr ? name : "Win32";
  return d;
}

}  // namespace pentrax::testing
