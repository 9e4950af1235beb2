#include "actions.h"

#include <gtest/gtest.h>

#include "fake_window_manager.h"

namespace pentrax {
namespace {

using testing::FakeWindow;
using testing::FakeWindowManager;

constexpr WindowHandle kOwn = 100;
constexpr WindowHandle kA = 200;
constexpr WindowHandle kB = 300;

class ActionsTest : public ::testing::Test {
 protected:
  FakeWindowManager wm;
  ResizedWindowLedger ledger;
  WindowHandle target = 0;
  SizeChoices choices;

  void SetUp() override {
    choices.fields = {"0", "0", "3", "28"};
    wm.Add(kOwn, {0, 0, 300, 200}, "Pentrax 2");
  }
  ActionContext Ctx() { return {wm, kOwn, ledger, target}; }

  std::optional<std::string> Size(WindowHandle h) {
    wm.foreground = h;
    return SizeAction(Ctx(), choices, 1280, 1024);
  }
  std::optional<std::string> Restore(WindowHandle h) {
    wm.foreground = h;
    return RestoreAction(Ctx());
  }
  Rect RectOf(WindowHandle h) {
    return wm.windows[h].placement.rcNormalPosition;
  }
};

TEST_F(ActionsTest, SizesKeepsPositionAndReportsTheReadBackSize) {
  wm.Add(kA, {100, 50, 700, 450}, "Editor");
  choices.selectedPreset = 2;
  choices.chkBorder = 1;
  choices.chkTask = 1;
  EXPECT_EQ(Size(kA), "Editor\r\nresized to 1030 x 746");
  EXPECT_EQ(target, kA);
  ASSERT_EQ(wm.writes.size(), 1u);
  EXPECT_EQ(wm.writes[0].showCmd, kShowRestore);
  EXPECT_EQ(wm.writes[0].rcNormalPosition, (Rect{100, 50, 1130, 796}));
}

// An empty title starts the report with its line break.
TEST_F(ActionsTest, SizeNormalisesTheFieldsFirst) {
  wm.Add(kA, {0, 0, 100, 100}, "");
  choices.selectedPreset = kCustomPreset;
  choices.fields = {"2000", "2000", "", "x"};
  EXPECT_EQ(Size(kA), "\r\nresized to 1280 x 1024");
  EXPECT_EQ(choices.fields.breit, "1280");
  EXPECT_EQ(choices.fields.hoch, "1024");
  EXPECT_EQ(choices.fields.border, "0");
  EXPECT_EQ(choices.fields.task, "0");
}

// The fitting itself is FitIntoWorkArea's; the backends' suites fit into
// real work areas. An unreadable one leaves zeros: the window goes to (0, 0).
TEST_F(ActionsTest, AnUnknownWorkAreaPlacesTheWindowAtTheOrigin) {
  wm.workAreaKnown = false;
  wm.Add(kA, {500, 400, 600, 500});
  choices.selectedPreset = 1;
  Size(kA);
  EXPECT_EQ(RectOf(kA), (Rect{0, 0, 800, 600}));
}

// Only Pentrax's own windows in front are passed over in silence; any other
// action that cannot act says so.
TEST_F(ActionsTest, AnActionThatCannotActSaysSoUnlessPentraxIsInFront) {
  constexpr WindowHandle kHelpBox = 150;
  wm.ownWindows = {kHelpBox};
  wm.Add(kA, {0, 0, 100, 100}, "A").failReads = true;
  struct Row {
    WindowHandle front;
    std::optional<std::string> sized, restored;
  };
  const Row rows[] = {
      {kOwn, std::nullopt, std::nullopt},
      {kHelpBox, std::nullopt, std::nullopt},
      {0, "No window was picked: nothing was sized",
       "No window was picked: nothing was restored"},
      {-5, "No window was picked: nothing was sized",
       "No window was picked: nothing was restored"},
      {kA, "A\r\ncould not be sized", "A\r\ncould not be restored"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Size(row.front), row.sized) << row.front;
    EXPECT_EQ(Restore(row.front), row.restored) << row.front;
  }
  EXPECT_TRUE(wm.writes.empty());
  EXPECT_TRUE(ledger.entries().empty());
}

TEST_F(ActionsTest, FailedReadBackStillSizesAndRemembersAndSaysSo) {
  struct FailSecondRead : FakeWindowManager {
    int reads = 0;
    int GetWindowPlacement(WindowHandle h, WindowPlacement& p) override {
      return ++reads == 2 ? 0 : FakeWindowManager::GetWindowPlacement(h, p);
    }
  } flaky;
  flaky.Add(kA, {0, 0, 100, 100}, "A");
  flaky.foreground = kA;
  EXPECT_EQ(SizeAction({flaky, kOwn, ledger, target}, choices, 1280, 1024),
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
  EXPECT_EQ(ledger.entries()[0].showState, kRestoredMarker);

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

TEST_F(ActionsTest, FailedRestoreKeepsThePlacementForAnotherTry) {
  wm.Add(kA, {10, 20, 110, 120}, "A");
  Size(kA);
  wm.windows[kA].failWrites = true;
  EXPECT_EQ(Restore(kA), "A\r\ncould not be restored");
  ASSERT_EQ(ledger.entries().size(), 1u);
  EXPECT_EQ(ledger.entries()[0].showState, kShowNormal);
  EXPECT_EQ(ledger.entries()[0].right, 110);

  wm.windows[kA].failWrites = false;
  EXPECT_EQ(Restore(kA), "A\r\nrestored its original size");
  EXPECT_EQ(RectOf(kA), (Rect{10, 20, 110, 120}));
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
  };
  for (const auto& [title, clean] : rows) {
    EXPECT_EQ(CleanTitle(buffer(title)), clean) << title;
  }
  EXPECT_EQ(CleanTitle(std::string(kTitleBufferSize, ' ')), "");
}

}  // namespace
}  // namespace pentrax
