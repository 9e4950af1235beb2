// Reads the main window of another Wine process from outside (messages sent
// across processes), or shows a window to be sized, as another program.
// Waits at most 20 s for the window (and the state), or exits 1.
//   controls TITLE [NAME STATE]  "NAME CX CY CHECK ENABLED TEXT" a control
//     (centre on the screen; CHECK 0/1/2 or -; "|" for a line break; options
//     named with their index, optRes7); with NAME, once that control's
//     "CHECK ENABLED TEXT" begins with STATE
//   window TITLE  "LEFT TOP RIGHT BOTTOM ZOOMED"
//   text TITLE    the texts of its child windows, one a line
//   target|hung TITLE X Y W H [MAX_W MAX_H]  a window shown until killed
//     (hung: one that takes no message)
//   ids TITLE     "WINDOW CONTROL DESKTOP TASKBAR SESSION"
#include <windows.h>
// (After <windows.h>, which it needs.)
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "wide_text.h"
#include "win32_form_view.h"

namespace {

using namespace pentrax;
using namespace pentrax::ui;

bool Within20s(const std::function<bool()>& done) {
  for (const DWORD start = GetTickCount(); !done(); Sleep(50)) {
    if (GetTickCount() - start > 20000) return false;
  }
  return true;
}

std::string Text(HWND control) {
  std::wstring text(4096, L'\0');
  DWORD_PTR length = 0;
  SendMessageTimeoutW(control, WM_GETTEXT, text.size(),
                      reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                      2000, &length);
  text.resize(length);
  std::string utf8 = Utf8(text);
  std::erase(utf8, '\r');
  std::ranges::replace(utf8, '\n', '|');
  return utf8;
}

std::string Name(const ControlLayout& row) {
  return std::string(row.name) +
         (row.index >= 0 ? std::to_string(row.index) : "");
}

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
  // (As it was given, whatever the code page can hold.)
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  const std::wstring title = count > 2 ? wide[2] : Wide(argv[2]);
  const auto n = [&](int i) { return i < argc ? std::atoi(argv[i]) : 0; };
  if (command == "target" || command == "hung") {
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
  HWND window = nullptr;  // shown: its controls are all there
  if (!Within20s([&] {
        window = FindWindowW(nullptr, title.c_str());
        return window != nullptr && IsWindowVisible(window);
      })) {
    std::printf("no window \"%s\"\n", argv[2]);
    return 1;
  }
  if (command == "controls") {
    bool read = argc != 5;
    for (const ControlLayout& row : kLayout) {
      HWND control = GetDlgItem(window, ItemId(row.id));
      read = read || (Name(row) == argv[3] && Within20s([&] {
                        return State(row, control).starts_with(argv[4]);
                      }));
    }
    for (const ControlLayout& row : kLayout) {
      HWND control = GetDlgItem(window, ItemId(row.id));
      RECT r = {};
      GetWindowRect(control, &r);
      std::printf("%s %ld %ld %s\n", Name(row).c_str(), (r.left + r.right) / 2,
                  (r.top + r.bottom) / 2, State(row, control).c_str());
    }
    if (!read) std::printf("%s never read \"%s\"\n", argv[3], argv[4]);
    return read ? 0 : 1;
  }
  const auto id = [](HWND w) {
    return static_cast<long long>(reinterpret_cast<std::intptr_t>(w));
  };
  RECT r = {};
  if (command == "ids") {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    std::printf("%lld %lld %lld %lld %lu\n", id(window),
                id(GetWindow(window, GW_CHILD)), id(GetDesktopWindow()),
                id(FindWindowW(L"Shell_TrayWnd", nullptr)), session);
  } else if (command == "text") {
    EnumChildWindows(
        window,
        [](HWND child, LPARAM) {
          std::printf("%s\n", Text(child).c_str());
          return TRUE;
        },
        0);
  } else if (GetWindowRect(window, &r)) {
    std::printf("%ld %ld %ld %ld %d\n", r.left, r.top, r.right, r.bottom,
                IsZoomed(window) ? 1 : 0);
  }
  return 0;
}
