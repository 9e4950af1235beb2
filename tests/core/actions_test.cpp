#include "actions.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fake_window_manager.h"

namespace pentrax {
namespace {

using testing::FakeWindow;
using testing::FakeWindowManager;

constexpr WindowHandle kA = 200;
constexpr WindowHandle kB = 300;

class ActionsTest : public ::testing::Test {
 protected:
  FakeWindowManager wm;
  ResizedWindowLedger ledger;
  SizeChoices choices;

  void SetUp() override { choices.fields = {"0", "0", "3", "28"}; }

  std::string Size(WindowHandle h) {
    return SizeAction({wm, ledger, h}, choices, 1280, 1024);
  }
  std::string Restore(WindowHandle h) { return RestoreAction({wm, ledger, h}); }
  Rect RectOf(WindowHandle h) {
    return wm.windows[h].placement.rcNormalPosition;
  }
};

// The fitting itself is FitIntoWorkArea's; the backends' suites fit into
// real work areas. An unreadable one leaves the window where it is.
TEST_F(ActionsTest, AnUnknownWorkAreaLeavesTheWindowWhereItIs) {
  wm.workAreaKnown = false;
  wm.Add(kA, {500, 400, 600, 500});
  choices.selectedPreset = 1;
  Size(kA);
  EXPECT_EQ(RectOf(kA), (Rect{500, 400, 1300, 1000}));
}

// Every action that cannot act says why (a restore as a sizing does, but
// "restored" for "sized"); a failed sizing keeps what the ledger remembered
// from before an earlier sizing.
TEST_F(ActionsTest, AnActionThatCannotActSaysWhy) {
  constexpr WindowHandle kGone = 400;
  // picked, what did not answer at the pick and later, reads and writes fail
  const std::tuple<WindowHandle, const char*, const char*, bool, bool,
                   std::string>
      rows[] = {
          {0, "", "", false, false, "No window was picked: nothing was sized"},
          {-5, "", "", false, false, "No window was picked: nothing was sized"},
          {0, "sway", "", false, false,
           "sway did not answer: nothing was sized. Try again."},
          {kGone, "", "", false, false,
           "The window you picked is gone: nothing was sized"},
          {kA, "", "KWin", true, false,
           "KWin did not answer: nothing was sized. Try again."},
          {kA, "", "", true, false, "A\r\ncould not be sized"},
          {kA, "", "", false, true, "A\r\ncould not be sized"},
      };
  for (const auto& [picked, atPick, later, reads, writes, sized] : rows) {
    SCOPED_TRACE(sized);
    ledger = {};
    FakeWindow& a = wm.Add(kA, {10, 20, 110, 120}, "A");
    choices.selectedPreset = 0;
    ASSERT_EQ(Size(kA), "A\r\nresized to 640 x 480");  // remembered
    a.failReads = reads;
    a.failWrites = writes;
    wm.notAnswering = later;
    choices.selectedPreset = 1;
    const ActionContext ctx{wm, ledger, picked, atPick};
    EXPECT_EQ(SizeAction(ctx, choices, 1280, 1024), sized);
    EXPECT_EQ(RectOf(kA).width(), 640);
    std::string restored = sized;
    restored.replace(restored.rfind("sized"), 5, "restored");
    EXPECT_EQ(RestoreAction(ctx), restored);
    a.failReads = a.failWrites = false;
    wm.notAnswering.clear();
    EXPECT_EQ(Restore(kA), "A\r\nrestored its original size");
    EXPECT_EQ(RectOf(kA), (Rect{10, 20, 110, 120}));
  }
}

TEST_F(ActionsTest, FailedReadBackStillSizesAndRemembersAndSaysSo) {
  struct FailSecondRead : FakeWindowManager {
    int reads = 0;
    int GetWindowPlacement(WindowHandle h, WindowPlacement& p) override {
      return ++reads == 2 ? 0 : FakeWindowManager::GetWindowPlacement(h, p);
    }
  } flaky;
  flaky.Add(kA, {0, 0, 100, 100}, "A");
  EXPECT_EQ(SizeAction({flaky, ledger, kA}, choices, 1280, 1024),
            "A\r\nwas resized, but its new size could not be read");
  EXPECT_EQ(flaky.writes.size(), 1u);
  EXPECT_EQ(ledger.entries().size(), 1u);
}

TEST_F(ActionsTest, LedgerStateTable) {
  wm.Add(kA, {10, 20, 110, 120}, "A");
  wm.Add(kB, {30, 40, 230, 240}, "B", kShowMaximized);

  // Not listed: restore reports it and adds nothing.
  EXPECT_EQ(Restore(kA), "A\r\nis unknown and cannot be sized back");
  EXPECT_TRUE(ledger.entries().empty());

  // Size A twice: A returns to the size the first sizing gave it.
  Size(kA);
  choices.selectedPreset = 1;
  Size(kA);
  EXPECT_EQ(Restore(kA), "A\r\nrestored its original size");
  EXPECT_EQ(RectOf(kA), (Rect{10, 20, 650, 500}));

  // Restore twice: the second leaves the window alone.
  const std::size_t writes = wm.writes.size();
  EXPECT_EQ(Restore(kA), "A\r\noriginal size has already been restored");
  EXPECT_EQ(wm.writes.size(), writes);

  // Sized again after a restore: restorable again, to the new "before".
  Size(kA);
  EXPECT_EQ(Restore(kA), "A\r\nrestored its original size");
  EXPECT_EQ(RectOf(kA), (Rect{10, 20, 650, 500}));

  // B was maximised: it comes back maximised with its old normal rectangle;
  // its entry is found though it is not the first; sizing A again adds none.
  Size(kB);
  EXPECT_EQ(wm.windows[kB].placement.showCmd, kShowNormal);
  Size(kA);
  EXPECT_EQ(Restore(kB), "B\r\nrestored its original size");
  EXPECT_EQ(wm.windows[kB].placement.showCmd, kShowMaximized);
  EXPECT_EQ(RectOf(kB), (Rect{30, 40, 230, 240}));
  EXPECT_EQ(ledger.entries().size(), 2u);
}

TEST_F(ActionsTest, AReusedHandleIsNotTheWindowThatWasSized) {
  wm.Add(kA, {10, 20, 110, 120}, "xclock").identity = "pid 1, class xclock";
  Size(kA);
  // The window closes and a stranger gets its handle.
  FakeWindow& stranger = wm.Add(kA, {500, 500, 900, 900}, "xterm");
  stranger.identity = "pid 2, class xterm";
  const std::size_t writes = wm.writes.size();
  EXPECT_EQ(Restore(kA), "xterm\r\nis unknown and cannot be sized back");
  EXPECT_EQ(wm.writes.size(), writes);
  // Sizing the newcomer takes over the entry.
  Size(kA);
  EXPECT_EQ(ledger.entries().size(), 1u);
  EXPECT_EQ(Restore(kA), "xterm\r\nrestored its original size");
  EXPECT_EQ(RectOf(kA), (Rect{500, 500, 900, 900}));
}

TEST(CleanTitle, TrimsTheBufferDropsTheNulAndBlanksControlCharacters) {
  auto buffer = [](const std::string& title) {
    std::string b(kTitleBufferSize, ' ');
    b.replace(0, title.size(), title);
    b[title.size()] = '\0';
    return b;
  };
  const std::pair<std::string, std::string> rows[] = {
      {"  Editor", "Editor"},
      {"Editor  ", "Editor  "},  // the NUL stands between them and the fill
      {"", ""},
      {std::string(255, 'x'), std::string(255, 'x')},
      {"a\r\nb\x1b[2J\x07\tc\x7f", "a  b [2J  c "},
      {"\nTitle\r", "Title "},
      {"Caf\xC3\xA9", "Caf\xC3\xA9"},
      // U+0085, U+2028 and U+2029 break lines too.
      {"a\u0085b\u2028c\u2029d", "a b c d"},
      // Embeddings, overrides and isolates (U+202E, U+202A, U+2067, U+2069)
      // go; marks (U+200F) stay, they open nothing.
      {"\u202Eabc\u202Ad\u2067e\u2069\u200F", "abcde\u200F"},
  };
  for (const auto& [title, clean] : rows) {
    EXPECT_EQ(CleanTitle(buffer(title)), clean) << title;
  }
  EXPECT_EQ(CleanTitle(std::string(kTitleBufferSize, ' ')), "");
}

}  // namespace
}  // namespace pentrax
