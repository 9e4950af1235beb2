// The KWin backend's own: its agent inside KWin, which takes only KWin's
// answers, and KWin gone (the promises every backend keeps:
// platform/contract_test.cpp). Against a real KWin
// (scripts/with-kwin-session.sh), with a Qt window on Wayland and on
// XWayland read again through a script of the test's own.
#include "kwin_window_manager.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "actions.h"
#include "kwin_script.h"
#include "kwin_session.h"
#include "x_session.h"

namespace pentrax {
namespace {

using testing::Eventually;
using testing::RunKWinScript;

class KWinTest : public ::testing::TestWithParam<const char*> {};

// Another program of the session hands in answers in the agent's name,
// which it can guess, to any connection that might be the backend's: KWin's
// answers alone count.
TEST_P(KWinTest, OnlyKWinsAnswersCount) {
  std::string error;
  auto wm = KWinWindowManager::Connect(&error);
  ASSERT_NE(wm, nullptr) << error;
  const std::string title = std::string("journ\u00e9e-") + GetParam();
  testing::Client client({PENTRAX_QT_WINDOW, title, "-platform", GetParam()});
  const std::string find =
      "var w = byCaption(" + nlohmann::json(title).dump() + ");";
  ASSERT_TRUE(Eventually(
      [&] { return !RunKWinScript(find + "send(describe(w));").is_null(); },
      20000));
  RunKWinScript(find + "activate(w); send(0);");
  WindowHandle h = 0;
  ASSERT_TRUE(Eventually([&] {
    return ReadCleanTitle(*wm, h = wm->GetForegroundWindow()) == title;
  }));
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
  const nlohmann::json f = RunKWinScript(find + "send(describe(w).frame);");
  for (int i = 0; i < 20; ++i) {
    WindowPlacement p;
    ASSERT_EQ(wm->GetWindowPlacement(h, p), 1);
    EXPECT_EQ(p.rcNormalPosition, (Rect{f[0], f[1], f[2], f[3]}));
    EXPECT_EQ(ReadCleanTitle(*wm, h), title);
  }
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
