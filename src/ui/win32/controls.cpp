#include "controls.h"

#include <commctrl.h>
// Defines the annotation service's ids for the <oleacc.h> after it.
#include <initguid.h>
#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string>

#include "wide_text.h"

namespace pentrax::ui {
namespace {

struct NativeControl {
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle = 0;
};

// A label's and a text box's style for each Align, in its order.
constexpr DWORD kStaticAlign[] = {SS_LEFT, SS_CENTER, SS_RIGHT};
constexpr DWORD kEditAlign[] = {ES_LEFT, ES_CENTER, ES_RIGHT};

// Buttons that the model checks: a click only tells the model (BN_CLICKED),
// which then sets the check. Option buttons check themselves as well, so
// that the arrow keys move the selection within a group; the model agrees.
NativeControl NativeOf(const ControlLayout& row) {
  switch (row.kind) {
    // Labels and frames lie beneath the other controls and draw only where
    // those leave room: Label1 runs on under "Default", and a check box
    // lies across the top edge of its frame.
    case ControlKind::kLabel:
      return {WC_STATICW, SS_NOPREFIX |
                              kStaticAlign[static_cast<int>(row.align)] |
                              WS_CLIPSIBLINGS};
    case ControlKind::kFrame:
      return {WC_BUTTONW, BS_GROUPBOX | WS_CLIPSIBLINGS};
    case ControlKind::kOption:
      return {WC_BUTTONW, BS_AUTORADIOBUTTON};
    case ControlKind::kCheckBox:
      return {WC_BUTTONW, BS_3STATE | BS_MULTILINE | WS_TABSTOP};
    case ControlKind::kPushCheckBox:
      return {WC_BUTTONW,
              BS_CHECKBOX | BS_PUSHLIKE | BS_MULTILINE | WS_TABSTOP};
    case ControlKind::kCommandButton:
      return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP};
    case ControlKind::kTextBox:
      break;
  }
  if (row.locked) {
    return {
        WC_EDITW,
        ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
        WS_EX_CLIENTEDGE};
  }
  return {WC_EDITW,
          ES_AUTOHSCROLL | kEditAlign[static_cast<int>(row.align)] | WS_TABSTOP,
          WS_EX_CLIENTEDGE};
}

}  // namespace

int ToPixels(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), 1440);
}

RECT PixelRect(const ControlLayout& row, UINT dpi) {
  int left = row.rect.left;
  int top = row.rect.top;
  if (row.container != kClientArea) {
    left += LayoutOf(row.container).rect.left;
    top += LayoutOf(row.container).rect.top;
  }
  return {ToPixels(left, dpi), ToPixels(top, dpi),
          ToPixels(left + row.rect.width, dpi),
          ToPixels(top + row.rect.height, dpi)};
}

std::array<ControlId, kControlCount> CreationOrder() {
  const auto layer = [](ControlId id) {
    switch (LayoutOf(id).kind) {
      case ControlKind::kLabel:
        return 1;
      case ControlKind::kFrame:
        return 2;
      default:
        return 0;
    }
  };
  std::array<ControlId, kControlCount> order{};
  std::transform(kLayout.begin(), kLayout.end(), order.begin(),
                 [](const ControlLayout& row) { return row.id; });
  std::stable_sort(order.begin(), order.end(), [&](ControlId a, ControlId b) {
    if (layer(a) != layer(b)) {
      return layer(a) < layer(b);
    }
    return LayoutOf(a).tabIndex < LayoutOf(b).tabIndex;
  });
  return order;
}

