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
  std::string Enabled(std::initializer_list<ControlId> ids) const {
    std::string s;
    for (ControlId id : ids) s += form.Enabled(id) ? '1' : '0';
    return s;
  }
  void Tick(double width, double height) {
    const Rect screen{0, 0, static_cast<std::int32_t>(width),
                      static_cast<std::int32_t>(height)};
    view.screens = {width, height, screen, screen, screen};
    form.Timer1_Timer();
  }
};

// Each step: a change by code (value >= 0) or a click (-1), then the preset
// and which of txtBreit, txtHoch, txtBorder, txtTask, optTask are enabled.
TEST_F(ModelTest, EnabledStatesFollowEveryValueChangeWhoeverMakesIt) {
  const std::tuple<ControlId, int, int, const char*> steps[] = {
      {OptRes(7), 1, 7, "111111"},   {OptRes(2), -1, 2, "001111"},
      {OptRes(2), 0, 2, "001111"},   {OptTask(1), -1, 2, "001111"},
      {kChkTask, 0, 2, "001000"},    {kChkTask, 2, 2, "001111"},
      {kChkTask, -1, 2, "001000"},   {kChkBorder, -1, 2, "000000"},
      {kChkBorder, -1, 2, "001000"}, {kChkTask, 1, 2, "001111"},
  };
  for (const auto& [id, value, preset, enabled] : steps) {
    value < 0 ? form.Click(id) : form.SetValue(id, value);
    EXPECT_EQ(form.SelectedPreset, preset) << id;
    EXPECT_EQ(Selected(OptRes(0), 8), preset) << id;
    EXPECT_EQ(Enabled({kTxtBreit, kTxtHoch, kTxtBorder, kTxtTask, OptTask(0),
                       OptTask(1)}),
              enabled)
        << id << " " << value;
  }
  // Nothing else changed; a click never left a box grayed.
  EXPECT_EQ(form.Text(kTxtBreit), "1200");
  EXPECT_EQ(Selected(OptTask(0), 2), 1);
  EXPECT_EQ(form.Value(kChkBorder), 1);
}

