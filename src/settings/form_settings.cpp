#include "form_settings.h"

#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "numbers.h"

namespace pentrax::settings {
namespace {

using ui::ControlId;
using ui::FrmPentrax2;

// The user's decimal separator, for numbers with a fractional part.
char DecimalSeparator() {
  const char* point = std::localeconv()->decimal_point;
  return point != nullptr && point[0] != '\0' && point[1] == '\0' &&
                 static_cast<unsigned char>(point[0]) < 128
             ? point[0]
             : '.';
}

std::string Text(double value) {
  return NumberToText(value, DecimalSeparator());
}

// A whole number from a stored text, or nullopt when it is not one of the
// allowed values (only a hand-edited store holds such values).
std::optional<int> WholeNumberIn(const std::string& text, int lowest,
                                 int highest) {
  const double n = RoundHalfEven(LeadingNumber(text));
  if (!std::isfinite(n) || n < lowest || n > highest) {
    return std::nullopt;
  }
  return static_cast<int>(n);
}

// Selects option i of a group or, for a value outside it, option 0.
void SelectOption(FrmPentrax2& form, SettingsStore& store, const char* key,
                  ControlId first, int highest) {
  const int i = WholeNumberIn(store.Read(key, "0"), 0, highest).value_or(0);
  form.SetValue(static_cast<ControlId>(first + i), 1);
}

// A numeric field: the number-to-text form of the stored text's leading
// number; a number beyond the double range falls back to the default.
void LoadField(FrmPentrax2& form, SettingsStore& store, const char* key,
               ControlId field, const std::string& defaultText) {
  double n = LeadingNumber(store.Read(key, defaultText));
  if (!std::isfinite(n)) {
    n = LeadingNumber(defaultText);
  }
  form.SetText(field, Text(n));
}

// A check box: 0, 1 or 2; anything else falls back to the remembered
// default, which the Tag holds.
void LoadCheckBox(FrmPentrax2& form, SettingsStore& store, const char* key,
                  ControlId box) {
  form.SetTag(box, std::to_string(form.Value(box)));
  const std::string& tag = form.Tag(box);
  form.SetValue(box, WholeNumberIn(store.Read(key, tag), 0, 2)
                         .value_or(WholeNumberIn(tag, 0, 2).value_or(1)));
}

void LoadTextField(FrmPentrax2& form, SettingsStore& store, const char* key,
                   ControlId field) {
  form.SetTag(field, form.Text(field));
  LoadField(form, store, key, field, form.Tag(field));
}

// A stored coordinate: single precision, and not so far out that the window
// would lie wholly left of or above every screen (right and bottom are
// brought back by the edge correction).
std::optional<float> Coordinate(const std::string& text, float windowExtent,
                                float desktopStart) {
  const double v = LeadingNumber(text);
  if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) {
    return std::nullopt;
  }
  const auto f = static_cast<float>(v);
  if (f + windowExtent <= desktopStart || f > 1e8f) {
    return std::nullopt;
  }
  return f;
}

}  // namespace

void Form_Load(FrmPentrax2& form, SettingsStore& store) {
  // The preset tables are constants of the sizing logic, and the remembered
  // placements are the session's (LedgerStore), not settings.
  SelectOption(form, store, kSelectedResolution, ui::OptRes(0), kCustomPreset);
  // The Tag of the custom size stays empty: a first start shows the
  // layout's size instead of "0".
  const auto orFirst = [&](ControlId field, std::string_view first) {
    return form.Tag(field).empty() ? std::string(first) : form.Tag(field);
  };
  LoadField(form, store, kCustomWidth, ui::kTxtBreit,
            orFirst(ui::kTxtBreit, kFirstCustomWidth));
  LoadField(form, store, kCustomHeight, ui::kTxtHoch,
            orFirst(ui::kTxtHoch, kFirstCustomHeight));
  LoadCheckBox(form, store, kAddBorder, ui::kChkBorder);
  LoadTextField(form, store, kBorder, ui::kTxtBorder);
  LoadCheckBox(form, store, kSubtractTaskBar, ui::kChkTask);
  LoadTextField(form, store, kTaskBar, ui::kTxtTask);
  SelectOption(form, store, kTaskBarOrientation, ui::OptTask(0), 1);

  const ui::TwipsRectF window = form.WindowInTwips();
  const Rect desktop = form.ReadScreens().desktop;
  const float twips = ui::kTwipsPerPixel;
  const float left =
      Coordinate(store.Read(kPosLeft, Text(window.left)), window.width,
                 static_cast<float>(desktop.left) * twips)
          .value_or(window.left);
  const float top =
      Coordinate(store.Read(kPosTop, Text(window.top)), window.height,
                 static_cast<float>(desktop.top) * twips)
          .value_or(window.top);
  form.PlaceWindow(left, top);
}

