// The X11 backend's own (the rest: platform/contract_test.cpp), checked with
// xwininfo and xprop on scripts/with-x-session.sh's desktops.
#include "x11_window_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "backend_checks.h"
#include "x_session.h"

namespace pentrax {
namespace {

using testing::Activate;
using testing::Client;
using testing::Eventually;
using testing::OuterOf;
using testing::ReadIndependently;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class X11Test : public ::testing::Test {
 protected:
  std::string error;
  std::unique_ptr<X11WindowManager> wm = X11WindowManager::Connect({}, &error);

  void SetUp() override { ASSERT_NE(wm, nullptr) << error; }

  static WindowHandle Start(std::unique_ptr<Client>& client,
                            const std::string& options) {
    std::vector<std::string> args = {PENTRAX_TEST_WINDOW};
    std::istringstream in(options);
    for (std::string arg; in >> arg;) args.push_back(arg);
    return testing::StartWindow(client, args);
  }

  WindowPlacement Place(WindowHandle id, Rect r) {
    WindowPlacement p;
    p.showCmd = kShowRestore;
    p.rcNormalPosition = r;
    EXPECT_EQ(wm->SetWindowPlacement(id, p), 1);
    EXPECT_EQ(wm->GetWindowPlacement(id, p), 1);
    return p;
  }

  // The action on the window, picked as the user picks it: activated after
  // the button was pressed.
  std::string Act(WindowHandle id, ResizedWindowLedger& ledger, bool restore) {
    wm->StartForegroundWatch();
    Activate(id);
    EXPECT_TRUE(Eventually([&] { return wm->GetForegroundWindow() == id; }));
    wm->StopForegroundWatch();
    return restore ? RestoreAction({*wm, ledger, id})
                   : testing::SizeForTest(*wm, ledger, id);
  }
};

// Each row on the desktop whose screen has its size: the window, and where
// it ends up sized to 646 x 458, against its monitor's work area's edge.
// 2560x1024: two 1280 x 1024 monitors, the dock (28) on the left one;
// 3200x1080: 1920 x 1080 with the dock and 1280 x 1024 on its right
// (nothing shows the strip below it).
TEST_F(X11Test, PerMonitorTheSizedWindowStaysInItsMonitorsWorkArea) {
  const std::tuple<std::string, std::string, Point> cases[] = {
      {"1280x1024", "200x150+500+700", {500, 538}},
      {"2560x1024", "200x150+2300+850", {1914, 566}},
      {"2560x1024", "200x150+900+300", {634, 300}},
      {"3200x1080", "200x150+2800+650", {2554, 566}},
      {"3200x1080", "200x150+1500+900", {1274, 594}},
  };
  int ran = 0;
  for (const auto& [screen, geometry, end] : cases) {
    if (screen != testing::ScreenSize()) continue;
    SCOPED_TRACE(geometry);
    std::unique_ptr<Client> client;
    const WindowHandle id =
        Start(client, "--title " + geometry + " --geometry " + geometry);
    const Rect before = OuterOf(id);
    ResizedWindowLedger ledger;
    EXPECT_EQ(Act(id, ledger, false), geometry + "\r\nresized to 646 x 458");
    EXPECT_EQ(OuterOf(id), (Rect{end.x, end.y, end.x + 646, end.y + 458}));
    EXPECT_EQ(Act(id, ledger, true),
              geometry + "\r\nrestored its original size");
    EXPECT_EQ(OuterOf(id), before);
    ++ran;
  }
  EXPECT_GT(ran, 0) << "no case for this screen";
}

TEST_F(X11Test, ThePickIsNeverTheDesktopADockOrAnUnclickedNoFocusWindow) {
  // Stands in for Pentrax, which is active when the user arms a button.
  std::unique_ptr<Client> home;
  const WindowHandle h = Start(home, "--class home");
  // The window, whether it opens after arming, what the user does then,
  // whether it is picked. A window that takes no focus counts when the window
  // manager raises it; one that opens on top counts once activated (as a
  // task bar does), one always on top (a keyboard) only when clicked.
  using How = void (*)(WindowHandle);
  const std::tuple<std::string, bool, How, bool> cases[] = {
      {"--class clock --no-input", false, Activate, true},
      {"--class clock --no-input", true, nullptr, false},
      {"--class clock --no-input", true, Activate, true},
      {"--class keyboard --no-input --state ABOVE", false, nullptr, false},
      {"--class keyboard --no-input --state ABOVE", false, testing::Click,
       true},
      {"--type DESKTOP --geometry 1280x996+0+0", false, testing::Click, false},
      {"--type DOCK --geometry 200x40+500+400", false, Activate, false},
  };
  for (const auto& [options, later, how, shouldPick] : cases) {
    SCOPED_TRACE(options + (later ? ", later" : "") + (how ? "" : ", alone"));
    std::unique_ptr<Client> client;
    WindowHandle id = later ? 0 : Start(client, options);
    Activate(h);
    ASSERT_TRUE(Eventually([&] { return testing::ActiveWindow() == h; }));
    wm->StartForegroundWatch();
    EXPECT_EQ(wm->GetForegroundWindow(), h);
    if (later) {
      id = Start(client, options);
      EXPECT_EQ(wm->GetForegroundWindow(), h);
    }
    if (how != nullptr) how(id);
    // A pager's request counts as the window manager answers it: KWin 6 on
    // X11 neither activates nor raises a window that takes no focus.
    std::ostringstream raised;  // above Pentrax's stand-in
    raised << std::hex << "xprop -root _NET_CLIENT_LIST_STACKING | grep -qE '0x"
           << h << ",.* 0x" << id << "(,|$)'";
    const bool picked =
        shouldPick &&
        (how != Activate ||
         Eventually([&] { return testing::Run(raised.str()).has_value(); },
                    3000));
    // Long enough for a wrong pick to show.
    EXPECT_EQ(Eventually([&] { return wm->GetForegroundWindow() != h; },
                         picked ? 3000 : 700),
              picked);
    EXPECT_EQ(wm->GetForegroundWindow(), picked ? id : h);
    wm->StopForegroundWatch();
  }

  // The window manager's frame is not listed (CheckTarget refuses that).
  const auto frame = testing::Run(
      "xwininfo -tree -id " + std::to_string(h) +
      " | sed -n 's/.*Parent window id: \\(0x[0-9a-f]*\\).*/\\1/p'");
  EXPECT_EQ(std::ranges::count(wm->ListWindows(),
                               std::stoi(frame.value_or(""), nullptr, 16)),
            0);

  // Closed while active: a window manager may leave its id behind, which
  // must not come back as the foreground window.
  Activate(h);
  home->Kill();
  EXPECT_TRUE(Eventually([&] { return wm->GetForegroundWindow() != h; }));
}

// Takes the size, then sets itself back: the report is the size it kept.
// (Not on KWin, which, composited, carries out the window's request only
// after drawing the change, mostly later than the settle wait; README.)
TEST_F(X11Test, TheReportShowsTheSizeAWindowSetsItselfBackTo) {
  if (Has(testing::Run("wmctrl -m").value_or(""), "Name: KWin")) {
    GTEST_SKIP() << "on KWin the window sets itself back too late";
  }
  std::unique_ptr<Client> client;
  const WindowHandle id = Start(client, "--keep-size");
  // On a busy machine it answers now and then after the wait, not thrice.
  WindowPlacement p;
  for (int left = 3; left > 0; --left) {
    p = Place(id, {30, 30, 530, 430});
    EXPECT_TRUE(Eventually([&] {
      const auto r = ReadIndependently(id);
      return r && r->client.width() == 300 && r->client.height() == 200;
    }));
    if (p.rcNormalPosition == OuterOf(id)) break;
  }
  EXPECT_EQ(p.rcNormalPosition, OuterOf(id));
}

// Marked iconic in WM_STATE, it is a normal window, sized on its desktop
// without the view moving there (fluxbox switches the view to a window
// activated there), and not marked as demanding attention.
TEST_F(X11Test, AWindowOnAnotherDesktopIsSizedThere) {
  testing::Run("wmctrl -n 4");  // KWin starts with one desktop
  std::unique_ptr<Client> client;
  const WindowHandle id = Start(client, "");
  const std::string desktop = "_NET_WM_DESKTOP(CARDINAL) = 1";
  testing::Run("wmctrl -i -r " + std::to_string(id) + " -t 1");
  ASSERT_TRUE(Eventually(
      [&] { return Has(testing::Property(id, "_NET_WM_DESKTOP"), desktop); }));
  const Rect sized{60, 80, 700, 560};
  EXPECT_EQ(Place(id, sized).showCmd, kShowNormal);
  EXPECT_EQ(OuterOf(id), sized);
  EXPECT_TRUE(Has(testing::Property(id, "_NET_WM_DESKTOP"), desktop));
  EXPECT_TRUE(Has(testing::Run("xprop -root _NET_CURRENT_DESKTOP").value_or(""),
                  "= 0"));
  EXPECT_FALSE(
      Has(testing::Property(id, "_NET_WM_STATE"), "DEMANDS_ATTENTION"));
}

// The X server gives a closed window's id to the next client: its process
// and class tell the new window apart, or without either its title (Latin-1
// in WM_NAME).
TEST_F(X11Test, ANewWindowWithAClosedOnesIdIsAnotherWindow) {
  for (const auto& [first, second] :
       {std::pair<std::string, std::string>{"--class first", "--class second"},
        {"--no-pid --no-class --title first",
         "--no-pid --no-class --wm-name Caf\xE9"}}) {
    SCOPED_TRACE(first);
    std::unique_ptr<Client> closed, next;
    const WindowHandle id = Start(closed, first);
    const std::string identity = wm->WindowIdentity(id);
    closed->Kill();
    ASSERT_TRUE(Eventually([&] { return !ReadIndependently(id); }));
    ASSERT_EQ(Start(next, second), id) << "the X server gave another id";
    EXPECT_NE(wm->WindowIdentity(id), identity);
    EXPECT_TRUE(!second.ends_with("\xE9") ||
                ReadCleanTitle(*wm, id) == "Caf\xC3\xA9");
  }
}

}  // namespace
}  // namespace pentrax
