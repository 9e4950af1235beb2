// Looks at the main window of another Wine process from outside, as a test
// must: every control's text, check state, enabled state and centre, read
// from the controls themselves (WM_GETTEXT and BM_GETCHECK are sent across
// processes), and the rectangle of any top-level window; or shows a window
// of its own for Pentrax to size, as another program.
//
//   probe controls TITLE [NAME STATE]
//     one line per control: "NAME CX CY CHECK ENABLED TEXT", CX CY its centre
//     in screen pixels, CHECK 0/1/2 or - for controls without one, ENABLED
//     0/1, line breaks in TEXT as "|"; option buttons are named with their
//     index (optRes7). With NAME and STATE, first waits until that control's
//     "CHECK ENABLED TEXT" begins with STATE.
//   probe window TITLE        "LEFT TOP RIGHT BOTTOM ZOOMED"
//   probe text TITLE          the texts of its child windows (a message
//                             box's text and button), one a line
//   probe target TITLE X Y W H [MAX_W MAX_H]   a window to be sized, shown
//                             until killed, at most MAX_W x MAX_H when given
//   probe hung TITLE X Y W H  the same, one that never takes a message
//   probe ids TITLE           "WINDOW CONTROL DESKTOP TASKBAR SESSION": the
//                             handles of the window, its first control,
//                             Windows' desktop and task bar; the session id
// Waits at most 20 s for the window and the state; exits 1 when they do not
// come.
#include <windows.h>
// (After <windows.h>, which it needs.)
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "wide_text.h"
#include "win32_form_view.h"

namespace {

using namespace pentrax;
using namespace pentrax::ui;

constexpr DWORD kDeadlineMs = 20000;

HWND FindTopLevel(const wchar_t* title) {
  const DWORD start = GetTickCount();
  HWND window = nullptr;
  // Shown: its controls are all there.
  while (((window = FindWindowW(nullptr, title)) == nullptr ||
          !IsWindowVisible(window)) &&
         GetTickCount() - start < kDeadlineMs) {
    Sleep(50);
  }
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

std::string Text(HWND control) {
  std::wstring text(4096, L'\0');
  DWORD_PTR length = 0;
  SendMessageTimeoutW(control, WM_GETTEXT, text.size(),
                      reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                      2000, &length);
  text.resize(length);
  std::string utf8 = Utf8(text);
  for (char& c : utf8) c = c == '\r' ? '\0' : c == '\n' ? '|' : c;
  std::erase(utf8, '\0');
  return utf8;
}

std::string Name(const ControlLayout& row) {
  return std::string(row.name) +
         (row.index >= 0 ? std::to_string(row.index) : std::string());
}

// "CHECK ENABLED TEXT" of a control.
std::string State(const ControlLayout& row, HWND control) {
  DWORD_PTR check = 0;
  SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000,
                      &check);
  const bool checkable = row.kind == ControlKind::kOption ||
                         row.kind == ControlKind::kCheckBox ||
                         row.kind == ControlKind::kPushCheckBox;
  return (checkable ? std::to_string(check) : "-") +
         (IsWindowEnabled(control) ? " 1 " : " 0 ") + Text(control);
}

// Waits until the named control's state begins with state.
bool WaitForState(HWND window, const std::string& name,
                  const std::string& state) {
  const DWORD start = GetTickCount();
  for (const ControlLayout& row : kLayout) {
    if (Name(row) == name) {
      while (State(row, GetDlgItem(window, ItemId(row.id))).rfind(state, 0) !=
             0) {
        if (GetTickCount() - start > kDeadlineMs) return false;
        Sleep(50);
      }
      return true;
    }
  }
  return false;
}

void PrintControls(HWND window) {
  for (const ControlLayout& row : kLayout) {
    HWND control = GetDlgItem(window, ItemId(row.id));
    RECT r = {};
    GetWindowRect(control, &r);
    std::printf("%s %ld %ld %s\n", Name(row).c_str(), (r.left + r.right) / 2,
                (r.top + r.bottom) / 2, State(row, control).c_str());
  }
}

POINT maxSize;  // of the target's window; 0 x 0: none

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_GETMINMAXINFO && maxSize.x > 0) {
    reinterpret_cast<MINMAXINFO*>(l)->ptMaxTrackSize = maxSize;
  }
  return DefWindowProcW(window, message, w, l);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string command = argv[1];
  // The title as it was given, whatever the code page can hold.
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  const std::wstring title = count > 2 ? wide[2] : Wide(argv[2]);
  if (command == "target" || command == "hung") {
    const auto n = [&](int i) { return i < argc ? std::atoi(argv[i]) : 0; };
    maxSize = {n(7), n(8)};
    WNDCLASSW type = {};
    type.lpfnWndProc = TargetProc;
    type.lpszClassName = L"PentraxTestTarget";
    RegisterClassW(&type);
    CreateWindowExW(0, type.lpszClassName, title.c_str(),
                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, n(3), n(4), n(5), n(6),
                    nullptr, nullptr, nullptr, nullptr);
    if (command == "hung") Sleep(INFINITE);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
  }
  HWND window = FindTopLevel(title.c_str());
  if (window == nullptr) {
    std::printf("no window \"%s\"\n", argv[2]);
    return 1;
  }
  if (command == "controls") {
    const bool read = argc != 5 || WaitForState(window, argv[3], argv[4]);
    PrintControls(window);
    if (!read) std::printf("%s never read \"%s\"\n", argv[3], argv[4]);
    return read ? 0 : 1;
  }
  if (command == "ids") {
    const auto n = [](HWND w) {
      return static_cast<long long>(reinterpret_cast<std::intptr_t>(w));
    };
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    std::printf("%lld %lld %lld %lld %lu\n", n(window),
                n(GetWindow(window, GW_CHILD)), n(GetDesktopWindow()),
                n(FindWindowW(L"Shell_TrayWnd", nullptr)), session);
    return 0;
  }
  if (command == "text") {
    EnumChildWindows(
        window,
        [](HWND child, LPARAM) {
          std::printf("%s\n", Text(child).c_str());
          return TRUE;
        },
        0);
    return 0;
  }
  RECT r = {};
  GetWindowRect(window, &r);
  std::printf("%ld %ld %ld %ld %d\n", r.left, r.top, r.right, r.bottom,
              IsZoomed(window) ? 1 : 0);
  return 0;
}
