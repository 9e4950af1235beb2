// Loading and saving the user's choices and the "Default" button, on the
// model with a store in memory (one 1280 x 1024 screen, a 353 x 385 window).
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
  void Write(const std::string& key, const std::string& value) override {
    values[key] = value;
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

// The design values of a first start, which the Default button brings back
// but for the custom size.
void ExpectDesignValues(const FrmPentrax2& form) {
  EXPECT_EQ(form.Value(OptRes(0)), 1);
  EXPECT_EQ(form.SelectedPreset, 0);
  EXPECT_EQ(form.Value(OptTask(0)), 1);
  EXPECT_EQ(form.Value(kChkBorder), 1);
  EXPECT_EQ(form.Value(kChkTask), 1);
  EXPECT_TRUE(form.Enabled(kTxtBorder) && form.Enabled(kTxtTask));
  EXPECT_FALSE(form.Enabled(kTxtBreit) || form.Enabled(kTxtHoch));
  EXPECT_EQ(form.Text(kTxtBorder), "3");
  EXPECT_EQ(form.Text(kTxtTask), "28");
}

TEST_F(SettingsTest, FirstStartThenUnloadThenLoadRestoresEveryValue) {
  {
    const auto form = Load();  // nothing stored: the design values
    ExpectDesignValues(*form);
    EXPECT_EQ(form->Text(kTxtBreit) + "x" + form->Text(kTxtHoch), "1200x900");
    EXPECT_EQ(view.window, (Rect{100, 100, 453, 485}));  // not moved
    form->SetValue(OptRes(7), 1);
    form->SetText(kTxtBreit, "800");
    form->SetText(kTxtHoch, "600");
    form->SetValue(kChkBorder, 0);
    form->SetText(kTxtBorder, "5");
    form->SetValue(kChkTask, 2);
    form->SetText(kTxtTask, "40");
    form->SetValue(OptTask(1), 1);
    // Saved at once: what a command reads meanwhile.
    EXPECT_EQ(TargetSize(SavedChoices(store, wm, 1280, 1024)),
              (Size{800, 600}));
    view.window = {200, 50, 553, 435};
    form->Close();
  }
  const std::map<std::string, std::string> saved = {{"SelectedResolution", "7"},
                                                    {"CustomWidth", "800"},
                                                    {"CustomHeight", "600"},
                                                    {"AddBorder", "0"},
                                                    {"Border", "5"},
                                                    {"SubtractTaskBar", "2"},
                                                    {"TaskBar", "40"},
                                                    {"TaskBarOrientation", "1"},
                                                    {"PosLeft", "3000"},
                                                    {"PosTop", "750"}};
  EXPECT_EQ(store.values, saved);

  // Loaded again, every value comes back: closing saves the same again.
  view.window = {100, 100, 453, 485};
  const auto form = Load();
  EXPECT_EQ(view.window, (Rect{200, 50, 553, 435}));
  EXPECT_FALSE(form->Enabled(kTxtBorder));
  store.values.clear();
  form->Close();
  EXPECT_EQ(store.values, saved);
}

TEST_F(SettingsTest, StoredTextsAreReadByTheirLeadingNumber) {
  struct Row {
    const char* key;
    const char* stored;
    ControlId control;
    const char* shown;  // the text of a text box, else the value
  };
  const Row rows[] = {
      {"CustomWidth", "00640", kTxtBreit, "640"},
      {"CustomHeight", "480px", kTxtHoch, "480"},
      {"Border", "", kTxtBorder, "0"},  // present but empty: not the default
      {"TaskBar", "&H1C", kTxtTask, "28"},
      {"AddBorder", "2", kChkBorder, "2"},          // grayed
      {"SelectedResolution", "6", OptRes(6), "1"},  // larger than the screen
      {"TaskBarOrientation", "1", OptTask(1), "1"},
      // Values only a hand-edited store holds fall back to the default.
      {"SelectedResolution", "9", OptRes(0), "1"},
      {"SelectedResolution", "-1", OptRes(0), "1"},
      {"TaskBarOrientation", "2", OptTask(0), "1"},
      {"AddBorder", "5", kChkBorder, "1"},
      {"SubtractTaskBar", "-1", kChkTask, "1"},
      {"Border", "9E999", kTxtBorder, "3"},
      {"TaskBar", "-9E999", kTxtTask, "28"},
      {"CustomHeight", "1e400", kTxtHoch, "900"},
  };
  for (const Row& row : rows) {
    store.values = {{row.key, row.stored}};
    const auto form = Load();
    const bool text = kLayout[row.control].kind == ControlKind::kTextBox;
    EXPECT_EQ(text ? form->Text(row.control)
                   : std::to_string(form->Value(row.control)),
              row.shown)
        << row.key << "=" << row.stored;
  }
}

TEST_F(SettingsTest, PositionIsBroughtBackAtTheRightAndBottomEdgesOnly) {
  // Flush with the 1280 x 1024 screen: 927 x 639 pixels, in twips.
  struct Row {
    const char* left;
    const char* top;
    Point placed;
  };
  const Row rows[] = {
      {"16905", "9600", {927, 639}},  // beyond: brought back
      {"13905", "9585", {927, 639}},  // flush: stays
      {"-300", "-150", {-20, -10}},   // negative: applied
      {"1e300", "-1e7", {100, 100}},  // out of every screen: not used
      {"-99999999999", "x", {100, 0}},
  };
  for (const Row& row : rows) {
    view.window = {100, 100, 453, 485};
    store.values = {{"PosLeft", row.left}, {"PosTop", row.top}};
    Load();
    EXPECT_EQ(view.window.left, row.placed.x) << row.left;
    EXPECT_EQ(view.window.top, row.placed.y) << row.top;
  }
}

TEST_F(SettingsTest,
       DefaultButtonRestoresTheDesignValuesAndKeepsTheCustomSize) {
  const auto form = Load();
  form->SetValue(OptRes(7), 1);
  form->SetText(kTxtBreit, "800");
  form->SetText(kTxtHoch, "-5x");
  form->SetValue(kChkBorder, 0);
  form->SetValue(kChkTask, 0);
  form->SetText(kTxtBorder, "9");
  form->SetText(kTxtTask, "44");
  form->SetValue(OptTask(1), 1);
  form->SetText(kTxtResult, "kept");
  form->Timer1_Timer();
  form->Click(kChkGo);
  view.window = {120, 80, 473, 465};

  for (int click = 0; click < 2; ++click) {  // a second click changes nothing
    form->Click(kCmdRestoreDefaults);
    ExpectDesignValues(*form);
    EXPECT_EQ(form->Text(kTxtBreit), "800");
    EXPECT_EQ(form->Text(kTxtHoch), "5");  // cleaned: sign and junk go
    // Left alone: position, result, push buttons; the choices saved.
    EXPECT_EQ(view.window, (Rect{120, 80, 473, 465}));
    EXPECT_EQ(form->Text(kTxtResult), "kept");
    EXPECT_EQ(form->Value(kChkGo), 1);
    EXPECT_EQ(store.values.count(kPosLeft), 0u);
    EXPECT_EQ(store.values.at(kSelectedResolution), "0");
  }
  form->SetText(kTxtBreit, "2.5");  // a fraction stays
  form->SetText(kTxtHoch, "");
  form->Click(kCmdRestoreDefaults);
  EXPECT_EQ(form->Text(kTxtBreit), "2.5");
  EXPECT_EQ(form->Text(kTxtHoch), "0");
}

}  // namespace
}  // namespace pentrax::settings