namespace {

void WriteChoices(FrmPentrax2& form, SettingsStore& store) {
  store.Write(kSelectedResolution, std::to_string(form.SelectedPreset));
  store.Write(kCustomWidth, form.Text(ui::kTxtBreit));
  store.Write(kCustomHeight, form.Text(ui::kTxtHoch));
  store.Write(kAddBorder, std::to_string(form.Value(ui::kChkBorder)));
  store.Write(kBorder, form.Text(ui::kTxtBorder));
  store.Write(kSubtractTaskBar, std::to_string(form.Value(ui::kChkTask)));
  store.Write(kTaskBar, form.Text(ui::kTxtTask));
  store.Write(kTaskBarOrientation, form.Value(ui::OptTask(0)) ? "0" : "1");
}

}  // namespace

void SaveChoices(FrmPentrax2& form, SettingsStore& store) {
  WriteChoices(form, store);
  store.Flush();
}

void Form_Unload(FrmPentrax2& form, SettingsStore& store) {
  WriteChoices(form, store);
  const ui::TwipsRectF window = form.WindowInTwips();
  store.Write(kPosLeft, Text(window.left));
  store.Write(kPosTop, Text(window.top));
  store.Flush();
}

void cmdRestoreDefaults_Click(FrmPentrax2& form) {
  for (const ControlId field : {ui::kTxtBreit, ui::kTxtHoch}) {
    const double n = std::fabs(LeadingNumber(form.Text(field)));
    form.SetText(field, Text(std::isfinite(n) ? n : 0));
  }
  form.SetValue(ui::kChkBorder,
                WholeNumberIn(form.Tag(ui::kChkBorder), 0, 2).value_or(1));
  form.SetText(ui::kTxtBorder, form.Tag(ui::kTxtBorder));
  form.SetValue(ui::kChkTask,
                WholeNumberIn(form.Tag(ui::kChkTask), 0, 2).value_or(1));
  form.SetText(ui::kTxtTask, form.Tag(ui::kTxtTask));
  form.SetValue(ui::OptRes(0), 1);
  form.SetValue(ui::OptTask(0), 1);
}

namespace {

// The window without a screen to show it on: what it shows is not drawn.
class UnshownView final : public ui::FormView {
 public:
  explicit UnshownView(const Rect& monitor) : monitor_(monitor) {}
  void ControlChanged(ControlId) override {}
  void StartTimer2(int) override {}
  void StopTimer2() override {}
  void ShowMessageBox(std::string_view, std::string_view) override {}
  void MoveWindow(Point) override {}
  WindowHandle OwnWindow() override { return 0; }
  Rect WindowRect() override { return {}; }
  ui::Screens ReadScreens() override {
    return {static_cast<double>(monitor_.width()),
            static_cast<double>(monitor_.height()), monitor_, monitor_,
            monitor_};
  }

 private:
  Rect monitor_;
};

}  // namespace

SizeChoices SavedChoices(SettingsStore& store, WindowManager& wm,
                         std::int32_t monitorWidth,
                         std::int32_t monitorHeight) {
  UnshownView view({0, 0, monitorWidth, monitorHeight});
  FrmPentrax2 form(wm, view);
  Form_Load(form, store);
  form.Timer1_Timer();  // the screen watch: presets too large move down
  return form.Choices();
}

void Attach(FrmPentrax2& form, SettingsStore& store) {
  Form_Load(form, store);
  form.onUnload = [&form, &store] { Form_Unload(form, store); };
  form.onRestoreDefaults = [&form] { cmdRestoreDefaults_Click(form); };
  form.onChoicesChanged = [&form, &store] { SaveChoices(form, store); };
}

}  // namespace pentrax::settings
