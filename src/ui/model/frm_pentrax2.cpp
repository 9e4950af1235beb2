#include "frm_pentrax2.h"

#include <algorithm>
#include <cmath>

#include "numbers.h"

namespace pentrax::ui {
namespace {

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Texts are UTF-8; lengths and selections count characters.
int CharacterCount(std::string_view text) {
  return static_cast<int>(std::count_if(
      text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); }));
}

std::string_view FirstCharacters(std::string_view text, int count) {
  std::size_t end = 0;
  for (int n = 0; end < text.size(); ++end) {
    if (!IsContinuationByte(text[end]) && n++ == count) {
      break;
    }
  }
  return text.substr(0, end);
}

TwipsRectF InTwips(const Rect& r) {
  const auto twips = [](std::int32_t px) {
    return static_cast<float>(px) * kTwipsPerPixel;
  };
  return {twips(r.left), twips(r.top), twips(r.width()), twips(r.height())};
}

}  // namespace

std::string HelpText() {
  const std::string lines[] = {
      "The purpose of Pentrax is to change the size of other windows.",
      "This is useful for testing how a program or web site looks on a screen",
      "with a resolution lower than the resolution of the developer's screen.",
      "",
      "1. Select the desired size.",
      "2. Optionally modify that size by adding the size of a window border",
      "    or by subtracting the size of a task bar.",
      "3. Click on the button '" + std::string(kGoCaption) + "'.",
      "    This button remains pressed until you select the window you want to "
      "resize.",
      "4. Optionally restore the original sizes of the resized windows by "
      "clicking",
      "    on the button '" + std::string(kBackCaption) + "'",
      "    and then select the window you want to restore.",
      "",
      "You cannot select a resolution larger than your own screen's "
      "resolution.",
      "",
      "Pentrax remembers your choices and its window position for the next "
      "start.",
  };
  std::string text;
  for (const std::string& line : lines) {
    text.append(text.empty() ? "" : "\r\n").append(line);
  }
  return text;
}

FrmPentrax2::FrmPentrax2(WindowManager& wm, FormView& view)
    : cycle(wm), view_(view) {
  for (const ControlLayout& row : kLayout) {
    controls_[row.id] = {row.value, std::string(row.caption), row.enabled, {}};
  }
}

void FrmPentrax2::SetValue(ControlId id, int value) {
  Control& control = controls_[id];
  const ControlLayout& row = kLayout[id];
  switch (row.kind) {
    case ControlKind::kOption:
      if (value == 0 || control.value == 1) {
        return;
      }
      for (const ControlLayout& other : kLayout) {
        if (other.kind == ControlKind::kOption &&
            other.container == row.container && controls_[other.id].value) {
          controls_[other.id].value = 0;
          Changed(other.id);
        }
      }
      value = 1;
      break;
    case ControlKind::kCheckBox:
      value = value == 0 || value == 2 ? value : 1;
      break;
    default:
      value = value != 0 ? 1 : 0;
      break;
  }
  if (control.value == value) {
    return;
  }
  control.value = value;
  Changed(id);
  RunClickHandler(id);
  ValueChanged(id);
}

void FrmPentrax2::ValueChanged(ControlId id) {
  const bool choice = (id >= kOptRes0 && id <= kOptRes7) || id == kTxtBreit ||
                      id == kTxtHoch || id == kTxtBorder || id == kChkBorder ||
                      id == kOptTask0 || id == kOptTask1 || id == kTxtTask ||
                      id == kChkTask;
  if (choice && onChoicesChanged) {
    onChoicesChanged();
  }
}

void FrmPentrax2::SetText(ControlId id, std::string_view text) {
  const int maxLength = kLayout[id].maxLength;
  if (maxLength > 0) {
    text = FirstCharacters(text, maxLength);
  }
  if (controls_[id].text != text) {
    controls_[id].text = text;
    Changed(id);
    ValueChanged(id);
  }
}

void FrmPentrax2::SetEnabled(ControlId id, bool enabled) {
  if (controls_[id].enabled != enabled) {
    controls_[id].enabled = enabled;
    Changed(id);
  }
}

