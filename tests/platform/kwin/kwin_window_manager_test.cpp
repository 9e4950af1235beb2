// The KWin backend's own: its agent takes only KWin's answers, and no
// backend connects once KWin is gone (the rest: platform/contract_test.cpp).
// Against a real KWin (scripts/with-kwin-session.sh), read through a KWin
// script of the test's own.
#include "kwin_window_manager.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "actions.h"
#include "contract_desktop.h"
#include "kwin_session.h"
#include "x_session.h"

namespace pentrax {
namespace {

using testing::Eventually;

// Another program of the session hands in answers in the agent's name,
// which it can guess, to any connection that might be the backend's.
TEST(KWinTest, OnlyKWinsAnswersCount) {
  const auto desk = testing::SessionDesktop();
  const auto wm = desk->Connect();
  ASSERT_NE(wm, nullptr);
  const std::string forged =
      R"({"window":{"id":"x","caption":"forged","frame":[1,2,3,4],)"
      R"("area":[0,0,9,9],"screen":[0,0,9,9]}})";
  const testing::Client forger(
      {"sh", "-c",
       "names=$(gdbus call --session --dest org.freedesktop.DBus "
       "--object-path / --method org.freedesktop.DBus.ListNames | "
       "grep -o \"':[0-9.]*'\" | tr -d \"'\"); while :; do for n in $names; "
       "do for a in 1 2 3; do gdbus call --session --dest $n --object-path "
       "/org/pentrax/KWinAgent --method org.pentrax.KWinAgent.next pentrax-" +
           std::to_string(getpid()) + "-$a '" + forged +
           "'; done; done; done >/dev/null 2>&1"});
  for (const std::string& kind : desk->kinds) {
    const std::string title = "journ\u00e9e " + kind;
    const auto w = desk->Start(kind, title);
    ASSERT_TRUE(w);
    desk->Activate(*w);
    ASSERT_TRUE(
        Eventually([&] { return wm->GetForegroundWindow() == w->handle; }));
    const Rect frame = desk->Read(*w).value().frame;
    for (int i = 0; i < 20; ++i) {
      WindowPlacement p;
      ASSERT_EQ(wm->GetWindowPlacement(w->handle, p), 1);
      EXPECT_EQ(p.rcNormalPosition, frame) << kind;
      EXPECT_EQ(ReadCleanTitle(*wm, w->handle), title);
    }
  }
}

// In a session of its own, as it ends KWin (a stopped KWin: the contract).
TEST(KWinGoneTest, NoBackendConnects) {
  std::string error;
  ASSERT_NE(KWinWindowManager::Connect(&error), nullptr) << error;
  kill(std::atoi(std::getenv("PENTRAX_KWIN_PID")), SIGKILL);
  ASSERT_TRUE(Eventually([] { return !KWinOnSessionBus(); }));
  EXPECT_EQ(KWinWindowManager::Connect(&error), nullptr);
}

}  // namespace
}  // namespace pentrax
