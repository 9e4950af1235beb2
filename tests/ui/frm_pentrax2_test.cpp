// The main window's behaviour on the model alone: the handlers, the screen
// watch and the pick-and-act cycle, with a window manager and a view in
// memory.
#include "frm_pentrax2.h"

#include <gtest/gtest.h>

#include "fake_form_view.h"
#include "fake_window_manager.h"

namespace pentrax::ui {
namespace {

class ModelTest : public ::testing::Test {
 protected:
  testing::FakeWindowManager wm;
  testing::FakeFormView view;
  FrmPentrax2 form{wm, view};

  int Selected(ControlId first, int count) const {
    for (int i = 0; i < count; ++i) {
      if (form.Value(static_cast<ControlId>(first + i)) == 1) return i;
    }
    return -1;
  }
  std::string EnabledPresets() const {
    std::string s;
    for (int i = 0; i < 7; ++i) s += form.Enabled(OptRes(i)) ? '1' : '0';
    return s;
  }
  void Tick(double width, double height) {
    const Rect screen{0, 0, static_cast<std::int32_t>(width),
                      static_cast<std::int32_t>(height)};
    view.screens = {width, height, screen, screen, screen};
    form.Timer1_Timer();
  }
};

// Each step: a change by code (value >= 0) or the user's click (-1), then
// the selected preset and the enabled state of txtBreit, txtHoch, txtBorder,
// txtTask, optTask(0) and optTask(1).
TEST_F(ModelTest, EnabledStatesFollowEveryValueChangeWhoeverMakesIt) {
  struct Step {
    ControlId id;
    int value;
    int preset;
    const char* enabled;
  };
  const Step steps[] = {
      {OptRes(7), 1, 7, "111111"},   {OptRes(2), -1, 2, "001111"},
      {OptRes(2), 0, 2, "001111"},   {OptTask(1), -1, 2, "001111"},
      {kChkTask, 0, 2, "001000"},    {kChkTask, 2, 2, "001111"},
      {kChkTask, -1, 2, "001000"},   {kChkBorder, -1, 2, "000000"},
      {kChkBorder, -1, 2, "001000"}, {kChkTask, 1, 2, "001111"},
  };
  for (const Step& step : steps) {
    step.value < 0 ? form.Click(step.id) : form.SetValue(step.id, step.value);
    std::string enabled;
    for (ControlId id :
         {kTxtBreit, kTxtHoch, kTxtBorder, kTxtTask, OptTask(0), OptTask(1)}) {
      enabled += form.Enabled(id) ? '1' : '0';
    }
    EXPECT_EQ(form.SelectedPreset, step.preset) << step.id;
    EXPECT_EQ(Selected(OptRes(0), 8), step.preset) << step.id;
    EXPECT_EQ(enabled, step.enabled) << step.id << " " << step.value;
  }
  // Nothing else changed: the custom size texts, the orientation, and a
  // user's click never left a box grayed.
  EXPECT_EQ(form.Text(kTxtBreit), "1200");
  EXPECT_EQ(Selected(OptTask(0), 2), 1);
  EXPECT_EQ(form.Value(kChkBorder), 1);
}

TEST_F(ModelTest, NumericFieldsTakeDigitsAndFourEditingCodesAndFiveCharacters) {
  for (int code : {48, 57, 8, 3, 22, 24}) {
    EXPECT_TRUE(form.KeyPress(kTxtBorder, code)) << code;
  }
  for (int code : {47, 58, 1, 13, 26, 32, 45, 46, 97, 128, 255, 65536}) {
    EXPECT_FALSE(form.KeyPress(kTxtBorder, code)) << code;
  }
  form.TextEdited(kTxtTask, "ab1234567");  // pasted text is not filtered
  EXPECT_EQ(form.Text(kTxtTask), "ab123");
  form.SetText(kTxtBreit, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
  EXPECT_EQ(form.Text(kTxtBreit), "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
  EXPECT_EQ(form.GotFocus(kTxtBreit).length, 5);
  form.SetText(kTxtHoch, "");
  EXPECT_EQ(form.GotFocus(kTxtHoch).start, 0);
  EXPECT_EQ(form.GotFocus(kTxtHoch).length, 0);
}

TEST_F(ModelTest,
       ScreenWatchEnablesByEitherDimensionMovesTheSelectionDownAndRounds) {
  struct Row {
    int selected;
    double width, height;
    const char* enabled;
    int selectedAfter;
  };
  const Row rows[] = {
      {5, 1024, 768, "1110000", 2}, {2, 1280, 800, "1111110", 2},
      {2, 1600, 900, "1111111", 2}, {4, 600, 400, "0000000", 0},
      {7, 500, 300, "0000000", 7},  {3, 1280, 1024, "1111110", 3},
  };
  for (const Row& row : rows) {
    form.SetValue(OptRes(row.selected), 1);
    Tick(row.width, row.height);
    EXPECT_EQ(EnabledPresets(), row.enabled) << row.width;
    EXPECT_EQ(Selected(OptRes(0), 8), row.selectedAfter) << row.width;
    EXPECT_EQ(form.SelectedPreset, row.selectedAfter) << row.width;
  }
  EXPECT_EQ(form.Text(kLabel1), "Your screen resolution is 1280 x 1024");
  EXPECT_TRUE(form.Enabled(OptRes(7)));
  // A fractional screen is stored rounded (halves to the even neighbour);
  // the same screen read again changes nothing.
  view.changes.clear();
  Tick(1280.5, 1023.5);
  Tick(1280, 1024);
  EXPECT_EQ(form.ScreenWidth, 1280);
  EXPECT_EQ(form.ScreenHeight, 1024);
  EXPECT_TRUE(view.changes.empty());
}

TEST_F(ModelTest, WindowIsKeptOnTheScreenWhenTheScreenShrinksOrTheFrameComes) {
  struct Row {
    double width, height;
    Rect window;   // before the tick
    Point placed;  // after it
  };
  const Row rows[] = {
      {1280, 1024, {100, 100, 453, 485}, {100, 100}},   // fits
      {1024, 768, {900, 600, 1253, 985}, {671, 383}},   // shrank
      {1024, 768, {671, 383, 1026, 793}, {669, 358}},   // framed: 355 x 410
      {1280, 1024, {800, 500, 1155, 910}, {800, 500}},  // grew: left alone
  };
  for (const Row& row : rows) {
    view.window = row.window;
    Tick(row.width, row.height);
    EXPECT_EQ(view.window.left, row.placed.x) << row.width;
    EXPECT_EQ(view.window.top, row.placed.y) << row.width;
  }
}

// The cycle as the user drives it; each step then shows chkGo, chkBack,
// Timer2's interval and the result box. The window picked is the window
// acted on, whatever is in front when Timer2 fires.
TEST_F(ModelTest, PickAndActCycle) {
  constexpr WindowHandle kOther = 4242, kHelpBox = 77, kBrief = 99;
  wm.Add(kOther, {100, 50, 400, 250}, "Other");
  wm.ownWindows = {kHelpBox};
  form.Timer1_Timer();  // the first tick reads the screen
  form.SetText(kTxtBorder, "03");
  enum Event { kGo, kBack, kTick, kFire, kClose };
  struct Step {
    Event event;
    WindowHandle front;
    int go, back, timer2;
    const char* result;
  };
  const char* kSized = "Other\r\nresized to 646 x 458";
  const char* kNone = "No window was picked: nothing was restored";
  const char* kGone = "The window you picked is gone: nothing was sized";
  const char* kRestored = "Other\r\nrestored its original size";
  const Step steps[] = {
      {kGo, 100, 1, 0, 0, "Result\r\n"},
      {kTick, 100, 1, 0, 0, "Result\r\n"},       // Pentrax stays in front
      {kTick, kHelpBox, 1, 0, 0, "Result\r\n"},  // its help box too
      {kBack, 100, 0, 1, 0, "Result\r\n"},       // never both pressed
      {kGo, 100, 1, 0, 0, "Result\r\n"},
      {kTick, kOther, 0, 0, 400, "Result\r\n"},  // the pick
      {kTick, kOther, 0, 0, 400, "Result\r\n"},  // arms nothing more
      {kFire, 100, 0, 0, 0, kSized},     // Pentrax in front again by now
      {kFire, kOther, 0, 0, 0, kSized},  // a stray fire acts no more
      {kBack, 100, 0, 1, 0, kSized},
      {kTick, 0, 0, 0, 400, kSized},  // no window in front is a pick too
      {kFire, kOther, 0, 0, 0, kNone},
      {kGo, 100, 1, 0, 0, kNone},
      {kTick, kBrief, 0, 0, 400, kNone},
      {kClose, 100, 0, 0, 400, kNone},  // the picked window closes
      {kFire, 100, 0, 0, 0, kGone},
      {kBack, 100, 0, 1, 0, kGone},
      {kTick, kOther, 0, 0, 400, kGone},
      {kFire, kHelpBox, 0, 0, 0, kRestored},
      {kGo, 100, 1, 0, 0, kRestored},
      {kGo, 100, 0, 0, 0, kRestored},
  };
  int step = 0;
  for (const Step& s : steps) {
    wm.foreground = s.front;
    switch (s.event) {
      case kTick:
        wm.Add(kBrief, {0, 0, 50, 50}, "Brief");
        form.Timer1_Timer();
        break;
      case kFire:
        form.Timer2_Timer();
        break;
      case kClose:
        wm.windows.erase(kBrief);
        break;
      default:
        form.Click(s.event == kGo ? kChkGo : kChkBack);
    }
    EXPECT_EQ(form.Value(kChkGo), s.go) << step;
    EXPECT_EQ(form.Value(kChkBack), s.back) << step;
    EXPECT_EQ(view.timer2, s.timer2) << step;
    EXPECT_EQ(form.Text(kTxtResult), s.result) << step++;
  }
  EXPECT_EQ(form.Text(kTxtBorder), "3");  // pressing chkGo normalised it
  EXPECT_EQ(wm.windows[kOther].placement.rcNormalPosition,
            (Rect{100, 50, 400, 250}));

  // What the shared placements had to say follows the report.
  struct Damaged : LedgerStore {
    ResizedWindowLedger ledger;
    std::string Use(
        const std::function<void(ResizedWindowLedger&)>& use) override {
      use(ledger);
      return "placements.json was not Pentrax's";
    }
  } damaged;
  form.cycle.UseStore(damaged);
  form.Click(kChkBack);
  wm.foreground = kOther;
  form.Timer1_Timer();
  form.Timer2_Timer();
  EXPECT_EQ(form.Text(kTxtResult),
            "Other\r\nis unknown and cannot be sized back\r\n"
            "placements.json was not Pentrax's");
}

}  // namespace
}  // namespace pentrax::ui
