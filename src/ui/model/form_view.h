// What the main window's behaviour needs of a view (the Qt widgets on Linux,
// native controls on Windows): the view draws the controls from the model's
// state, realises the two timers and the message box, and reports the window
// and its screens. It holds no behaviour of its own.
#pragma once

#include <string_view>

#include "layout.h"
#include "window_manager.h"

namespace pentrax::ui {

// The screens as the view sees them. Rectangles are in the window's own
// pixels, in desktop coordinates (the unit the window is placed in).
struct Screens {
  // The monitor that holds the main window, in device pixels: the pixels
  // other windows are sized in. Possibly fractional.
  double width = 0;
  double height = 0;
  Rect monitor;  // that monitor
  Rect primary;  // the primary screen as a whole
  Rect desktop;  // all screens together
};

class FormView {
 public:
  virtual ~FormView() = default;

  // The model changed a control's value, text or enabled state: draw it
  // anew from the model, without raising the control's events.
  virtual void ControlChanged(ControlId id) = 0;
  // Timer2: fire once after the interval (a running Timer2 starts over), or
  // stop.
  virtual void StartTimer2(int intervalMs) = 0;
  virtual void StopTimer2() = 0;
  // A modal message box with an information icon and one OK button; returns
  // when the user has closed it. Lines are joined by "\r\n".
  virtual void ShowMessageBox(std::string_view text,
                              std::string_view title) = 0;
  // Places the window's outer top-left corner.
  virtual void MoveWindow(Point topLeft) = 0;

  // The main window's handle, as the window manager knows it.
  virtual WindowHandle OwnWindow() = 0;
  // The window's outer rectangle, frame included.
  virtual Rect WindowRect() = 0;
  virtual Screens ReadScreens() = 0;
};

}  // namespace pentrax::ui
