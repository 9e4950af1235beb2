// The X11 backend against a real X server, window manager and client
// windows; every result is checked with xwininfo and xprop as well. Run by
// scripts/with-x-session.sh: Xvfb 1280 x 1024, openbox, a 28-pixel dock; the
// per-monitor cases also on two desktops with two monitors each.
#include "x11_window_manager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "actions.h"
#include "picked_window_manager.h"
#include "x_session.h"

namespace pentrax {
namespace {

using testing::Activate;
using testing::Client;
using testing::Eventually;
using testing::FindWindowByClass;
using testing::NetWmState;
using testing::ReadIndependently;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class X11Test : public ::testing::Test {
 protected:
  std::unique_ptr<X11WindowManager> wm;

  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) {
      GTEST_SKIP() << "needs an X display: run through with-x-session.sh";
    }
    std::string error;
    wm = X11WindowManager::Connect(nullptr, &error);
    ASSERT_NE(wm, nullptr) << error;
  }

  static WindowHandle Start(std::unique_ptr<Client>& client,
                            std::vector<std::string> args) {
    args.insert(args.begin(), PENTRAX_TEST_WINDOW);
    return testing::StartWindow(client, args);
  }

  Rect Outer(WindowHandle id) {
    const auto r = ReadIndependently(id);
    EXPECT_TRUE(r.has_value());
    return r ? r->Outer() : Rect{};
  }

  static WindowPlacement Placement(std::int32_t show, Rect r) {
    WindowPlacement p;
    p.showCmd = show;
    p.rcNormalPosition = r;
    return p;
  }

  // An action on the window as if the user had picked it: the first preset,
  // 640 x 480, with border 3 and task bar 28 (646 x 458) or without.
  std::optional<std::string> Act(WindowHandle id, ResizedWindowLedger& ledger,
                                 bool restore, bool borderAndTaskBar = true) {
    testing::PickedWindowManager picked(*wm);
    picked.pick = id;
    WindowHandle target = 0;
    if (restore) {
      return RestoreAction({picked, 1, ledger, target});
    }
    SizeChoices choices;
    choices.fields = {"0", "0", "3", "28"};
    choices.chkBorder = choices.chkTask = borderAndTaskBar ? 1 : 0;
    return SizeAction({picked, 1, ledger, target}, choices, 1280, 1024);
  }
};

// Each case runs on the desktop whose screen has its size.
TEST_F(X11Test, PerMonitorTheSizedWindowStaysInItsMonitorsWorkArea) {
  struct Case {
    const char* screen;
    const char* geometry;
    Point end;
    Rect workArea;
  };
  const Case cases[] = {
      // One monitor, the dock along its bottom.
      {"1280x1024", "200x150+500+700", {500, 538}, {0, 0, 1280, 996}},
      // Two 1280 x 1024 monitors, the dock on the left one only.
      {"2560x1024", "200x150+2300+850", {1914, 566}, {1280, 0, 2560, 1024}},
      {"2560x1024", "200x150+900+300", {634, 300}, {0, 0, 1280, 996}},
      // 1920 x 1080 with the dock, and 1280 x 1024 on its right: no monitor
      // shows the strip below the smaller one.
      {"3200x1080", "200x150+2800+650", {2554, 566}, {1920, 0, 3200, 1024}},
      {"3200x1080", "200x150+1500+900", {1274, 594}, {0, 0, 1920, 1052}},
  };
  const std::string screen = testing::ScreenSize();
  int ran = 0;
  for (const Case& c : cases) {
    if (screen != c.screen) {
      continue;
    }
    SCOPED_TRACE(c.geometry);
    const std::string name = "monitorclock" + std::to_string(ran++);
    Client clock({"xclock", "-name", name, "-geometry", c.geometry});
    const WindowHandle id = FindWindowByClass(name);
    ASSERT_GT(id, 0);
    ASSERT_TRUE(Eventually([&] {
      const auto r = ReadIndependently(id);
      return r && r->frame == r->Outer() && r->extents[2] > 0;
    }));
    const Rect before = Outer(id);
    Rect area;
    ASSERT_TRUE(wm->GetWorkArea(id, area));
    EXPECT_EQ(area, c.workArea);

    ResizedWindowLedger ledger;
    EXPECT_EQ(Act(id, ledger, false), name + "\r\nresized to 646 x 458");
    EXPECT_EQ(Outer(id),
              (Rect{c.end.x, c.end.y, c.end.x + 646, c.end.y + 458}));
    EXPECT_EQ(Act(id, ledger, true), name + "\r\nrestored its original size");
    EXPECT_EQ(Outer(id), before);
    EXPECT_EQ(Act(id, ledger, true),
              name + "\r\noriginal size has already been restored");
  }
  if (ran == 0) {
    GTEST_SKIP() << "no case for a " << screen << " screen";
  }
}

