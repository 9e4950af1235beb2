// The KWin backend against a real KWin (scripts/with-kwin-session.sh:
// kwin_wayland 1280 x 1024 with XWayland, a 28-pixel dock through XWayland),
// with Qt windows on Wayland and on XWayland; every outcome is read again
// through a script of the test's own.
#include "kwin_window_manager.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>

#include "actions.h"
#include "kwin_script.h"
#include "kwin_session.h"
#include "x_session.h"

namespace pentrax {
namespace {

using nlohmann::json;
using testing::Eventually;
using testing::RunKWinScript;

const Rect kWorkArea{0, 0, 1280, 996};  // the screen less the dock

std::string Find(const std::string& caption) {
  return "var w = byCaption(" + json(caption).dump() + ");";
}
json Reading(const std::string& caption) {
  return RunKWinScript(Find(caption) + "send(describe(w));");
}
Rect Frame(const std::string& caption) {
  const json r = Reading(caption);
  return r.is_null()
             ? Rect{}
             : Rect{r["frame"][0], r["frame"][1], r["frame"][2], r["frame"][3]};
}

// Runs with the window on Wayland ("wayland") and on XWayland ("xcb").
class KWinTest : public ::testing::TestWithParam<const char*> {};

TEST_P(KWinTest, SizesFitsAndRestoresWindowsInEveryState) {
  std::string error;
  auto wm = KWinWindowManager::Connect(&error);
  ASSERT_NE(wm, nullptr) << error;
  ResizedWindowLedger ledger;
  WindowHandle h = 0;  // the window picked
  const auto size = [&](std::int32_t preset, NumericFields fields) {
    SizeChoices choices{preset, std::move(fields), 0, 0, true};
    return SizeAction({*wm, ledger, h}, choices, 1280, 1024);
  };
  const auto restore = [&] { return RestoreAction({*wm, ledger, h}); };
  Rect area;
  ASSERT_TRUE(wm->GetWorkArea(0, area));
  EXPECT_EQ(area, kWorkArea);

  // An active window with its frame 400 x 300 at (100, 50).
  const std::string a = std::string("journ\u00e9e-") + GetParam();
  testing::Client client({"env", std::string("QT_QPA_PLATFORM=") + GetParam(),
                          PENTRAX_QT_WINDOW, a});
  ASSERT_TRUE(Eventually([&] { return !Reading(a).is_null(); }, 20000));
  RunKWinScript(Find(a) +
                "w.frameGeometry = {x: 100, y: 50, width: 400, height: 300};"
                "workspace.activeClient = w; send(0);");
  ASSERT_TRUE(Eventually([&] {
    return Reading(a)["active"] == true && Frame(a) == Rect{100, 50, 500, 350};
  }));
  h = wm->GetForegroundWindow();

  EXPECT_EQ(size(0, {}), a + "\r\nresized to 640 x 480");
  EXPECT_EQ(Frame(a), (Rect{100, 50, 740, 530}));
  // Too tall where it stands: it moves up to end at the dock.
  EXPECT_EQ(size(kCustomPreset, {"1200", "960", "", ""}),
            a + "\r\nresized to 1200 x 960");
  EXPECT_EQ(Frame(a), (Rect{80, 36, 1280, 996}));
  EXPECT_EQ(restore(), a + "\r\nrestored its original size");
  EXPECT_EQ(Frame(a), (Rect{100, 50, 740, 530}));

  // Maximised or fullscreen when it is sized: so again when it is restored.
  const std::pair<const char*, Rect> states[] = {
      {"w.setMaximize(true, true);", kWorkArea},
      {"w.fullScreen = true;", {0, 0, 1280, 1024}}};
  for (const auto& [state, full] : states) {
    const Rect frame = full;
    SCOPED_TRACE(state);
    RunKWinScript(Find(a) + state + "send(0);");
    ASSERT_TRUE(Eventually([&] { return Frame(a) == frame; }));
    EXPECT_EQ(size(1, {}), a + "\r\nresized to 800 x 600");
    EXPECT_EQ(Frame(a), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(restore(), a + "\r\nrestored its original size");
    EXPECT_EQ(Frame(a), frame);
  }

  char title[8];
  EXPECT_NE(wm->WindowIdentity(h), "");
  // Gone, it cannot be read or placed.
  client.Kill();
  ASSERT_TRUE(Eventually([&] { return Reading(a).is_null(); }));
  WindowPlacement p;
  EXPECT_EQ(wm->GetWindowPlacement(h, p), 0);
  EXPECT_EQ(wm->SetWindowPlacement(h, p), 0);
  EXPECT_EQ(wm->GetWindowText(h, title, 8), 0);
  EXPECT_STREQ(title, "");
  EXPECT_FALSE(wm->GetWorkArea(h, area));
  EXPECT_EQ(wm->WindowIdentity(h), "");
}

INSTANTIATE_TEST_SUITE_P(Windows, KWinTest,
                         ::testing::Values("wayland", "xcb"));

// Runs in a session of its own: it ends KWin.
TEST(KWinGoneTest, EveryCallFails) {
  std::string error;
  auto wm = KWinWindowManager::Connect(&error);
  ASSERT_NE(wm, nullptr) << error;
  kill(std::atoi(std::getenv("PENTRAX_KWIN_PID")), SIGKILL);
  ASSERT_TRUE(Eventually([] { return !KWinSessionAnswers(); }));
  Rect area;
  EXPECT_EQ(wm->GetForegroundWindow(), 0);
  EXPECT_FALSE(wm->GetWorkArea(0, area));
  EXPECT_EQ(KWinWindowManager::Connect(&error), nullptr);
}

}  // namespace
}  // namespace pentrax
