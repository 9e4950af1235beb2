// The main window's layout: one table of every control (name, kind,
// container, rectangle, caption, tab index, look, initial state and the name
// a screen reader reads where the caption is not one), from which each view
// builds its own controls, so that views cannot drift apart.
// Positions and sizes are in twips, 15 to a pixel at 96 dots per inch.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pentrax::ui {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr std::string_view kWindowCaption = "Pentrax 2";
inline constexpr int kClientWidth = 5295;  // twips
inline constexpr int kClientHeight = 5775;
// The window's own font; the layout is drawn for it (Liberation Sans has the
// same metrics where Arial is missing).
inline constexpr std::string_view kWindowFontFamily = "Arial";
inline constexpr double kWindowFontPoints = 8;
inline constexpr int kTimer1Interval = 100;  // milliseconds

inline constexpr std::string_view kGoCaption =
    "Click here, and then click on the window you want to size";
inline constexpr std::string_view kBackCaption =
    "Click here, and then click on a window to restore its original size";

// Every control, in the order the views create them: a later control lies
// above an earlier one (chkBorder and chkTask above their frames).
enum ControlId : std::uint8_t {
  kLabel1,
  kFrame1,
  kOptRes0,
  kOptRes7 = kOptRes0 + 7,
  kLabel4,
  kTxtBreit,
  kTxtHoch,
  kFraBorder,
  kTxtBorder,
  kLabel3,
  kLabel2,
  kChkBorder,
  kFraTask,
  kOptTask0,
  kOptTask1,
  kTxtTask,
  kLabel6,
  kLabel5,
  kChkTask,
  kChkGo,
  kChkBack,
  kTxtResult,
  kCmdRestoreDefaults,
  kCmdHelp,
  kControlCount,
  kClientArea = kControlCount,  // the container of the window's own controls
};

constexpr ControlId OptRes(int i) {
  return static_cast<ControlId>(kOptRes0 + i);
}
constexpr ControlId OptTask(int i) {
  return static_cast<ControlId>(kOptTask0 + i);
}

enum class ControlKind : std::uint8_t {
  kLabel,
  kFrame,
  kOption,  // one button of an option array; one group per container
  kTextBox,
  kCheckBox,      // Value 0, 1 or 2 (grayed)
  kPushCheckBox,  // a check box drawn as a button that stays down
  kCommandButton,
};

enum class Align : std::uint8_t { kLeft, kCenter, kRight };

struct TwipsRect {
  int left, top, width, height;
};

struct Font {
  std::string_view family;  // empty: the window's font
  double points = 0;
  bool bold = false;
  bool underline = false;
};

struct Rgb {
  std::uint8_t red, green, blue;
};

struct ControlLayout {
  ControlId id;
  std::string_view name;  // an option array's name is shared by its buttons
  int index = -1;         // the index within an option array
  ControlKind kind;
  ControlId container = kClientArea;
  TwipsRect rect;
  int tabIndex;
  std::string_view caption;  // or a text box's initial text
  int value = 0;             // check box 0, 1 or 2; option 1 when selected
  bool enabled = true;
  Align align = Align::kLeft;
  int maxLength = 0;  // characters a text box holds; 0: no limit
  std::string_view toolTip = {};
  // What a screen reader calls the control where its caption does not name
  // it (a text box's caption is its text).
  std::string_view accessibleName = {};
  Font font = {};
  std::optional<Rgb> textColour = {};
  // Multi-line with a vertical scroll bar, locked (select and copy only),
  // drawn on the button-face colour.
  bool locked = false;
};

inline constexpr Font kGoFont{"Arial", 8.25, true, true};
inline constexpr Font kBackFont{"Arial", 8.25};