void FrmPentrax2::RunClickHandler(ControlId id) {
  const ControlLayout& row = kLayout[id];
  if (row.kind == ControlKind::kOption && row.container == kFrame1) {
    optRes_Click(row.index);
  } else if (id == kChkBorder) {
    chkBorder_Click();
  } else if (id == kChkTask) {
    chkTask_Click();
  } else if (id == kChkGo) {
    chkGo_Click();
  } else if (id == kChkBack) {
    chkBack_Click();
  }
}

void FrmPentrax2::Click(ControlId id) {
  if (!Enabled(id)) {
    return;
  }
  switch (kLayout[id].kind) {
    case ControlKind::kCheckBox:
    case ControlKind::kPushCheckBox:
      // A click checks an unchecked box and unchecks any other state.
      SetValue(id, Value(id) == 0 ? 1 : 0);
      break;
    case ControlKind::kOption:
      SetValue(id, 1);
      break;
    case ControlKind::kCommandButton:
      if (id == kCmdHelp) {
        cmdHelp_Click();
      } else if (onRestoreDefaults) {
        onRestoreDefaults();
      }
      break;
    default:
      break;
  }
}

bool FrmPentrax2::KeyPress(ControlId, int characterCode) {
  auto keyAscii =
      static_cast<std::int16_t>(std::clamp(characterCode, -32768, 32767));
  FilterDigitKey(keyAscii);
  return keyAscii != 0;
}

void FrmPentrax2::TextEdited(ControlId id, std::string_view text) {
  SetText(id, text);
}

Selection FrmPentrax2::GotFocus(ControlId id) {
  return {0, CharacterCount(Text(id))};
}

void FrmPentrax2::Close() {
  if (!unloaded_) {
    unloaded_ = true;
    SessionEnding();
  }
}

void FrmPentrax2::SessionEnding() {
  if (onUnload) {
    onUnload();
  }
}

void FrmPentrax2::optRes_Click(int index) {
  const bool custom = index == kCustomPreset;
  SetEnabled(kTxtBreit, custom);
  SetEnabled(kTxtHoch, custom);
  SelectedPreset = index;
}

void FrmPentrax2::chkBorder_Click() {
  SetEnabled(kTxtBorder, Value(kChkBorder) != 0);
}

void FrmPentrax2::chkTask_Click() {
  SetEnabled(kTxtTask, Value(kChkTask) != 0);
  SetEnabled(OptTask(0), Value(kChkTask) != 0);
  SetEnabled(OptTask(1), Value(kChkTask) != 0);
}

void FrmPentrax2::chkGo_Click() {
  PushButtonClicked(kChkGo, kChkBack);
  NormaliseInputs();
}

void FrmPentrax2::chkBack_Click() { PushButtonClicked(kChkBack, kChkGo); }

void FrmPentrax2::PushButtonClicked(ControlId button, ControlId other) {
  if (Value(button) == 1) {
    SetValue(other, 0);  // runs its handler
    cycle.ButtonPressed();
  } else if (Value(other) == 0) {
    cycle.ButtonsReleased();
  }
}

void FrmPentrax2::cmdHelp_Click() {
  view_.ShowMessageBox(HelpText(), kHelpTitle);
}

void FrmPentrax2::FilterDigitKey(std::int16_t& keyAscii) {
  if (keyAscii >= 48 && keyAscii <= 57) {
    return;
  }
  if (keyAscii == 8 || keyAscii == 22 || keyAscii == 3 || keyAscii == 24) {
    return;
  }
  keyAscii = 0;
}

void FrmPentrax2::Timer1_Timer() {
  ScreenWatch();
  ForegroundWatch();
}

