// The KWin backend against a real KWin (scripts/with-kwin-session.sh:
// kwin_wayland 1280 x 1024 with XWayland, a 28-pixel dock through XWayland),
// with Qt windows on Wayland and on XWayland; every outcome is read again
// through a script of the test's own.
#include "kwin_window_manager.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <cstdlib>

#include "actions.h"
#include "kwin_script.h"
#include "kwin_session.h"
#include "x_session.h"

namespace pentrax {

void PrintTo(const Rect& r, std::ostream* os) {
  *os << r.left << "," << r.top << " " << r.width() << "x" << r.height();
}

namespace {

using nlohmann::json;
using testing::Client;
using testing::Eventually;
using testing::RunKWinScript;

const Rect kWorkArea{0, 0, 1280, 996};  // the screen less the dock
const Rect kStart{100, 50, 500, 350};

std::string Find(const std::string& caption) {
  return "var w = byCaption(" + json(caption).dump() + ");";
}
json Reading(const std::string& caption) {
  return RunKWinScript(Find(caption) + "send(describe(w));");
}
Rect FrameOf(const json& r) {
  const auto& f = r["frame"];
  return {f[0], f[1], f[0].get<int>() + f[2].get<int>(),
          f[1].get<int>() + f[3].get<int>()};
}

// Runs with the windows on Wayland ("wayland") or XWayland ("xcb").
class KWinTest : public ::testing::TestWithParam<const char*> {
 protected:
  std::unique_ptr<KWinWindowManager> wm;
  std::vector<std::unique_ptr<Client>> clients;
  ResizedWindowLedger ledger;
  WindowHandle target = 0;
  ActionContext Context() { return {*wm, 0, ledger, target}; }

  void SetUp() override {
    std::string error;
    wm = KWinWindowManager::Connect(&error);
    ASSERT_NE(wm, nullptr) << error;
  }

  // A window with its frame at kStart, active; returns its caption.
  std::string Start(const std::string& name) {
    const std::string caption = name + "-" + GetParam();
    clients.push_back(std::make_unique<Client>(std::vector<std::string>{
        "env", std::string("QT_QPA_PLATFORM=") + GetParam(),
        PENTRAX_QT_TEST_WINDOW, caption}));
    EXPECT_TRUE(Eventually([&] { return !Reading(caption).is_null(); }, 20000));
    RunKWinScript(Find(caption) +
                  "w.frameGeometry = {x: 100, y: 50, width: 400, height: 300};"
                  "workspace.activeClient = w; send(0);");
    EXPECT_TRUE(Eventually([&] {
      const json r = Reading(caption);
      return r["active"] == true && FrameOf(r) == kStart;
    }));
    return caption;
  }

