#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "actions.h"
#include "fake_window_manager.h"
#include "numbers.h"
#include "sizing.h"

namespace pentrax {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfAText) {
  // clang-format off
  const std::pair<const char*, double> table[] = {
      {"", 0}, {"abc", 0}, {"640", 640}, {"  12  ", 12}, {"1 2 3", 123},
      {"\t4\n5", 45}, {"12abc", 12}, {"-7", -7}, {"+7", 7}, {"- 7", -7},
      {"3.75", 3.75}, {".5", 0.5}, {"5.", 5}, {"1.2.3", 1.2}, {"1,5", 1},
      {"1e3", 1000}, {"1E+2", 100}, {"25e-1", 2.5}, {"2e", 2}, {"2e+", 2},
      {"2ex", 2}, {"&H1F", 31}, {"&hff", 255}, {"&O17", 15}, {"&o8", 0},
      {"&H", 0}, {"&Hzz", 0}, {"&X10", 0}, {"-&H10", 0}, {"&H 1 0", 16},
      {"--5", 0}, {"+-5", 0}, {".", 0}, {"-", 0}, {"0x10", 0}, {"\r5", 0},
      {"1e-999", 0}, {"&HFFFFFFFF", 4294967295.0}, {"9E999", HUGE_VAL}, {"-9E999", -HUGE_VAL},
  };
  // clang-format on
  for (const auto& [text, value] : table) {
    EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << '"' << text << '"';
  }
  EXPECT_EQ(LeadingNumber(std::string(400, '9')), HUGE_VAL);
  EXPECT_GT(LeadingNumber("&H" + std::string(300, 'F')), 1e300);
  EXPECT_EQ(NumberToText(-0.0) + NumberToText(2.5, ','), "02,5");
}

TEST(NormaliseInputs, RoundsDownMakesPositiveAndLimitsToTheScreen) {
  // txtBreit, txtHoch, txtBorder, txtTask; the border kept to the screen's
  // smaller side, the task bar to its larger.
  using Texts = std::vector<std::string>;
  // clang-format off
  const std::tuple<Texts, std::int32_t, std::int32_t, Texts> cases[] = {
      {{"2000", "2000", "", "-3.5"}, 1280, 1024, {"1280", "1024", "0", "4"}},  // floor first
      {{"1280", "12.9x", "&H1C", " 2 8 "}, 1280, 1024, {"1280", "12", "28", "28"}},
      {{"9E999", "-9E999", "&HFFFFFFFF", "-9E999"}, 1280, 1024, {"1280", "1024", "1024", "1280"}},
      {{"0", "0", "1024", "1280"}, 1280, 1024, {"0", "0", "1024", "1280"}},  // at the limit
      {{"0", "0", "900", "1400"}, 768, 1366, {"0", "0", "768", "1366"}},
      {{"800", "600", "3", "99999"}, 0, 0, {"0", "0", "3", "99999"}},  // no screen yet
  };
  // clang-format on
  for (const auto& [in, screenWidth, screenHeight, out] : cases) {
    NumericFields f{in[0], in[1], in[2], in[3]};
    NormaliseInputs(f, screenWidth, screenHeight);
    EXPECT_EQ((Texts{f.breit, f.hoch, f.border, f.task}), out) << in[0];
  }
}

TEST(TargetSize, PresetOrCustomPlusBorderLessTaskBarAndAtLeast16) {
  const std::string kHuge = "2147483647";
  const NumericFields usual{"0", "0", "3", "28"},
      wide{"1000", "700", "3", "690"};
  // clang-format off
  const std::pair<SizeChoices, Size> cases[] = {
      {{0, usual, 0, 0, true}, {640, 480}},
      {{6, usual, 0, 0, true}, {1600, 1200}},
      {{1, usual, 1, 0, true}, {806, 606}},
      {{1, usual, 1, 1, true}, {806, 578}},  // the border first, then the task bar
      {{1, usual, 1, 1, false}, {778, 606}},
      {{1, usual, 2, 2, true}, {800, 600}},  // the grayed state is not checked
      {{-1, usual, 0, 0, true}, {640, 480}},  // no button: the first preset
      {{kCustomPreset, {"0", "", "3", "28"}, 0, 0, true}, {16, 16}},
      {{kCustomPreset, wide, 0, 0, true}, {1000, 700}},
      {{kCustomPreset, wide, 0, 1, true}, {1000, 16}},
      {{99, wide, 0, 1, true}, {1000, 16}},  // 7 and up: "Custom"
      {{kCustomPreset, {kHuge, kHuge, kHuge, kHuge}, 1, 1, true}, {2147483647, 2147483647}},  // clamped
  };
  // clang-format on
  for (const auto& [choices, size] : cases) {
    const Size got = TargetSize(choices);
    EXPECT_EQ(got, size) << "preset " << choices.selectedPreset << ": "
                         << got.width << " x " << got.height;
  }
}

