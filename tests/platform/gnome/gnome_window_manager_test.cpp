// The GNOME backend in a real GNOME Shell with Pentrax's extension
// (scripts/with-gnome-session.sh), through the size and restore actions on
// native Wayland and Xwayland windows that print what they were given.
#include "gnome_window_manager.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "backend_checks.h"
#include "x_session.h"

namespace pentrax {
namespace {

using testing::Eventually;
// 256 bytes: the title is cut to 252, on a character boundary.
const std::string kTitle =
    "Pentrax " + QByteArray("\xF0\x9F\x93\x90").repeated(62).toStdString();

// Qt platform (wayland: native, xcb: Xwayland), maximised at the start, the
// custom size asked for, and the top the sized window must see itself at.
using Case =
    std::tuple<const char*, bool, const char*, const char*, const char*>;
class GnomeActions : public ::testing::TestWithParam<Case> {};

TEST_P(GnomeActions, SizeRestoreAndVanish) {
  const auto [platform, maximized, width, height, top] = GetParam();
  const auto wm = GnomeWindowManager::Connect(nullptr);
  ASSERT_TRUE(wm);
  const std::string log = std::getenv("XDG_RUNTIME_DIR") + std::string("/out");
  testing::Client client({"sh", "-c", "exec \"$@\" >" + log, "-",
                          PENTRAX_QT_WINDOW, kTitle, "-platform", platform,
                          maximized ? "--maximized" : ""});
  const auto seen = [&] {  // its last "WxH FW FH TOP MAX"
    std::string last, line;
    for (std::ifstream in(log); std::getline(in, line);) last = line;
    return last;
  };
  Rect area;
  const std::string head = kTitle.substr(0, 252) + "\r\n";
  // A new window is listed before it is mapped, with an empty frame.
  WindowHandle target = 0;
  WindowPlacement p;
  ASSERT_TRUE(Eventually(
      [&] {
        // GNOME 48 does not maximise an Xwayland window that asks before it
        // is mapped: asked again, as a pager would.
        if (maximized && !seen().ends_with(" 1")) {
          testing::Run(
              "wmctrl -x -r pentrax_qt_window -b "
              "add,maximized_vert,maximized_horz");
        }
        // In the frame the desktop drew: on GNOME 44 and later an Xwayland
        // window is framed after its first report, and a window says it is
        // maximised before it fills the work area.
        int h = 0, fw = 0, fh = 0;
        target = wm->GetForegroundWindow();
        return ReadCleanTitle(*wm, target) + "\r\n" == head &&
               wm->GetWindowPlacement(target, p) > 0 &&
               p.rcNormalPosition.width() > 0 &&
               seen().ends_with(maximized ? " 1" : " 0") &&
               std::sscanf(seen().c_str(), "%*dx%d %d %d", &h, &fw, &fh) == 3 &&
               fh > h &&
               (!maximized || (wm->GetWorkArea(target, area) &&
                               fw == area.width() && fh == area.height()));
      },
      20000));
  const std::string before = seen();

  // A stranger (stranger.js) takes the bus name a caller could once own, and
  // is refused, also to place the window; Pentrax works beside it.
  testing::Client stranger({"gjs", PENTRAX_STRANGER, std::to_string(target)});
  EXPECT_EQ(stranger.ReadLine(), "1 AccessDenied AccessDenied");

  ResizedWindowLedger ledger;
  EXPECT_EQ(testing::SizeForTest(*wm, ledger, target,
                                 {kCustomPreset, {width, height, "0", "0"}}),
            head + "resized to " + width + " x " + height);
  const std::string sized =
      std::string(" ") + width + " " + height + " " + top + " 0";
  EXPECT_TRUE(Eventually([&] { return seen().ends_with(sized); })) << seen();
  EXPECT_EQ(testing::RestoreForTest(*wm, ledger, target),
            head + std::string(kRestored));
  EXPECT_TRUE(Eventually([&] { return seen() == before; })) << seen();

  client.Kill();
  EXPECT_TRUE(
      Eventually([&] { return wm->GetWindowPlacement(target, p) <= 0; }));
  testing::ExpectGone(*wm, target);
}

// GNOME Shell stalls, or Pentrax's extension is switched off: the backend
// names what did not answer, and works again once it does.
TEST(GnomeSilence, TheShellOrTheExtensionDoesNotAnswer) {
  const auto wm = GnomeWindowManager::Connect(nullptr);
  ASSERT_TRUE(wm);
  const pid_t shell = std::atoi(std::getenv("PENTRAX_SHELL_PID"));
  kill(shell, SIGSTOP);
  EXPECT_EQ(wm->GetForegroundWindow(), 0);
  EXPECT_EQ(wm->NotAnswering(), "GNOME Shell");
  kill(shell, SIGCONT);
  {
    const testing::ExtensionOff off;
    EXPECT_EQ(wm->GetForegroundWindow(), 0);
    EXPECT_EQ(wm->NotAnswering(), "Pentrax's GNOME extension");
  }
  EXPECT_TRUE(Eventually([&] {
    wm->GetForegroundWindow();
    return wm->NotAnswering().empty();
  }));
}

// The Xwayland window starts at 600,500: the sized one is fitted into the
// work area, just below the 32-pixel top bar.
INSTANTIATE_TEST_SUITE_P(
    Windows, GnomeActions,
    ::testing::Values(Case{"wayland", true, "640", "480", "0"},
                      Case{"xcb", false, "700", "1000", "32"},
                      Case{"xcb", true, "640", "480", "32"}));

}  // namespace
}  // namespace pentrax
