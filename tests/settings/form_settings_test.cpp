#include "form_settings.h"

#include <gtest/gtest.h>

#include <map>

#include "fake_form_view.h"
#include "fake_window_manager.h"

namespace pentrax::settings {
namespace {

using namespace ui;  // the control names

struct MemoryStore : SettingsStore {
  std::map<std::string, std::string> values;
  std::string Read(const std::string& key, const std::string& d) override {
    const auto it = values.find(key);
    return it == values.end() ? d : it->second;
  }
  void Write(const std::string& k, const std::string& v) override {
    values[k] = v;
  }
  bool Flush() override { return true; }
};

class SettingsTest : public ::testing::Test {
 protected:
  testing::FakeWindowManager wm;
  testing::FakeFormView view;
  MemoryStore store;

  std::unique_ptr<FrmPentrax2> Load() {
    auto form = std::make_unique<FrmPentrax2>(wm, view);
    Attach(*form, store);
    return form;
  }
};

// A first start's values, which Default brings back but the custom size.
void ExpectDesignValues(const FrmPentrax2& f) {
  EXPECT_TRUE(f.Value(OptRes(0)) == 1 && f.SelectedPreset == 0 &&
              f.Value(OptTask(0)) == 1 && f.Value(kChkBorder) == 1 &&
              f.Value(kChkTask) == 1 && f.Enabled(kTxtBorder) &&
              f.Enabled(kTxtTask) && !f.Enabled(kTxtBreit) &&
              !f.Enabled(kTxtHoch));
  EXPECT_EQ(f.Text(kTxtBorder) + " " + f.Text(kTxtTask), "3 28");
}

TEST_F(SettingsTest, EveryValueSurvivesARestartAndDefaultBringsBackTheDesign) {
  {
    const auto form = Load();
    ExpectDesignValues(*form);
    EXPECT_EQ(form->Text(kTxtBreit) + "x" + form->Text(kTxtHoch), "1200x900");
    form->SetValue(OptRes(7), 1);
    form->SetValue(kChkBorder, 0);
    form->SetValue(kChkTask, 2);
    form->SetValue(OptTask(1), 1);
    form->SetText(kTxtBreit, "800");
    form->SetText(kTxtHoch, "600");
    form->SetText(kTxtBorder, "5");
    form->SetText(kTxtTask, "40");
    EXPECT_EQ(TargetSize(SavedChoices(store, wm, 1280, 1024)),
              (Size{800, 600}));  // saved at once: what a command reads
    view.window = {200, 50, 553, 435};
    form->Close();
  }
  // clang-format off
  const std::map<std::string, std::string> saved = {
      {"SelectedResolution", "7"}, {"CustomWidth", "800"}, {"CustomHeight", "600"},
      {"AddBorder", "0"}, {"Border", "5"}, {"SubtractTaskBar", "2"}, {"TaskBar", "40"},
      {"TaskBarOrientation", "1"}, {"PosLeft", "3000"}, {"PosTop", "750"}};
  // clang-format on
  EXPECT_EQ(store.values, saved);

  // Loaded again, every value comes back: closing saves the same again.
  view.window = {100, 100, 453, 485};
  {
    const auto form = Load();
    EXPECT_EQ(view.window, (Rect{200, 50, 553, 435}));
    store.values.clear();
    form->Close();
    EXPECT_EQ(store.values, saved);
  }

  // Default: the design values, not the loaded ones, but the custom size,
  // cleaned; the place, the result and the push buttons stay.
  const auto form = Load();
  form->SetText(kTxtResult, "kept");
  form->Timer1_Timer();
  form->Click(kChkGo);
  form->SetText(kTxtHoch, "-5x");
  store.values.clear();
  for (int click = 0; click < 2; ++click) {  // a second click changes nothing
    form->Click(kCmdRestoreDefaults);
    ExpectDesignValues(*form);
    EXPECT_EQ(form->Text(kTxtBreit) + "x" + form->Text(kTxtHoch), "800x5");
    EXPECT_EQ(view.window, (Rect{200, 50, 553, 435}));
    EXPECT_EQ(form->Text(kTxtResult), "kept");
    EXPECT_EQ(form->Value(kChkGo), 1);
    EXPECT_EQ(store.values.count(kPosLeft), 0u);
    EXPECT_EQ(store.values.at(kSelectedResolution), "0");
  }
  form->SetText(kTxtBreit, "2.5");  // a fraction stays
  form->SetText(kTxtHoch, "");
  form->Click(kCmdRestoreDefaults);
  EXPECT_EQ(form->Text(kTxtBreit) + "x" + form->Text(kTxtHoch), "2.5x0");
}

TEST_F(SettingsTest, StoredTextsAreReadByTheirLeadingNumber) {
  const std::tuple<const char*, const char*, ControlId, const char*> rows[] = {
      {"Border", "", kTxtBorder, "0"},  // present but empty: not the default
      {"TaskBar", "&H1C", kTxtTask, "28"},
      {"SelectedResolution", "6", OptRes(6), "1"},  // larger than the screen
      {"SelectedResolution", "9", OptRes(0), "1"},  // hand-edited: the default
      {"SelectedResolution", "-1", OptRes(0), "1"},
      {"AddBorder", "5", kChkBorder, "1"},
      {"TaskBar", "-9E999", kTxtTask, "28"},
      {"CustomHeight", "1e400", kTxtHoch, "900"},
  };
  for (const auto& [key, stored, control, shown] : rows) {
    store.values = {{key, stored}};
    const auto form = Load();
    const bool text = kLayout[control].kind == ControlKind::kTextBox;
    EXPECT_EQ(text ? form->Text(control) : std::to_string(form->Value(control)),
              shown)
        << key << "=" << stored;
  }
}

TEST_F(SettingsTest, PositionIsBroughtBackAtTheRightAndBottomEdgesOnly) {
  // Flush with the 1280 x 1024 screen: 927 x 639 pixels, in twips.
  const std::tuple<const char*, const char*, Point> rows[] = {
      {"16905", "9600", {927, 639}},  // beyond: brought back
      {"13905", "9585", {927, 639}},  // flush: stays
      {"1e300", "-1e7", {100, 100}},  // out of every screen: not used
      {"-99999999999", "x", {100, 0}},
  };
  for (const auto& [left, top, placed] : rows) {
    view.window = {100, 100, 453, 485};
    store.values = {{"PosLeft", left}, {"PosTop", top}};
    Load();
    EXPECT_EQ((Point{view.window.left, view.window.top}), placed) << left;
  }
}

}  // namespace
}  // namespace pentrax::settings
