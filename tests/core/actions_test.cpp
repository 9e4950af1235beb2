#include "actions.h"

#include <gtest/gtest.h>

#include "fake_window_manager.h"

namespace pentrax {
namespace {

// The buttons' report says why nothing was done: the backend refuses the
// window outright (not "gone"), or nothing was picked as the desktop was
// silent.
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