void FrmPentrax2::ScreenWatch() {
  const Screens screens = view_.ReadScreens();
  const Rect window = view_.WindowRect();
  const bool framed = window.width() != lastWindowRect_.width() ||
                      window.height() != lastWindowRect_.height();
  lastWindowRect_ = window;
  if (screens.width == ScreenWidth && screens.height == ScreenHeight) {
    if (framed) {
      KeepOnScreen();
    }
    return;
  }
  const std::int32_t oldWidth = ScreenWidth;
  const std::int32_t oldHeight = ScreenHeight;
  ScreenWidth = RoundToInt32(screens.width);
  ScreenHeight = RoundToInt32(screens.height);
  SetText(kLabel1, std::string(kResolutionCaption) + NumberToText(ScreenWidth) +
                       " x " + NumberToText(ScreenHeight));
  for (int i = kPresetCount - 1; i >= 0; --i) {
    const bool fits = PresetFits(i, ScreenWidth, ScreenHeight);
    SetEnabled(OptRes(i), fits);
    if (!fits && Value(OptRes(i)) == 1 && i > 0) {
      SetValue(OptRes(i - 1), 1);  // runs optRes_Click(i - 1)
    }
  }
  // A resolution change (not the first look) keeps the window reachable.
  const bool resized = (oldWidth != 0 || oldHeight != 0) &&
                       (oldWidth != ScreenWidth || oldHeight != ScreenHeight);
  if (framed || resized) {
    KeepOnScreen();
  }
}

void FrmPentrax2::ForegroundWatch() {
  for (const ControlId button : {kChkGo, kChkBack}) {
    if (Value(button) == 1 && cycle.WatchForPick(view_.OwnWindow())) {
      cycle.Arm(button == kChkBack);
      SetValue(button, 0);  // runs its click handler
      view_.StartTimer2(PickCycle::kTimer2Interval);
    }
  }
}

void FrmPentrax2::Timer2_Timer() {
  SizeChoices choices = Choices();
  const bool sizing = cycle.ArmedToSize();
  const auto report = cycle.Fire(choices, ScreenWidth, ScreenHeight);
  if (sizing) {
    SetFields(choices.fields);  // the size action normalised them
  }
  if (report) {
    SetText(kTxtResult, *report);
  }
  view_.StopTimer2();
}

void FrmPentrax2::NormaliseInputs() {
  NumericFields fields = Choices().fields;
  pentrax::NormaliseInputs(fields, ScreenWidth, ScreenHeight);
  SetFields(fields);
}

void FrmPentrax2::SetFields(const NumericFields& fields) {
  SetText(kTxtBreit, fields.breit);
  SetText(kTxtHoch, fields.hoch);
  SetText(kTxtBorder, fields.border);
  SetText(kTxtTask, fields.task);
}

SizeChoices FrmPentrax2::Choices() const {
  SizeChoices c;
  c.selectedPreset = SelectedPreset;
  c.fields = {Text(kTxtBreit), Text(kTxtHoch), Text(kTxtBorder),
              Text(kTxtTask)};
  c.chkBorder = Value(kChkBorder);
  c.chkTask = Value(kChkTask);
  c.taskBarHorizontal = Value(OptTask(0)) == 1;
  return c;
}

TwipsRectF FrmPentrax2::WindowInTwips() { return InTwips(view_.WindowRect()); }

void FrmPentrax2::PlaceWindow(float left, float top) {
  PlaceWithin(left, top, view_.ReadScreens().primary);
}

void FrmPentrax2::KeepOnScreen() {
  const TwipsRectF window = WindowInTwips();
  PlaceWithin(window.left, window.top, view_.ReadScreens().monitor);
}

void FrmPentrax2::PlaceWithin(float left, float top, const Rect& screen) {
  const Rect now = view_.WindowRect();
  const TwipsRectF window = InTwips(now);
  if (screen.width() > 0 && screen.height() > 0) {
    const float maxLeft =
        static_cast<float>(screen.right) * kTwipsPerPixel - window.width;
    if (maxLeft < left) {
      left = maxLeft;
    }
    const float maxTop =
        static_cast<float>(screen.bottom) * kTwipsPerPixel - window.height;
    if (maxTop < top) {
      top = maxTop;
    }
  }
  const Point target{
      static_cast<std::int32_t>(std::lround(left / kTwipsPerPixel)),
      static_cast<std::int32_t>(std::lround(top / kTwipsPerPixel))};
  if (target.x != now.left || target.y != now.top) {
    view_.MoveWindow(target);
  }
}

}  // namespace pentrax::ui
