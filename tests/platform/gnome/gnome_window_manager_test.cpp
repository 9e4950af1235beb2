// The GNOME backend's own: Pentrax's extension refuses a stranger (the
// extension switched off: e2e_test.cpp; the rest: platform/contract_test.cpp).
// In a real GNOME Shell with the extension (scripts/with-gnome-session.sh).
#include "gnome_window_manager.h"

#include <gtest/gtest.h>

#include "actions.h"
#include "x_session.h"

namespace pentrax {
namespace {

TEST(GnomeExtension, RefusesAStranger) {
  const auto wm = GnomeWindowManager::Connect(nullptr);
  ASSERT_TRUE(wm);
  // A window in front: GNOME gives a new window the focus.
  testing::Client client({PENTRAX_QT_WINDOW, "target", "-platform", "wayland"});
  WindowHandle target = 0;
  ASSERT_TRUE(testing::Eventually(
      [&] {
        return ReadCleanTitle(*wm, target = wm->GetForegroundWindow()) ==
               "target";
      },
      20000));
  // A stranger (stranger.js) takes the bus name a caller could once own, and
  // is refused, also to place the window; Pentrax works beside it.
  testing::Client stranger({"gjs", PENTRAX_STRANGER, std::to_string(target)});
  EXPECT_EQ(stranger.ReadLine(), "1 AccessDenied AccessDenied");
  WindowPlacement p;
  EXPECT_EQ(wm->GetWindowPlacement(target, p), 1);
}

}  // namespace
}  // namespace pentrax