HWND CreateControl(const ControlLayout& row, HWND parent, int itemId,
                   bool startsGroup) {
  const NativeControl native = NativeOf(row);
  DWORD style = WS_CHILD | WS_VISIBLE | native.style;
  if (startsGroup) {
    style |= WS_GROUP;
  }
  if (!row.enabled) {
    style |= WS_DISABLED;
  }
  HWND control = CreateWindowExW(
      native.exStyle, native.windowClass, Wide(row.caption).c_str(), style, 0,
      0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(itemId)),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
      nullptr);
  // Each new child goes below the others: the creation order is the stacking
  // and the tab order.
  SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (row.maxLength > 0) {
    SendMessageW(control, EM_SETLIMITTEXT, static_cast<WPARAM>(row.maxLength),
                 0);
  }
  return control;
}

HFONT CreateFontAt(const Font& font, UINT dpi) {
  const bool own = !font.family.empty();
  const std::wstring family = Wide(own ? font.family : kWindowFontFamily);
  const double points = own ? font.points : kWindowFontPoints;
  LOGFONTW face = {};
  face.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
  face.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  face.lfUnderline = font.underline ? TRUE : FALSE;
  face.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(face.lfFaceName, family.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectW(&face);
}

namespace {

template <typename Function>
Function Ole32Function(HMODULE ole32, const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(ole32, name)));
}

}  // namespace

AccessibleNames::AccessibleNames() : ole32_(LoadLibraryW(L"ole32.dll")) {
  const auto initialize =
      Ole32Function<decltype(&CoInitializeEx)>(ole32_, "CoInitializeEx");
  const auto create =
      Ole32Function<decltype(&CoCreateInstance)>(ole32_, "CoCreateInstance");
  if (initialize == nullptr || create == nullptr) {
    return;
  }
  // Else COM runs on this thread already, in another way.
  comStarted_ = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
  if (FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                    IID_IAccPropServices,
                    reinterpret_cast<void**>(&services_)))) {
    services_ = nullptr;
  }
}

AccessibleNames::~AccessibleNames() {
  if (services_ != nullptr) {
    services_->Release();
  }
  if (comStarted_) {
    Ole32Function<decltype(&CoUninitialize)>(ole32_, "CoUninitialize")();
  }
  if (ole32_ != nullptr) {
    FreeLibrary(ole32_);
  }
}

void AccessibleNames::Set(HWND control, std::string_view name) {
  if (services_ != nullptr) {
    services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT),
                              CHILDID_SELF, PROPID_ACC_NAME,
                              Wide(name).c_str());
  }
}

void AccessibleNames::Clear(HWND control) {
  if (services_ != nullptr) {
    services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT),
                              CHILDID_SELF, &PROPID_ACC_NAME, 1);
  }
}

LRESULT DrawPushCaption(const NMCUSTOMDRAW& draw, const ControlLayout& row) {
  if (draw.dwDrawStage != CDDS_PREPAINT) {
    return CDRF_DODEFAULT;
  }
  HWND button = draw.hdr.hwndFrom;
  HDC dc = draw.hdc;
  const bool enabled = (draw.uItemState & CDIS_DISABLED) == 0;
  const bool down = (draw.uItemState & CDIS_SELECTED) != 0 ||
                    SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
  COLORREF colour = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  if (enabled && row.textColour) {
    colour =
        RGB(row.textColour->red, row.textColour->green, row.textColour->blue);
  }
  HGDIOBJ oldFont = SelectObject(
      dc, reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);

  const std::wstring text = WindowText(button);
  constexpr UINT kFlags = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
  RECT area = draw.rc;
  InflateRect(&area, -3, -3);
  if (down) {
    OffsetRect(&area, 1, 1);
  }
  RECT needed = area;
  DrawTextW(dc, text.c_str(), -1, &needed, kFlags | DT_CALCRECT);
  area.top += std::max(
      0L, ((area.bottom - area.top) - (needed.bottom - needed.top)) / 2);
  DrawTextW(dc, text.c_str(), -1, &area, kFlags);
  if ((draw.uItemState & CDIS_FOCUS) != 0) {
    RECT focus = draw.rc;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
  SelectObject(dc, oldFont);
  return CDRF_SKIPDEFAULT;
}

}  // namespace pentrax::ui