TEST_F(ModelTest, NumericFieldsTakeDigitsAndFourEditingCodesAndFiveCharacters) {
  for (int code : {48, 57, 8, 3, 22, 24}) {
    EXPECT_TRUE(form.KeyPress(kTxtBorder, code)) << code;
  }
  EXPECT_FALSE(form.KeyPress(kTxtBorder, 47) || form.KeyPress(kTxtBorder, 58));
  form.TextEdited(kTxtTask, "ab1234567");  // pasted text is not filtered
  EXPECT_EQ(form.Text(kTxtTask), "ab123");
  form.SetText(kTxtBreit, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
  EXPECT_EQ(form.Text(kTxtBreit), "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
  EXPECT_EQ(form.GotFocus(kTxtBreit).length, 5);  // characters, not bytes
}

TEST_F(ModelTest,
       ScreenWatchEnablesByEitherDimensionMovesTheSelectionDownAndRounds) {
  // The preset selected, the screen, then the presets enabled and selected.
  const std::tuple<int, double, double, const char*, int> rows[] = {
      {5, 1024, 768, "11100001", 2}, {2, 1280, 800, "11111101", 2},
      {2, 1600, 900, "11111111", 2}, {4, 600, 400, "00000001", 0},
      {7, 500, 300, "00000001", 7},  {3, 1280, 1024, "11111101", 3},
  };
  for (const auto& [selected, width, height, enabled, after] : rows) {
    form.SetValue(OptRes(selected), 1);
    Tick(width, height);
    EXPECT_EQ(Enabled({OptRes(0), OptRes(1), OptRes(2), OptRes(3), OptRes(4),
                       OptRes(5), OptRes(6), OptRes(7)}),
              enabled)
        << width;
    EXPECT_EQ(Selected(OptRes(0), 8), after) << width;
    EXPECT_EQ(form.SelectedPreset, after) << width;
  }
  // A fractional screen is rounded; the same screen again changes nothing.
  view.changes.clear();
  Tick(1280.5, 1023.5);
  Tick(1280, 1024);
  EXPECT_EQ((Size{form.ScreenWidth, form.ScreenHeight}), (Size{1280, 1024}));
  EXPECT_TRUE(view.changes.empty());
}

TEST_F(ModelTest, WindowIsKeptOnTheScreenWhenTheScreenShrinksOrTheFrameComes) {
  const std::tuple<double, double, Rect, Point> rows[] = {
      {1280, 1024, {100, 100, 453, 485}, {100, 100}},   // fits
      {1024, 768, {900, 600, 1253, 985}, {671, 383}},   // shrank
      {1024, 768, {671, 383, 1026, 793}, {669, 358}},   // framed: 355 x 410
      {1280, 1024, {800, 500, 1155, 910}, {800, 500}},  // grew: left alone
  };
  for (const auto& [width, height, window, placed] : rows) {
    view.window = window;
    Tick(width, height);
    EXPECT_EQ((Point{view.window.left, view.window.top}), placed) << width;
  }
}

// After each step chkGo, chkBack, Timer2's interval and the result box. The
// window picked is the one acted on, whatever is in front when Timer2 fires;
// when none was, the one in front then.
TEST_F(ModelTest, PickAndActCycle) {
  constexpr WindowHandle kOther = 4242, kHelpBox = 77, kBrief = 99;
  wm.Add(kOther, {100, 50, 400, 250}, "Other");
  wm.ownWindows = {kHelpBox};
  form.Timer1_Timer();  // the first tick reads the screen
  form.SetText(kTxtBorder, "03");
  enum Event { kGo, kBack, kTick, kFire, kClose };
  const std::string kStart = "Result\r\n",
                    kSized = "Other\r\nresized to 646 x 458",
                    kNone = "No window was picked: nothing was restored",
                    kGone = "The window you picked is gone: nothing was sized",
                    kRestored = "Other\r\nrestored its original size";
  using State = std::tuple<int, int, int, std::string>;  // go, back, timer2
  const std::tuple<Event, WindowHandle, State> steps[] = {
      {kGo, 100, {1, 0, 0, kStart}},
      {kTick, 100, {1, 0, 0, kStart}},       // Pentrax stays in front
      {kTick, kHelpBox, {1, 0, 0, kStart}},  // its help box too
      {kBack, 100, {0, 1, 0, kStart}},       // never both pressed
      {kGo, 100, {1, 0, 0, kStart}},
      {kTick, kOther, {0, 0, 400, kStart}},  // the pick
      {kFire, 100, {0, 0, 0, kSized}},       // Pentrax in front again by now
      {kBack, 100, {0, 1, 0, kSized}},
      {kTick, 0, {0, 0, 400, kSized}},      // no window in front is a pick too
      {kFire, kHelpBox, {0, 0, 0, kNone}},  // and Pentrax's own after it
      {kGo, 100, {1, 0, 0, kNone}},
      {kTick, kBrief, {0, 0, 400, kNone}},
      {kClose, 100, {0, 0, 400, kNone}},  // the picked window closes
      {kFire, 100, {0, 0, 0, kGone}},
      {kBack, 100, {0, 1, 0, kGone}},
      {kTick, kOther, {0, 0, 400, kGone}},
      {kFire, kHelpBox, {0, 0, 0, kRestored}},
      {kGo, 100, {1, 0, 0, kRestored}},
      {kTick, 0, {0, 0, 400, kRestored}},  // a moment with none in front,
      {kFire, kOther, {0, 0, 0, kSized}},  // then the window activated
      {kGo, 100, {1, 0, 0, kSized}},
      {kGo, 100, {0, 0, 0, kSized}},
  };
  int step = 0;
  for (const auto& [event, front, state] : steps) {
    wm.foreground = front;
    if (event == kTick) wm.Add(kBrief, {0, 0, 50, 50}, "Brief");
    if (event == kTick) form.Timer1_Timer();
    if (event == kFire) form.Timer2_Timer();
    if (event == kClose) wm.windows.erase(kBrief);
    if (event <= kBack) form.Click(event == kGo ? kChkGo : kChkBack);
    EXPECT_EQ(State(form.Value(kChkGo), form.Value(kChkBack), view.timer2,
                    form.Text(kTxtResult)),
              state)
        << step++;
  }
  EXPECT_EQ(form.Text(kTxtBorder), "3");  // pressing chkGo normalised it
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
  wm.foreground = 0;
  form.Timer1_Timer();
  form.Timer2_Timer();
  EXPECT_EQ(form.Text(kTxtResult),
            kNone + "\r\nplacements.json was not Pentrax's");
}

}  // namespace
}  // namespace pentrax::ui