// clang-format off
inline constexpr std::array<ControlLayout, kControlCount> kLayout = {{
  {.id = kLabel1, .name = "Label1", .kind = ControlKind::kLabel, .rect = {120, 45, 3735, 255}, .tabIndex = 0, .caption = "Your screen resolution is:"},
  {.id = kFrame1, .name = "Frame1", .kind = ControlKind::kFrame, .rect = {120, 480, 5055, 1455}, .tabIndex = 1, .caption = "Select the desired testing resolution [pixels]"},
  {.id = OptRes(0), .name = "optRes", .index = 0, .kind = ControlKind::kOption, .container = kFrame1, .rect = {120, 360, 1455, 255}, .tabIndex = 2, .caption = "640 x 480", .value = 1},
  {.id = OptRes(1), .name = "optRes", .index = 1, .kind = ControlKind::kOption, .container = kFrame1, .rect = {120, 720, 1455, 255}, .tabIndex = 3, .caption = "800 x 600"},
  {.id = OptRes(2), .name = "optRes", .index = 2, .kind = ControlKind::kOption, .container = kFrame1, .rect = {120, 1080, 1455, 255}, .tabIndex = 4, .caption = "1024 x 768"},
  {.id = OptRes(3), .name = "optRes", .index = 3, .kind = ControlKind::kOption, .container = kFrame1, .rect = {1560, 360, 1455, 255}, .tabIndex = 5, .caption = "1152 x 864"},
  {.id = OptRes(4), .name = "optRes", .index = 4, .kind = ControlKind::kOption, .container = kFrame1, .rect = {1560, 720, 1455, 255}, .tabIndex = 6, .caption = "1280 x 960"},
  {.id = OptRes(5), .name = "optRes", .index = 5, .kind = ControlKind::kOption, .container = kFrame1, .rect = {1560, 1080, 1455, 255}, .tabIndex = 8, .caption = "1280 x 1024"},
  {.id = OptRes(6), .name = "optRes", .index = 6, .kind = ControlKind::kOption, .container = kFrame1, .rect = {3000, 360, 1455, 255}, .tabIndex = 9, .caption = "1600 x 1200", .enabled = false},
  {.id = OptRes(7), .name = "optRes", .index = 7, .kind = ControlKind::kOption, .container = kFrame1, .rect = {3000, 720, 1455, 255}, .tabIndex = 10, .caption = "Custom"},
  {.id = kLabel4, .name = "Label4", .kind = ControlKind::kLabel, .container = kFrame1, .rect = {3975, 1005, 105, 195}, .tabIndex = 7, .caption = "x", .align = Align::kCenter},
  {.id = kTxtBreit, .name = "txtBreit", .kind = ControlKind::kTextBox, .container = kFrame1, .rect = {3240, 960, 735, 285}, .tabIndex = 11, .caption = "1200", .enabled = false, .align = Align::kRight, .maxLength = 5, .accessibleName = "Custom width"},
  {.id = kTxtHoch, .name = "txtHoch", .kind = ControlKind::kTextBox, .container = kFrame1, .rect = {4080, 960, 735, 285}, .tabIndex = 12, .caption = "900", .enabled = false, .maxLength = 5, .accessibleName = "Custom height"},
  {.id = kFraBorder, .name = "fraBorder", .kind = ControlKind::kFrame, .rect = {120, 2160, 5055, 735}, .tabIndex = 14, .caption = ""},
  {.id = kTxtBorder, .name = "txtBorder", .kind = ControlKind::kTextBox, .container = kFraBorder, .rect = {1515, 375, 375, 285}, .tabIndex = 15, .caption = "3", .align = Align::kRight, .maxLength = 5, .accessibleName = "Border size"},
  {.id = kLabel3, .name = "Label3", .kind = ControlKind::kLabel, .container = kFraBorder, .rect = {120, 420, 1335, 255}, .tabIndex = 16, .caption = "Border size:", .align = Align::kRight},
  {.id = kLabel2, .name = "Label2", .kind = ControlKind::kLabel, .container = kFraBorder, .rect = {1920, 420, 495, 255}, .tabIndex = 17, .caption = "pixels"},
  {.id = kChkBorder, .name = "chkBorder", .kind = ControlKind::kCheckBox, .rect = {240, 2055, 3300, 405}, .tabIndex = 13, .caption = "Add a border in order to get the correct client area size for a maximized window", .value = 1},
  {.id = kFraTask, .name = "fraTask", .kind = ControlKind::kFrame, .rect = {120, 3060, 5055, 855}, .tabIndex = 19, .caption = ""},
  {.id = OptTask(0), .name = "optTask", .index = 0, .kind = ControlKind::kOption, .container = kFraTask, .rect = {360, 240, 1455, 255}, .tabIndex = 20, .caption = "Horizontal or", .value = 1},
  {.id = OptTask(1), .name = "optTask", .index = 1, .kind = ControlKind::kOption, .container = kFraTask, .rect = {1590, 240, 1455, 255}, .tabIndex = 21, .caption = "vertical Taskbar"},
  {.id = kTxtTask, .name = "txtTask", .kind = ControlKind::kTextBox, .container = kFraTask, .rect = {1515, 495, 375, 285}, .tabIndex = 22, .caption = "28", .align = Align::kRight, .maxLength = 5, .accessibleName = "Taskbar size"},
  {.id = kLabel6, .name = "Label6", .kind = ControlKind::kLabel, .container = kFraTask, .rect = {120, 540, 1335, 255}, .tabIndex = 23, .caption = "Taskbar size:", .align = Align::kRight},
  {.id = kLabel5, .name = "Label5", .kind = ControlKind::kLabel, .container = kFraTask, .rect = {1920, 540, 495, 255}, .tabIndex = 24, .caption = "pixels"},
  {.id = kChkTask, .name = "chkTask", .kind = ControlKind::kCheckBox, .rect = {240, 3030, 2535, 255}, .tabIndex = 18, .caption = "Subtract the size of the taskbar", .value = 1},
  {.id = kChkGo, .name = "chkGo", .kind = ControlKind::kPushCheckBox, .rect = {120, 4080, 5055, 495}, .tabIndex = 25, .caption = kGoCaption, .font = kGoFont, .textColour = Rgb{9, 106, 0}},
  {.id = kChkBack, .name = "chkBack", .kind = ControlKind::kPushCheckBox, .rect = {120, 4680, 5055, 375}, .tabIndex = 26, .caption = kBackCaption, .toolTip = "This only works for windows you have resized since this program was started", .font = kBackFont, .textColour = Rgb{64, 0, 64}},
  {.id = kTxtResult, .name = "txtResult", .kind = ControlKind::kTextBox, .rect = {120, 5160, 5055, 495}, .tabIndex = 27, .caption = "Result\r\n", .accessibleName = "Result", .locked = true},
  {.id = kCmdRestoreDefaults, .name = "cmdRestoreDefaults", .kind = ControlKind::kCommandButton, .rect = {3480, 60, 975, 375}, .tabIndex = 28, .caption = "Default", .toolTip = "Restore default settings"},
  {.id = kCmdHelp, .name = "cmdHelp", .kind = ControlKind::kCommandButton, .rect = {4560, 60, 615, 375}, .tabIndex = 29, .caption = "Help"},
}};
// clang-format on

constexpr bool RowsInIdOrder() {
  for (int i = 0; i < kControlCount; ++i) {
    if (kLayout[static_cast<std::size_t>(i)].id != i) {
      return false;
    }
  }
  return true;
}
static_assert(RowsInIdOrder(), "kLayout lists the controls in ControlId order");

constexpr bool EveryTextBoxNamed() {
  for (const ControlLayout& row : kLayout) {
    if (row.kind == ControlKind::kTextBox && row.accessibleName.empty()) {
      return false;
    }
  }
  return true;
}
static_assert(EveryTextBoxNamed(),
              "every text box has an accessibleName (its caption is its text)");

inline const ControlLayout& LayoutOf(ControlId id) { return kLayout[id]; }

}  // namespace pentrax::ui
