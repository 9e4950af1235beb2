#include "win32_form_view.h"

#include <commctrl.h>
#include <imm.h>

#include <cstdint>
#include <string>

#include "controls.h"
#include "resource_ids.h"
#include "wide_text.h"

namespace pentrax::ui {
namespace {

constexpr wchar_t kWindowClass[] = L"Pentrax2MainWindow";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The DPI the window is drawn at: its monitor's, where the system knows
// per-monitor DPI (Windows 10 and later), else the system's.
UINT DpiOf(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow =
      reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(
          GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow != nullptr) {
    if (const UINT dpi = getDpiForWindow(window); dpi > 0) {
      return dpi;
    }
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

Rect FromRect(const RECT& r) {
  return {static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
          static_cast<std::int32_t>(r.right),
          static_cast<std::int32_t>(r.bottom)};
}

Rect MonitorRect(HMONITOR monitor) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  return GetMonitorInfoW(monitor, &info) ? FromRect(info.rcMonitor) : Rect{};
}

HICON LoadIconSized(HINSTANCE instance, int metric) {
  const int size = GetSystemMetrics(metric);
  return static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(PENTRAX_ICON_RESOURCE), IMAGE_ICON,
                 size, size, LR_DEFAULTCOLOR));
}

void DeleteFonts(HFONT windowFont,
                 const std::array<HFONT, kControlCount>& ownFonts) {
  DeleteObject(windowFont);
  for (HFONT font : ownFonts) {
    DeleteObject(font);
  }
}

bool IsNumberBox(const ControlLayout& row) {
  return row.kind == ControlKind::kTextBox && !row.locked;
}

// The control behind a dialog item id, or kControlCount for none of ours
// (IDOK and IDCANCEL, which the dialog keys send, among them).
ControlId ControlOf(std::intptr_t itemId) {
  const std::intptr_t id = itemId - kFirstItemId;
  return id >= 0 && id < kControlCount ? static_cast<ControlId>(id)
                                       : kControlCount;
}

}  // namespace

Win32FormView::Win32FormView(HINSTANCE instance) {
  const INITCOMMONCONTROLSEX classes = {sizeof classes,
                                        ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconSized(instance, SM_CXICON);
  windowClass.hIconSm = LoadIconSized(instance, SM_CXSMICON);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);  // fails harmlessly for a second view

  CreateWindowExW(0, kWindowClass, Wide(kWindowCaption).c_str(), kWindowStyle,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  nullptr, nullptr, instance, this);  // sets window_
  const ControlLayout* previous = nullptr;
  for (const ControlId id : CreationOrder()) {
    const ControlLayout& row = LayoutOf(id);
    const bool inGroup = previous != nullptr &&
                         row.kind == ControlKind::kOption &&
                         previous->kind == ControlKind::kOption &&
                         previous->container == row.container;
    controls_[id] = CreateControl(row, window_, ItemId(id), !inGroup);
    if (IsNumberBox(row)) {
      SetWindowSubclass(controls_[id], NumberBoxProc, 0,
                        reinterpret_cast<DWORD_PTR>(this));
      // Composed input would reach the box without passing the key filter.
      ImmAssociateContext(controls_[id], nullptr);
    }
    if (!row.accessibleName.empty()) {
      names_.Set(controls_[id], row.accessibleName);
    }
    previous = &row;
  }
  Layout(DpiOf(window_));
  AddToolTips();
}

Win32FormView::~Win32FormView() {
  model_ = nullptr;  // it may be gone already
  if (window_ != nullptr) {
    DestroyWindow(window_);
  }
  DeleteFonts(windowFont_, ownFonts_);
}

