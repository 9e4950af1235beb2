// The main window frmPentrax2 as plain state and handlers: the value, text,
// enabled state and Tag of every control, the window's fields, and every
// handler. A change of a value runs the control's click handler, whoever
// makes it, here in the model; the view draws what changed and forwards the
// user's events.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "cycle.h"
#include "form_view.h"
#include "layout.h"
#include "pentrax_version.h"
#include "sizing.h"
#include "window_manager.h"

namespace pentrax::ui {

inline constexpr std::string_view kResolutionCaption =
    "Your screen resolution is ";
inline constexpr std::string_view kHelpTitle =
    "Pentrax " PENTRAX_VERSION_TEXT " - Help";

// The usage text of the Help button, lines joined by "\r\n".
std::string HelpText();

struct Control {
  int value = 0;     // check box 0, 1, 2; push-style 0, 1; option 1 if selected
  std::string text;  // caption or text
  bool enabled = true;
  std::string tag;  // free text, empty unless the program sets it
};

// The selection a text box takes when it gets the focus.
struct Selection {
  int start = 0;
  int length = 0;
};

// The window's outer rectangle in twips, single precision: the unit of its
// stored position.
struct TwipsRectF {
  float left = 0, top = 0, width = 0, height = 0;
};

class FrmPentrax2 {
 public:
  // Acts on other windows through wm and is drawn by view; both must
  // outlive it. The controls start in the state of the layout table.
  FrmPentrax2(WindowManager& wm, FormView& view);

  const Control& operator[](ControlId id) const { return controls_[id]; }
  int Value(ControlId id) const { return controls_[id].value; }
  const std::string& Text(ControlId id) const { return controls_[id].text; }
  bool Enabled(ControlId id) const { return controls_[id].enabled; }
  const std::string& Tag(ControlId id) const { return controls_[id].tag; }

  // A check box's value (0, 1 or 2), a push-style button's (0 or 1), or an
  // option's: 1 selects it and deselects the others of its group, 0 is
  // ignored (an option is deselected by selecting another). A change runs the
  // click handler before this returns.
  void SetValue(ControlId id, int value);
  // A text box keeps at most its maximum length of characters.
  void SetText(ControlId id, std::string_view text);
  void SetEnabled(ControlId id, bool enabled);
  void SetTag(ControlId id, std::string tag) {
    controls_[id].tag = std::move(tag);
  }

  // Events the view forwards.
  void Click(ControlId id);  // the user's click (or Space) on a control
  // A key that produces a character code, pressed in a numeric field:
  // whether the field may take it (FilterDigitKey).
  bool KeyPress(ControlId id, int characterCode);
  void TextEdited(ControlId id, std::string_view text);
  Selection GotFocus(ControlId id);
  void Timer1_Timer();
  void Timer2_Timer();
  // The window closes, however it is closed: the unload runs once.
  void Close();
  // The session ends and may end the program without closing the window:
  // the settings are written now as well.
  void SessionEnding();

  // The controls' click handlers (optRes_Click takes the option's index),
  // the two watches Timer1's handler runs, and the operations the handlers
  // share: the numeric fields brought into range, and the key filter of
  // those fields (a refused key becomes 0).
  void optRes_Click(int index);
  void chkBorder_Click();
  void chkTask_Click();
  void chkGo_Click();
  void chkBack_Click();
  void cmdHelp_Click();
  void ScreenWatch();
  void ForegroundWatch();
  void NormaliseInputs();
  static void FilterDigitKey(std::int16_t& keyAscii);

  // The user's choices as the sizing logic reads them.
  SizeChoices Choices() const;

  // The window's outer rectangle in twips.
  TwipsRectF WindowInTwips();
  // Places the window at a position in twips, its right and bottom edges
  // brought back to the primary screen's where they would lie beyond them.
  void PlaceWindow(float left, float top);
  // The same where the window stands now, against the monitor that holds
  // it: run when that monitor's size changes and when the window's outer
  // size changes (the window manager has put its frame on).
  void KeepOnScreen();
  Screens ReadScreens() { return view_.ReadScreens(); }

  // Fields of the window.
  std::int32_t ScreenWidth = 0;
  std::int32_t ScreenHeight = 0;
  std::int32_t SelectedPreset = 0;
  // The window picked, whether to size or restore it, and Timer2's arming.
  PickCycle cycle;

  // What the settings do at unload, on the "Default" button, and whenever
  // a value of the choices (Choices) changes.
  std::function<void()> onUnload;
  std::function<void()> onRestoreDefaults;
  std::function<void()> onChoicesChanged;

 private:
  void Changed(ControlId id) { view_.ControlChanged(id); }
  // A value or text changed: the choices too, if it is one of them.
  void ValueChanged(ControlId id);
  void RunClickHandler(ControlId id);
  // The click handling both push-style buttons share: pressed, it releases
  // the other and starts the watch for a pick; released with the other up,
  // it ends the watch.
  void PushButtonClicked(ControlId button, ControlId other);
  void SetFields(const NumericFields& fields);
  void PlaceWithin(float left, float top, const Rect& screen);

  FormView& view_;
  std::array<Control, kControlCount> controls_;
  bool unloaded_ = false;
  Rect lastWindowRect_;
};

}  // namespace pentrax::ui
