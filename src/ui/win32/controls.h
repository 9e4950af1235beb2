// The native controls the main window is built from: the window class and
// styles each kind of control of the layout table becomes, where it stands
// at a given DPI, its font, and the caption of a push-style check box in its
// own colour.
#pragma once

#include <windows.h>
// After <windows.h>.
#include <commctrl.h>

#include <array>
#include <string_view>

#include "layout.h"

struct IAccPropServices;  // <oleacc.h>

namespace pentrax::ui {

// A length in twips, in pixels at dpi dots per inch.
int ToPixels(int twips, UINT dpi);

// The control's rectangle in the window's client area, in pixels.
RECT PixelRect(const ControlLayout& row, UINT dpi);

// The order the controls are created in, which is also their tab order and
// their stacking (the first lies on top): the controls that take the focus
// in the order of the tab index, then the labels, then the frames. Labels
// and frames never take the focus, and so must not split an option group
// (Label4 stands between optRes(4) and optRes(5) in the tab order); lying
// beneath the others, they leave the room of a control that overlaps them.
std::array<ControlId, kControlCount> CreationOrder();

// Creates the control as a child of parent with the row's caption, enabled
// state and dialog item id; startsGroup ends the option group before it.
// Values are set later, from the model.
HWND CreateControl(const ControlLayout& row, HWND parent, int itemId,
                   bool startsGroup);

// The font at dpi; an empty family is the window's font. The caller deletes
// it.
HFONT CreateFontAt(const Font& font, UINT dpi);

// The names screen readers read for controls whose caption does not name
// them (the row's accessibleName): Microsoft Active Accessibility's
// annotation of a window, which lasts until cleared, through COM. The names
// are a help the window can do without: ole32.dll is loaded here rather than
// imported, and where the annotation service is missing or refuses (Wine's
// does) the controls keep the names the system gives them.
class AccessibleNames {
 public:
  AccessibleNames();  // on the thread of the controls
  ~AccessibleNames();
  AccessibleNames(const AccessibleNames&) = delete;
  AccessibleNames& operator=(const AccessibleNames&) = delete;

  void Set(HWND control, std::string_view name);
  void Clear(HWND control);  // before the control is destroyed

 private:
  HMODULE ole32_ = nullptr;
  IAccPropServices* services_ = nullptr;
  bool comStarted_ = false;
};

// Draws the caption of a push-style check box in the row's text colour, at
// the CDDS_PREPAINT stage of its NM_CUSTOMDRAW (the control has drawn the
// raised or pressed button); returns what the notification returns.
LRESULT DrawPushCaption(const NMCUSTOMDRAW& draw, const ControlLayout& row);

}  // namespace pentrax::ui
