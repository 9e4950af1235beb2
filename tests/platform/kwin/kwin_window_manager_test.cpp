// The KWin backend against a real KWin (scripts/with-kwin-session.sh:
// kwin_wayland 1280 x 1024 with XWayland, a 28-pixel dock through XWayland),
// with Qt windows on Wayland and on XWayland; every outcome is read again
// through a script of the test's own.
#include "kwin_window_manager.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "backend_checks.h"
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
  const json f = RunKWinScript(Find(caption) +
                               "send(w ? describe(w).frame : [0, 0, 0, 0]);");
  return {f[0], f[1], f[2], f[3]};
}

class KWinTest : public ::testing::TestWithParam<const char*> {};

TEST_P(KWinTest, SizesFitsAndRestoresWindowsInEveryState) {
  std::string error;
  auto wm = KWinWindowManager::Connect(&error);
  ASSERT_NE(wm, nullptr) << error;
  ResizedWindowLedger ledger;
  WindowHandle h = 0;  // the window picked
  bool apart = false;  // each action by a backend (and agent) of its own
  const auto backend = [&]() -> WindowManager& {
    if (apart) {
      wm.reset();  // one agent to a process
      wm = KWinWindowManager::Connect(&error);
    }
    return *wm;
  };
  const auto size = [&](std::int32_t preset, NumericFields fields) {
    return testing::SizeForTest(backend(), ledger, h,
                                {preset, std::move(fields), 0, 0, true});
  };
  const auto restore = [&] {
    return testing::RestoreForTest(backend(), ledger, h);
  };
  Rect area;
  ASSERT_TRUE(wm->GetWorkArea(0, area));
  EXPECT_EQ(area, kWorkArea);

  // An active window with its frame 400 x 300 at (100, 50).
  const std::string a = std::string("journ\u00e9e-") + GetParam();
  const std::string sizes = std::getenv("XDG_RUNTIME_DIR") + ("/" + a);
  testing::Client client({"sh", "-c", "exec \"$@\" >" + sizes, "-",
                          PENTRAX_QT_WINDOW, a, "-platform", GetParam()});
  ASSERT_TRUE(Eventually([&] { return !Reading(a).is_null(); }, 20000));
  RunKWinScript(Find(a) +
                "w.frameGeometry = {x: 100, y: 50, width: 400, height: 300};"
                "activate(w); send(0);");
  ASSERT_TRUE(Eventually([&] {
    return Reading(a)["active"] == true && Frame(a) == Rect{100, 50, 500, 350};
  }));
  h = wm->GetForegroundWindow();
  // The rest of KWin's frame is the window's content, as the window was
  // last given it (an XWayland window's frame is its buffer on KWin 5.27).
  const auto in = wm->GetFrameInsets(h);
  ASSERT_TRUE(in);
  const std::string content = std::to_string(400 - in->left - in->right) + "x" +
                              std::to_string(300 - in->top - in->bottom);
  EXPECT_TRUE(Eventually([&] {
    return testing::Run("tail -n1 " + sizes)
        .value_or("")
        .starts_with(content + " ");
  })) << content;

  EXPECT_EQ(size(0, {}), a + "\r\nresized to 640 x 480");
  EXPECT_EQ(Frame(a), (Rect{100, 50, 740, 530}));
  // Too tall where it stands: it moves up to end at the dock.
  EXPECT_EQ(size(kCustomPreset, {"1200", "960", "", ""}),
            a + "\r\nresized to 1200 x 960");
  EXPECT_EQ(Frame(a), (Rect{80, 36, 1280, 996}));
  EXPECT_EQ(restore(), a + "\r\nrestored its original size");
  EXPECT_EQ(Frame(a), (Rect{100, 50, 740, 530}));

  // Maximised, fullscreen or quick tiled when it is sized (by the script, to
  // the frame, tiled or not): so again when it is restored. Its normal
  // rectangle is where Pentrax put it last. Each action in a process of its
  // own (a backend and agent of its own, the ledger handed on as the
  // session's file hands it) does as one process does.
  const std::tuple<const char*, Rect, bool> states[] = {
      {"w.setMaximize(true, true);", kWorkArea, false},
      {"w.fullScreen = true;", {0, 0, 1280, 1024}, false},
      {"activate(w); workspace.slotWindowQuickTileLeft();",
       {0, 0, 640, 996},
       true},
  };
  for (const bool each : {false, true}) {
    apart = each;
    for (const auto& [state, frame, tiled] : states) {
      SCOPED_TRACE(std::string(state) + (apart ? " apart" : ""));
      RunKWinScript(Find(a) + state + "send(0);");
      ASSERT_TRUE(Eventually([&] { return Frame(a) == frame; }));
      EXPECT_EQ(size(1, {}), a + "\r\nresized to 800 x 600");
      EXPECT_EQ(Frame(a), (Rect{100, 50, 900, 650}));
      EXPECT_EQ(restore(), a + "\r\nrestored its original size");
      EXPECT_TRUE(Eventually([&] { return Frame(a) == frame; }));
      EXPECT_EQ(Reading(a)["tiled"], tiled);
      RunKWinScript(Find(a) +
                    "w.fullScreen = false; w.tile = null; "
                    "w.setMaximize(false, false); send(0);");
    }
  }

  // Another program of the session hands in answers in the agent's name,
  // which it can guess, to any connection that might be the backend's:
  // KWin's answers alone count.
  const std::string forged =
      R"({"window":{"id":"x","caption":"forged","frame":[1,2,3,4],)"
      R"("area":[0,0,9,9],"screen":[0,0,9,9]}})";
  testing::Client forger(
      {"sh", "-c",
       "names=$(gdbus call --session --dest org.freedesktop.DBus "
       "--object-path / --method org.freedesktop.DBus.ListNames | "
       "grep -o \"':[0-9.]*'\" | tr -d \"'\"); while :; do for n in $names; "
       "do for a in 1 2 3; do gdbus call --session --dest $n --object-path "
       "/org/pentrax/KWinAgent --method org.pentrax.KWinAgent.next pentrax-" +
           std::to_string(getpid()) + "-$a '" + forged +
           "'; done; done; done >/dev/null 2>&1"});
  for (int i = 0; i < 20; ++i) {
    WindowPlacement p;
    ASSERT_EQ(wm->GetWindowPlacement(h, p), 1);
    EXPECT_EQ(p.rcNormalPosition, Frame(a));
    EXPECT_EQ(ReadCleanTitle(*wm, h), a);
  }
  forger.Kill();

  EXPECT_NE(wm->WindowIdentity(h), "");
  client.Kill();
  ASSERT_TRUE(Eventually([&] { return Reading(a).is_null(); }));
  testing::ExpectGone(*wm, h);
  EXPECT_FALSE(wm->GetWorkArea(h, area));
}

INSTANTIATE_TEST_SUITE_P(Windows, KWinTest,
                         ::testing::Values("wayland", "xcb"));

// Runs in a session of its own: it ends KWin.
TEST(KWinGoneTest, EveryCallFails) {
  std::string error;
  auto wm = KWinWindowManager::Connect(&error);
  ASSERT_NE(wm, nullptr) << error;
  kill(std::atoi(std::getenv("PENTRAX_KWIN_PID")), SIGKILL);
  ASSERT_TRUE(Eventually([] { return !KWinOnSessionBus(); }));
  Rect area;
  EXPECT_EQ(wm->GetForegroundWindow(), 0);
  EXPECT_EQ(wm->NotAnswering(), "KWin");
  EXPECT_FALSE(wm->GetWorkArea(0, area));
  EXPECT_EQ(KWinWindowManager::Connect(&error), nullptr);
}

}  // namespace
}  // namespace pentrax