TEST_F(X11Test, ThePickIsNeverTheDesktopADockOrAnUnclickedNoFocusWindow) {
  // Stands in for Pentrax, which is active when the user arms a button.
  std::unique_ptr<Client> home;
  const WindowHandle h = Start(home, {"--class", "home"});
  enum How { kNothing, kActivate, kClick };
  struct Case {
    std::vector<std::string> args;
    How how;
    bool picked;
  };
  const Case cases[] = {
      {{"--class", "focusable"}, kActivate, true},
      // Takes no focus: openbox only raises it, and that counts.
      {{"--class", "clock", "--no-input"}, kActivate, true},
      // Always on top and takes no focus (an on-screen keyboard): on top
      // from the start, it counts only when clicked.
      {{"--class", "keyboard", "--no-input", "--state", "ABOVE"},
       kNothing,
       false},
      {{"--class", "keyboard", "--no-input", "--state", "ABOVE"}, kClick, true},
      {{"--class", "desktop", "--type", "DESKTOP", "--geometry",
        "1280x996+0+0"},
       kClick,
       false},
      {{"--class", "dock", "--type", "DOCK", "--geometry", "200x40+500+400"},
       kActivate,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + std::to_string(c.how));
    std::unique_ptr<Client> client;
    const WindowHandle id = Start(client, c.args);
    Activate(h);
    ASSERT_TRUE(Eventually([&] { return testing::ActiveWindow() == h; }));
    wm->StartForegroundWatch();
    EXPECT_EQ(wm->GetForegroundWindow(), h);
    if (c.how == kActivate) {
      Activate(id);
    } else if (c.how == kClick) {
      testing::Click(id);
    }
    if (c.picked) {
      EXPECT_TRUE(Eventually([&] { return wm->GetForegroundWindow() == id; }));
    } else {
      // Long enough for a wrong pick to show.
      EXPECT_FALSE(
          Eventually([&] { return wm->GetForegroundWindow() != h; }, 700));
    }
  }

  // Closed while active: openbox leaves its id behind, which must not come
  // back as the foreground window.
  Activate(h);
  home->Kill();
  EXPECT_TRUE(Eventually([&] { return wm->GetForegroundWindow() != h; }));
}