  std::optional<std::string> Size(std::int32_t preset,
                                  NumericFields fields = {"0", "0", "0", "0"}) {
    SizeChoices choices{preset, std::move(fields), 0, 0, true};
    return SizeAction(Context(), choices, 1280, 1024);
  }
};

TEST_P(KWinTest, SizesFitsAndRestoresEvenAMaximisedWindow) {
  const std::string a = Start("journey");
  EXPECT_EQ(Size(0), a + "\r\nresized to 640 x 480");
  EXPECT_EQ(FrameOf(Reading(a)), (Rect{100, 50, 740, 530}));
  // Too large where it stands: it moves left and up to end at the dock.
  EXPECT_EQ(Size(kCustomPreset, {"1200", "960", "0", "0"}),
            a + "\r\nresized to 1200 x 960");
  EXPECT_EQ(FrameOf(Reading(a)), (Rect{80, 36, 1280, 996}));
  EXPECT_EQ(RestoreAction(Context()), a + "\r\nrestored its original size");
  EXPECT_EQ(FrameOf(Reading(a)), (Rect{100, 50, 740, 530}));
  EXPECT_EQ(RestoreAction(Context()),
            a + "\r\noriginal size has already been restored");

  RunKWinScript(Find(a) + "w.setMaximize(true, true); send(0);");
  ASSERT_TRUE(Eventually([&] { return FrameOf(Reading(a)) == kWorkArea; }));
  EXPECT_EQ(Size(1), a + "\r\nresized to 800 x 600");
  EXPECT_EQ(FrameOf(Reading(a)), (Rect{0, 0, 800, 600}));
  EXPECT_EQ(RestoreAction(Context()), a + "\r\nrestored its original size");
  EXPECT_EQ(FrameOf(Reading(a)), kWorkArea);
}

TEST_P(KWinTest, PlacementsTakeEveryShowState) {
  EXPECT_TRUE(KWinSessionAnswers());
  Rect area;
  ASSERT_TRUE(wm->GetWorkArea(0, area));
  EXPECT_EQ(area, kWorkArea);
  const std::string a = Start("states");
  const WindowHandle h = wm->GetForegroundWindow();
  EXPECT_FALSE(wm->IsOwnProcessWindow(h));
  const Rect normal{200, 100, 900, 600};
  const struct {
    std::int32_t show, reads;
    Rect frame;
    bool minimized, fullScreen;
  } rows[] = {
      {kShowRestore, kShowNormal, normal, false, false},
      {kShowMaximized, kShowMaximized, kWorkArea, false, false},
      {kShowFullscreen, kShowFullscreen, {0, 0, 1280, 1024}, false, true},
      {kShowMinimized, kShowMinimized, normal, true, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.show);
    EXPECT_EQ(wm->SetWindowPlacement(
                  h, {kPlacementLength, 0, row.show, {}, {}, normal}),
              1);
    const json r = Reading(a);
    EXPECT_EQ(r["minimized"], row.minimized);
    EXPECT_EQ(r["fullScreen"], row.fullScreen);
    if (!row.minimized) {  // not drawn, so maybe not yet resized
      EXPECT_EQ(FrameOf(r), row.frame);
    }
    WindowPlacement p;
    ASSERT_EQ(wm->GetWindowPlacement(h, p), 1);
    EXPECT_EQ(p.showCmd, row.reads);
    if (row.show != kShowFullscreen) {
      EXPECT_EQ(p.rcNormalPosition, normal);
    }
  }
  // Maximised by the backend, it returns to its normal rectangle.
  wm->SetWindowPlacement(h,
                         {kPlacementLength, 0, kShowMaximized, {}, {}, normal});
  RunKWinScript(Find(a) + "w.setMaximize(false, false); send(0);");
  EXPECT_TRUE(Eventually([&] { return FrameOf(Reading(a)) == normal; }));
}

TEST_P(KWinTest, UnknownAndVanishedWindows) {
  const std::string b = Start("unknown");
  EXPECT_EQ(RestoreAction(Context()),
            b + "\r\nis unknown and cannot be sized back");
  const WindowHandle h = wm->GetForegroundWindow();
  EXPECT_NE(wm->WindowIdentity(h), "");
  clients.back()->Kill();
  ASSERT_TRUE(Eventually([&] { return Reading(b).is_null(); }));
  WindowPlacement p;
  Rect area;
  char title[8] = "x";
  EXPECT_EQ(wm->GetWindowPlacement(h, p), 0);
  EXPECT_EQ(wm->SetWindowPlacement(h, p), 0);
  EXPECT_EQ(wm->GetWindowText(h, title, 8), 0);
  EXPECT_STREQ(title, "");
  EXPECT_FALSE(wm->GetWorkArea(h, area));
  EXPECT_EQ(wm->WindowIdentity(h), "");
}

INSTANTIATE_TEST_SUITE_P(Windows, KWinTest,
                         ::testing::Values("wayland", "xcb"));

// Run on its own (it ends the session's KWin).
TEST(KWinGoneTest, EveryCallFails) {
  std::string error;
  auto wm = KWinWindowManager::Connect(&error);
  ASSERT_NE(wm, nullptr) << error;
  ASSERT_GT(wm->GetForegroundWindow(), -1);
  const pid_t kwin = std::atoi(std::getenv("PENTRAX_KWIN_PID"));
  kill(kwin, SIGKILL);
  ASSERT_TRUE(Eventually([] { return !KWinSessionAnswers(); }));
  WindowPlacement p;
  Rect area;
  EXPECT_EQ(wm->GetForegroundWindow(), 0);
  EXPECT_EQ(wm->GetWindowPlacement(1, p), 0);
  EXPECT_FALSE(wm->GetWorkArea(0, area));
  EXPECT_EQ(KWinWindowManager::Connect(&error), nullptr);
}

}  // namespace
}  // namespace pentrax

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
