#include "sizing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pentrax {
namespace {

NumericFields Fields(std::string breit, std::string hoch, std::string border,
                     std::string task) {
  return {std::move(breit), std::move(hoch), std::move(border),
          std::move(task)};
}

TEST(NormaliseInputs, RoundsDownMakesPositiveAndLimitsToTheScreen) {
  using Texts = std::vector<std::string>;
  struct Case {
    Texts in;  // txtBreit, txtHoch, txtBorder, txtTask
    std::int32_t screenWidth, screenHeight;
    Texts out;
  };
  const Case cases[] = {
      // -3.5 is rounded down first: -4, then made positive.
      {{"2000", "2000", "", "-3.5"}, 1280, 1024, {"1280", "1024", "0", "4"}},
      {{"1280", "12.9x", "&H1C", " 2 8 "},
       1280,
       1024,
       {"1280", "12", "28", "28"}},
      // The border is limited to the smaller side of the screen and the task
      // bar to the larger, so that no value asks for an absurd window; a
      // value equal to its limit stays.
      {{"9E999", "-9E999", "&HFFFFFFFF", "-9E999"},
       1280,
       1024,
       {"1280", "1024", "1024", "1280"}},
      {{"0", "0", "99999", "21474"}, 1280, 1024, {"0", "0", "1024", "1280"}},
      {{"0", "0", "1024", "1280"}, 1280, 1024, {"0", "0", "1024", "1280"}},
      {{"0", "0", "900", "1400"}, 768, 1366, {"0", "0", "768", "1366"}},
      // Before the first screen reading everything is limited to zero.
      {{"800", "600", "3", "28"}, 0, 0, {"0", "0", "0", "0"}},
  };
  for (const Case& c : cases) {
    NumericFields f = Fields(c.in[0], c.in[1], c.in[2], c.in[3]);
    NormaliseInputs(f, c.screenWidth, c.screenHeight);
    EXPECT_EQ((Texts{f.breit, f.hoch, f.border, f.task}), c.out)
        << c.in[0] << " " << c.in[1] << " " << c.in[2] << " " << c.in[3];
  }
}

SizeChoices Choices(std::int32_t preset, int border, int task,
                    bool horizontal = true) {
  SizeChoices c;
  c.selectedPreset = preset;
  c.fields = Fields("0", "0", "3", "28");
  c.chkBorder = border;
  c.chkTask = task;
  c.taskBarHorizontal = horizontal;
  return c;
}

TEST(TargetSize, PresetsBorderAndTaskBar) {
  EXPECT_EQ(TargetSize(Choices(0, 0, 0)), (Size{640, 480}));
  EXPECT_EQ(TargetSize(Choices(6, 0, 0)), (Size{1600, 1200}));
  EXPECT_EQ(TargetSize(Choices(1, 1, 0)), (Size{806, 606}));
  EXPECT_EQ(TargetSize(Choices(1, 1, 1)), (Size{806, 578}));
  EXPECT_EQ(TargetSize(Choices(1, 1, 1, false)), (Size{778, 606}));
  EXPECT_EQ(TargetSize(Choices(0, 1, 1)), (Size{646, 458}));
  EXPECT_EQ(TargetSize(Choices(2, 1, 1)), (Size{1030, 746}));
  // The grayed state (2) does not count as checked.
  EXPECT_EQ(TargetSize(Choices(1, 2, 2)), (Size{800, 600}));
  // A negative index falls back to the first preset.
  EXPECT_EQ(TargetSize(Choices(-1, 0, 0)), (Size{640, 480}));
}

TEST(TargetSize, CustomSizeAndTheMinimum) {
  SizeChoices c = Choices(kCustomPreset, 0, 0);
  c.fields.breit = "0";
  c.fields.hoch = "";
  EXPECT_EQ(TargetSize(c), (Size{16, 16}));
  c.fields.breit = "1000";
  c.fields.hoch = "700";
  EXPECT_EQ(TargetSize(c), (Size{1000, 700}));
  c.chkTask = 1;
  c.fields.task = "690";
  EXPECT_EQ(TargetSize(c), (Size{1000, 16}));
  c.selectedPreset = 99;  // anything from 7 up is "Custom"
  EXPECT_EQ(TargetSize(c), (Size{1000, 16}));
}

TEST(TargetSize, HugeFieldsClampInsteadOfOverflowing) {
  SizeChoices c = Choices(kCustomPreset, 1, 1);
  c.fields = Fields("2147483647", "2147483647", "2147483647", "2147483647");
  EXPECT_EQ(TargetSize(c), (Size{2147483647, 2147483647}));
  c.taskBarHorizontal = false;
  c.fields.hoch = "0";
  EXPECT_EQ(TargetSize(c).height, 2147483647);
}

TEST(FitIntoWorkArea, KeepsMovesOrPinsTheWindow) {
  const Rect area{0, 0, 1024, 994};
  // Fits: stays where it is.
  EXPECT_EQ(FitIntoWorkArea(100, 50, {600, 400}, area),
            (Rect{100, 50, 700, 450}));
  // Too far right: moved left just enough; exactly at the edge: kept.
  EXPECT_EQ(FitIntoWorkArea(500, 0, {800, 600}, area).left, 224);
  EXPECT_EQ(FitIntoWorkArea(224, 0, {800, 600}, area).left, 224);
  // Too low: moved up.
  EXPECT_EQ(FitIntoWorkArea(0, 900, {800, 600}, area).top, 394);
  // Larger than the work area: starts at 0 and reaches past the edge.
  EXPECT_EQ(FitIntoWorkArea(300, 300, {2000, 1200}, area),
            (Rect{0, 0, 2000, 1200}));
  // Left of or above the work area: pulled in.
  EXPECT_EQ(FitIntoWorkArea(-50, -20, {100, 100}, area),
            (Rect{0, 0, 100, 100}));
  // An unknown work area (zeros) places the window at (0, 0).
  EXPECT_EQ(FitIntoWorkArea(300, 300, {640, 480}, Rect{}),
            (Rect{0, 0, 640, 480}));
  // A work area that does not start at the origin (a second monitor, a
  // task bar at the top or left): kept inside it on every side.
  const Rect second{1280, 28, 2560, 1024};
  EXPECT_EQ(FitIntoWorkArea(2200, 700, {646, 458}, second),
            (Rect{1914, 566, 2560, 1024}));
  EXPECT_EQ(FitIntoWorkArea(1000, 0, {646, 458}, second),
            (Rect{1280, 28, 1926, 486}));
  // No overflow at the ends of the range.
  EXPECT_EQ(FitIntoWorkArea(2147483647, 0, {2147483647, 16}, area).left, 0);
}

}  // namespace
}  // namespace pentrax