TEST_F(X11Test, TheReportShowsTheSizeTheWindowKept) {
  struct Case {
    std::vector<std::string> args;
    Point asked;  // client size
    Point kept;   // client size; 0 x 0: what the window manager makes of it
    std::int32_t shadow = 0;  // client-side, not part of the window
  };
  const Case cases[] = {
      {{"--class", "plain"}, {633, 447}, {633, 447}},
      {{"--csd", "12"}, {664, 504}, {664, 504}, 12},
      {{"--min", "10x10", "--inc", "10x10"}, {633, 447}, {630, 440}},
      {{"--min", "200x150", "--max", "400x300"}, {890, 690}, {400, 300}},
      // Hints no window can have (the sanitizer build checks the
      // arithmetic).
      {{"--min", "-2147483648x-2147483648", "--inc", "256x256"},
       {600, 400},
       {0, 0}},
      // Takes the size, then sets itself back.
      {{"--keep-size"}, {500, 400}, {300, 200}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    std::unique_ptr<Client> client;
    const WindowHandle id = Start(client, c.args);
    const auto before = ReadIndependently(id);
    ASSERT_TRUE(before);
    const auto* e = before->extents;
    const std::int32_t in = 2 * c.shadow;
    const Rect asked{30, 30, 30 + c.asked.x + e[0] + e[1] - in,
                     30 + c.asked.y + e[2] + e[3] - in};
    EXPECT_EQ(wm->SetWindowPlacement(id, Placement(kShowRestore, asked)), 1);
    WindowPlacement p;
    ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
    if (c.kept.x > 0) {
      EXPECT_TRUE(Eventually([&] {
        const auto r = ReadIndependently(id);
        return r && r->client.width() == c.kept.x &&
               r->client.height() == c.kept.y;
      }));
    }
    // The report is what the window kept, frame and all, shadow not.
    const auto r = ReadIndependently(id);
    ASSERT_TRUE(r);
    const Rect o = r->Outer();
    EXPECT_EQ(p.rcNormalPosition,
              (Rect{o.left + c.shadow, o.top + c.shadow, o.right - c.shadow,
                    o.bottom - c.shadow}));
    EXPECT_EQ(r->frame, o);
  }
}

TEST_F(X11Test, AMaximisedFullscreenOrMinimisedWindowIsSizedThenPutBack) {
  struct Case {
    std::vector<std::string> args;
    const char* atom;  // of _NET_WM_STATE while in the state
    std::int32_t show;
  };
  const Case cases[] = {
      {{"--state", "MAXIMIZED_VERT,MAXIMIZED_HORZ"},
       "MAXIMIZED_HORZ",
       kShowMaximized},
      {{"--state", "FULLSCREEN"}, "FULLSCREEN", kShowFullscreen},
      {{"--iconic"}, "HIDDEN", kShowMinimized},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.atom);
    std::unique_ptr<Client> client;
    const WindowHandle id = Start(client, c.args);
    ASSERT_TRUE(Eventually([&] { return Has(NetWmState(id), c.atom); }));
    // Put there by someone else: its rectangle is the one it has now.
    WindowPlacement p;
    ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
    EXPECT_EQ(p.showCmd, c.show);
    EXPECT_EQ(p.rcNormalPosition, Outer(id));

    // Placed by Pentrax: the rectangle it returns to is the one placed.
    const Rect normal{60, 80, 560, 480};
    ASSERT_EQ(wm->SetWindowPlacement(id, Placement(c.show, normal)), 1);
    EXPECT_TRUE(Has(NetWmState(id), c.atom));
    ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
    EXPECT_EQ(p.showCmd, c.show);
    EXPECT_EQ(p.rcNormalPosition, normal);

    ResizedWindowLedger ledger;
    EXPECT_EQ(Act(id, ledger, false, false), "\r\nresized to 640 x 480");
    EXPECT_FALSE(Has(NetWmState(id), c.atom));
    EXPECT_EQ(Outer(id), (Rect{60, 80, 700, 560}));
    EXPECT_EQ(Act(id, ledger, true), "\r\nrestored its original size");
    EXPECT_TRUE(Has(NetWmState(id), c.atom));
    ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
    EXPECT_EQ(p.rcNormalPosition, normal);
  }
}

TEST_F(X11Test, AVanishedWindowFailsCleanly) {
  std::unique_ptr<Client> c;
  const WindowHandle id = Start(c, {"--class", "gone"});
  c->Kill();
  ASSERT_TRUE(Eventually([&] { return !ReadIndependently(id); }));
  WindowPlacement p;
  EXPECT_EQ(wm->GetWindowPlacement(id, p), 0);
  EXPECT_EQ(wm->SetWindowPlacement(id, Placement(kShowRestore, {0, 0, 99, 99})),
            0);
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(wm->GetWindowText(id, buffer, 8), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(wm->WindowIdentity(id), "");
  // The connection is still good for the next call.
  Rect area;
  EXPECT_TRUE(wm->GetWorkArea(id, area));
}

TEST_F(X11Test, AReusedIdIsUnknownAndItsTitleComesAsUtf8) {
  std::string longTitle = "AB";  // then 150 ü of two bytes: 302 bytes
  for (int i = 0; i < 150; ++i) {
    longTitle += "\xC3\xBC";
  }
  struct Case {
    std::vector<std::string> first, second;
    std::string title;  // of the second, as the report shows it
  };
  // The process and class tell the windows apart, or without either their
  // titles: UTF-8 cut at a character boundary, or Latin-1 (WM_NAME).
  const Case cases[] = {
      {{"--class", "first"},
       {"--class", "second", "--title", longTitle},
       longTitle.substr(0, 254)},
      {{"--no-pid", "--class", "", "--title", "first"},
       {"--no-pid", "--class", "", "--wm-name", "Caf\xE9"},
       "Caf\xC3\xA9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first.back());
    std::unique_ptr<Client> first;
    const WindowHandle id = Start(first, c.first);
    ResizedWindowLedger ledger;
    WindowPlacement p;
    ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
    ledger.RememberWindow(p, id, wm->WindowIdentity(id));
    first->Kill();

    // The next client to connect takes the freed slot and so the same id.
    std::unique_ptr<Client> second;
    const WindowHandle again = Start(second, c.second);
    ASSERT_EQ(again, id) << "the X server gave the new window another id";
    const Rect before = Outer(again);
    EXPECT_EQ(Act(again, ledger, true),
              c.title + "\r\nis unknown and cannot be sized back");
    EXPECT_EQ(Outer(again), before);
  }
}

}  // namespace
}  // namespace pentrax