TEST(FitIntoWorkArea, KeepsMovesOrPinsTheWindow) {
  const Rect area{0, 0, 1024, 994}, second{1280, 28, 2560, 1024};
  // The window's top-left corner and size, the work area, the placement.
  // clang-format off
  const std::tuple<std::int32_t, std::int32_t, Size, Rect, Rect> cases[] = {
      {100, 50, {600, 400}, area, {100, 50, 700, 450}},    // fits: stays
      {500, 0, {800, 600}, area, {224, 0, 1024, 600}},     // moved left just enough
      {224, 0, {800, 600}, area, {224, 0, 1024, 600}},     // at the edge: kept
      {300, 300, {2000, 1200}, area, {0, 0, 2000, 1200}},  // too large: from 0
      {-50, -20, {100, 100}, area, {0, 0, 100, 100}},      // pulled in
      {2200, 700, {646, 458}, second, {1914, 566, 2560, 1024}},  // 2nd monitor
      {1000, 0, {646, 458}, second, {1280, 28, 1926, 486}},
      {2147483647, 0, {2147483647, 16}, area, {0, 0, 2147483647, 16}},  // no overflow
  };
  // clang-format on
  for (const auto& [left, top, size, in, placed] : cases) {
    EXPECT_EQ(FitIntoWorkArea(left, top, size, in), placed)
        << left << "," << top;
  }
}

// The buttons' report says why nothing was done: the backend refuses the
// window outright (not "gone"), or the desktop was silent at the pick.
TEST(Actions, NothingDoneSaysWhy) {
  testing::FakeWindowManager wm;
  ResizedWindowLedger ledger;
  SizeChoices choices;
  wm.Add(5, {}, "").readsBeforeGone = 0;
  wm.why[5] = "is shared";
  EXPECT_EQ(CheckTarget(wm, 5), Refusal::kNotListed);  // commands say why
  EXPECT_EQ(SizeAction({wm, ledger, 5}, choices, 1280, 1024),
            "The window you picked is shared: nothing was sized");
  EXPECT_EQ(RestoreAction({wm, ledger, 0, "sway"}),
            "sway did not answer: nothing was restored. Try again.");
}

TEST(CleanTitle, TrimsTheBufferDropsTheNulAndBlanksControlCharacters) {
  auto buffer = [](const std::string& title) {
    std::string b(kTitleBufferSize, ' ');
    b.replace(0, title.size(), title);
    b[title.size()] = '\0';
    return b;
  };
  // C1 controls (U+0085, CSI, OSC, also as lone bytes) and line separators
  // blank; bidi embeddings, overrides and isolates go; marks open nothing.
  // clang-format off
  const std::pair<std::string, std::string> rows[] = {
      {"  Editor", "Editor"},
      {"Editor  ", "Editor  "},  // the NUL stands between them and the fill
      {"", ""},
      {std::string(255, 'x'), std::string(255, 'x')},
      {"a\r\nb\x1b[2J\x07\tc\x7f", "a  b [2J  c "},
      {"\nTitle\r", "Title "},
      {"Caf\xC3\xA9", "Caf\xC3\xA9"},
      {"a\u0085b\u2028c\u2029d", "a b c d"},
      {"\xF0\x9F\x93\x90", "\xF0\x9F\x93\x90"},  // four bytes, 0x9F among them
      {"a\xC2\x9B" "31mb\x9D" "0;x\x9B" "2J", "a 31mb 0;x 2J"},
      {"\u202Eabc\u202Ad\u2067e\u2069\u200F", "abcde\u200F"},
  };
  // clang-format on
  for (const auto& [title, clean] : rows) {
    EXPECT_EQ(CleanTitle(buffer(title)), clean) << title;
  }
  EXPECT_EQ(CleanTitle(std::string(kTitleBufferSize, ' ')), "");
}

}  // namespace
}  // namespace pentrax