void Win32FormView::AddToolTips() {
  HWND tips = CreateWindowExW(
      0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
      nullptr, nullptr, nullptr);
  for (const ControlLayout& row : kLayout) {
    if (row.toolTip.empty()) {
      continue;
    }
    std::wstring text = Wide(row.toolTip);
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(controls_[row.id]);
    tool.lpszText = text.data();
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void Win32FormView::Layout(UINT dpi) {
  // The old fonts go once the controls have the new ones.
  const HFONT oldWindowFont = windowFont_;
  const std::array<HFONT, kControlCount> oldOwnFonts = ownFonts_;
  windowFont_ = CreateFontAt({}, dpi);
  for (const ControlLayout& row : kLayout) {
    HFONT& own = ownFonts_[row.id];
    own = row.font.family.empty() ? nullptr : CreateFontAt(row.font, dpi);
    const RECT r = PixelRect(row, dpi);
    SetWindowPos(controls_[row.id], nullptr, r.left, r.top, r.right - r.left,
                 r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(controls_[row.id], WM_SETFONT,
                 reinterpret_cast<WPARAM>(own != nullptr ? own : windowFont_),
                 TRUE);
  }
  DeleteFonts(oldWindowFont, oldOwnFonts);
  // The client area of the table; the frame is whatever the system gives
  // this window at this DPI.
  RECT outer = {};
  RECT client = {};
  GetWindowRect(window_, &outer);
  GetClientRect(window_, &client);
  SetWindowPos(
      window_, nullptr, 0, 0,
      ToPixels(kClientWidth, dpi) + (outer.right - outer.left) - client.right,
      ToPixels(kClientHeight, dpi) + (outer.bottom - outer.top) - client.bottom,
      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormView::Bind(FrmPentrax2& model) {
  model_ = &model;
  for (const ControlLayout& row : kLayout) {
    ControlChanged(row.id);
  }
  SetTimer(window_, kTimer1, kTimer1Interval, nullptr);
}

void Win32FormView::Show(int showCommand) {
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
}

int Win32FormView::Run() {
  MSG message = {};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Tab, the arrow keys within an option group and Space as in a dialog.
    if (window_ == nullptr || !IsDialogMessageW(window_, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

LRESULT CALLBACK Win32FormView::WindowProc(HWND window, UINT message,
                                           WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* view = static_cast<Win32FormView*>(
        reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    view->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  }
  auto* view = reinterpret_cast<Win32FormView*>(
      GetWindowLongPtrW(window, GWLP_USERDATA));
  if (view == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return view->Handle(message, wParam, lParam);
}

LRESULT Win32FormView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_;
  switch (message) {
    case WM_COMMAND:
      if (const ControlId id = ControlOf(LOWORD(wParam));
          id != kControlCount && lParam != 0) {
        Command(id, HIWORD(wParam));
      }
      return 0;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      const ControlId id = ControlOf(static_cast<std::intptr_t>(header.idFrom));
      if (header.code == NM_CUSTOMDRAW && id != kControlCount &&
          header.hwndFrom == controls_[id] &&
          LayoutOf(id).kind == ControlKind::kPushCheckBox) {
        return DrawPushCaption(*reinterpret_cast<const NMCUSTOMDRAW*>(lParam),
                               LayoutOf(id));
      }
      break;
    }
    case WM_CTLCOLORSTATIC: {
      // The locked result box, which is drawn on the button face.
      const ControlId id =
          ControlOf(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
      if (id != kControlCount && LayoutOf(id).locked) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    }
    case WM_TIMER:
      if (model_ != nullptr && wParam == kTimer1) {
        model_->Timer1_Timer();
      } else if (model_ != nullptr && wParam == kTimer2) {
        KillTimer(window, kTimer2);  // it fires once
        model_->Timer2_Timer();
      }
      return 0;
    case WM_DPICHANGED: {
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left,
                   suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      Layout(HIWORD(wParam));
      return 0;
    }
    case WM_ACTIVATE:
      // As in a dialog: the focus leaves with the window and comes back to
      // the same control, or at first to the first one in the tab order.
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (HWND focus = GetFocus();
            focus != nullptr && IsChild(window, focus)) {
          focus_ = focus;
        }
      } else if (HIWORD(wParam) == 0) {  // not minimised
        SetFocus(focus_ != nullptr && IsWindowEnabled(focus_)
                     ? focus_
                     : GetNextDlgTabItem(window, nullptr, FALSE));
      }
      return 0;
    case WM_CLOSE:
      if (model_ != nullptr) {
        model_->Close();  // closing is never cancelled
      }
      DestroyWindow(window);
      return 0;
    case WM_ENDSESSION:
      // The session may end the program without closing the window.
      if (wParam != FALSE && model_ != nullptr) {
        model_->SessionEnding();
      }
      return 0;
    case WM_DESTROY:
      KillTimer(window, kTimer1);
      KillTimer(window, kTimer2);
      for (const ControlLayout& row : kLayout) {
        if (!row.accessibleName.empty()) {
          names_.Clear(controls_[row.id]);  // the controls go next
        }
      }
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      window_ = nullptr;
      focus_ = nullptr;
      controls_ = {};
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Win32FormView::Command(ControlId id, int code) {
  if (writing_ || model_ == nullptr) {
    return;
  }
  const ControlLayout& row = LayoutOf(id);
  switch (row.kind) {
    case ControlKind::kTextBox:
      if (code == EN_CHANGE) {
        model_->TextEdited(id, Utf8(WindowText(controls_[id])));
      } else if (code == EN_SETFOCUS && IsNumberBox(row)) {
        SelectAsTold(id);
      }
      return;
    case ControlKind::kLabel:
    case ControlKind::kFrame:
      return;
    default:
      break;
  }
  if (code != BN_CLICKED) {
    return;
  }
  model_->Click(id);
  // The button, and an option's group, show what the model made of it.
  for (const ControlLayout& other : kLayout) {
    if (other.id == id || (row.kind == ControlKind::kOption &&
                           other.kind == ControlKind::kOption &&
                           other.container == row.container)) {
      ControlChanged(other.id);
    }
  }
}

void Win32FormView::SelectAsTold(ControlId id) {
  const Selection s = model_->GotFocus(id);
  SendMessageW(controls_[id], EM_SETSEL, static_cast<WPARAM>(s.start),
               static_cast<LPARAM>(s.start + s.length));
}

LRESULT CALLBACK Win32FormView::NumberBoxProc(HWND box, UINT message,
                                              WPARAM wParam, LPARAM lParam,
                                              UINT_PTR, DWORD_PTR view) {
  auto& self = *reinterpret_cast<Win32FormView*>(view);
  const ControlId id = ControlOf(GetDlgCtrlID(box));
  const auto refused = [&](WPARAM code) {
    return self.model_ != nullptr &&
           !self.model_->KeyPress(id, static_cast<int>(code));
  };
  switch (message) {
    case WM_CHAR:
      if (refused(wParam)) {
        return 0;
      }
      break;
    case WM_KEYDOWN:
      // The box acts on some Ctrl keys (Ctrl+A) at the key press, before
      // their character code arrives: they pass the filter here.
      if (GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0 &&
          wParam >= 'A' && wParam <= 'Z' && refused(wParam - 'A' + 1)) {
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
      if (GetFocus() != box && self.model_ != nullptr) {
        // The click that brings the focus keeps the selection it brings.
        const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
        self.SelectAsTold(id);
        return result;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(box, NumberBoxProc, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(box, message, wParam, lParam);
}

void Win32FormView::ControlChanged(ControlId id) {
  if (model_ == nullptr || controls_[id] == nullptr) {
    return;
  }
  const ::pentrax::ui::Control& control = (*model_)[id];
  HWND handle = controls_[id];
  const bool wasWriting = writing_;
  writing_ = true;
  if (!control.enabled && GetFocus() == handle) {
    SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);  // a disabled control
  }                                                  // cannot keep it
  EnableWindow(handle, control.enabled ? TRUE : FALSE);
  const std::wstring text = Wide(control.text);
  if (WindowText(handle) != text) {
    SetWindowTextW(handle, text.c_str());
  }
  switch (LayoutOf(id).kind) {
    case ControlKind::kOption: {
      // Tab enters an option group at its selected button.
      const LONG_PTR style = GetWindowLongPtrW(handle, GWL_STYLE);
      SetWindowLongPtrW(handle, GWL_STYLE,
                        control.value != 0 ? style | WS_TABSTOP
                                           : style & ~LONG_PTR{WS_TABSTOP});
      [[fallthrough]];
    }
    case ControlKind::kCheckBox:
    case ControlKind::kPushCheckBox:
      SendMessageW(handle, BM_SETCHECK,
                   control.value == 2   ? BST_INDETERMINATE
                   : control.value != 0 ? BST_CHECKED
                                        : BST_UNCHECKED,
                   0);
      break;
    default:
      break;
  }
  writing_ = wasWriting;
}

void Win32FormView::StartTimer2(int intervalMs) {
  SetTimer(window_, kTimer2, static_cast<UINT>(intervalMs), nullptr);
}

void Win32FormView::StopTimer2() { KillTimer(window_, kTimer2); }

void Win32FormView::ShowMessageBox(std::string_view text,
                                   std::string_view title) {
  MessageBoxW(window_, Wide(text).c_str(), Wide(title).c_str(),
              MB_ICONINFORMATION | MB_OK);
}

void Win32FormView::MoveWindow(Point topLeft) {
  SetWindowPos(window_, nullptr, topLeft.x, topLeft.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

WindowHandle Win32FormView::OwnWindow() {
  return static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(window_));
}

Rect Win32FormView::WindowRect() {
  RECT r = {};
  GetWindowRect(window_, &r);
  return FromRect(r);
}

Screens Win32FormView::ReadScreens() {
  Screens s;
  s.monitor = MonitorRect(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST));
  s.width = s.monitor.width();
  s.height = s.monitor.height();
  s.primary = MonitorRect(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  s.desktop = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
               top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  return s;
}

}  // namespace pentrax::ui
