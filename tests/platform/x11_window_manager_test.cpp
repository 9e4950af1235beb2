// The X11 backend against a real X server, window manager and client
// windows; every result is checked with xwininfo and xprop as well. Run by
// scripts/with-x-session.sh: Xvfb 1280 x 1024, openbox, a 28-pixel dock.
#include "x11_window_manager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "actions.h"
#include "x_session.h"

namespace pentrax {
namespace {

using testing::Activate;
using testing::Client;
using testing::Eventually;
using testing::FindWindowByClass;
using testing::IcccmState;
using testing::NetWmState;
using testing::ReadIndependently;

const Rect kWorkArea{0, 0, 1280, 996};  // the screen less the dock

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

  // Starts a test window and returns its id once the window manager has
  // mapped it.
  WindowHandle Start(std::unique_ptr<Client>& client,
                     std::vector<std::string> args) {
    args.insert(args.begin(), PENTRAX_TEST_WINDOW);
    client = std::make_unique<Client>(args);
    const auto id =
        static_cast<WindowHandle>(std::stoul(client->ReadLine(), nullptr, 16));
    EXPECT_TRUE(Eventually([&] { return IcccmState(id) == "Normal"; }));
    EXPECT_TRUE(Eventually([&] {
      const auto r = ReadIndependently(id);
      return r && r->frame == r->Outer();
    }));
    return id;
  }

  Rect OuterInWorkArea(WindowHandle id) {
    const auto r = ReadIndependently(id);
    EXPECT_TRUE(r.has_value());
    return r ? r->Outer() : Rect{};
  }

  WindowPlacement Placement(std::int32_t show, Rect r) {
    WindowPlacement p;
    p.showCmd = show;
    p.rcNormalPosition = r;
    return p;
  }
};

TEST_F(X11Test, WorkAreaLeavesOutTheDock) {
  Rect area;
  ASSERT_TRUE(wm->GetWorkArea(0, area));
  EXPECT_EQ(area, kWorkArea);
  const auto prop = testing::Run("xprop -root _NET_WORKAREA");
  ASSERT_TRUE(prop);
  EXPECT_NE(prop->find("= 0, 0, 1280, 996"), std::string::npos) << *prop;
}

TEST_F(X11Test, ForegroundWindowIsTheOneTheUserPicked) {
  std::unique_ptr<Client> focusable;
  const WindowHandle f = Start(focusable, {"--class", "focusable"});
  Activate(f);
  EXPECT_TRUE(Eventually([&] { return wm->GetForegroundWindow() == f; }));

  // xclock takes no focus: openbox only raises it, and it still counts.
  Client clock({"xclock", "-name", "pentraxclock"});
  const WindowHandle id = FindWindowByClass("pentraxclock");
  ASSERT_GT(id, 0);
  Activate(id);
  EXPECT_TRUE(Eventually([&] { return wm->GetForegroundWindow() == id; }));
  Activate(f);
  EXPECT_TRUE(Eventually([&] { return wm->GetForegroundWindow() == f; }));

  // Closed while active: openbox leaves its id behind, which must not come
  // back as the foreground window.
  focusable->Kill();
  EXPECT_TRUE(Eventually([&] { return wm->GetForegroundWindow() != f; }));
  EXPECT_NE(wm->GetForegroundWindow(), f);
  Activate(id);
  EXPECT_TRUE(Eventually([&] { return wm->GetForegroundWindow() == id; }));
}

TEST_F(X11Test, ReadsAndWritesTheOuterRectangle) {
  Client clock(
      {"xclock", "-name", "pentraxclock2", "-geometry", "200x150+60+70"});
  const WindowHandle id = FindWindowByClass("pentraxclock2");
  ASSERT_GT(id, 0);
  ASSERT_TRUE(Eventually([&] {
    const auto r = ReadIndependently(id);
    return r && r->frame == r->Outer() && r->extents[2] > 0;
  }));

  WindowPlacement p;
  ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
  EXPECT_EQ(p.showCmd, kShowNormal);
  EXPECT_EQ(p.rcNormalPosition, OuterInWorkArea(id));

  const Rect target{50, 60, 50 + 646, 60 + 458};
  EXPECT_EQ(wm->SetWindowPlacement(id, Placement(kShowRestore, target)), 1);
  // Done when it returns: no waiting here.
  const auto r = ReadIndependently(id);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Outer(), target);
  EXPECT_EQ(r->frame, target);
  // The frame is not part of the client.
  EXPECT_EQ(r->client.width(), 646 - r->extents[0] - r->extents[1]);
  EXPECT_EQ(r->client.height(), 458 - r->extents[2] - r->extents[3]);
  ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
  EXPECT_EQ(p.rcNormalPosition, target);
}

TEST_F(X11Test, AClientSideDecoratedWindowIsMeasuredWithoutItsShadow) {
  std::unique_ptr<Client> c;
  const WindowHandle id = Start(
      c, {"--class", "csd", "--csd", "12", "--geometry", "324x224+100+100"});
  WindowPlacement p;
  ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
  const auto before = ReadIndependently(id);
  ASSERT_TRUE(before);
  EXPECT_EQ(p.rcNormalPosition.width(), before->client.width() - 24);
  EXPECT_EQ(p.rcNormalPosition.left, before->client.left + 12);

  const Rect target{200, 150, 200 + 640, 150 + 480};
  ASSERT_EQ(wm->SetWindowPlacement(id, Placement(kShowRestore, target)), 1);
  const auto after = ReadIndependently(id);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->client, (Rect{188, 138, 852, 642}));
  ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
  EXPECT_EQ(p.rcNormalPosition, target);
}

TEST_F(X11Test, SizeActionFitsTheWindowAboveTheDock) {
  Client clock(
      {"xclock", "-name", "pentraxclock3", "-geometry", "200x150+500+700"});
  const WindowHandle id = FindWindowByClass("pentraxclock3");
  ASSERT_GT(id, 0);
  Activate(id);
  ASSERT_TRUE(Eventually([&] { return wm->GetForegroundWindow() == id; }));
  const Rect before = OuterInWorkArea(id);

  ResizedWindowLedger ledger;
  WindowHandle target = 0;
  SizeChoices choices;
  choices.selectedPreset = 0;
  choices.fields = {"0", "0", "3", "28"};
  choices.chkBorder = 1;
  choices.chkTask = 1;
  const auto report = SizeAction({*wm, 1, ledger, target}, choices, 1280, 1024);
  ASSERT_TRUE(report);
  EXPECT_EQ(*report, "pentraxclock3\r\nresized to 646 x 458");
  const Rect after = OuterInWorkArea(id);
  EXPECT_EQ(after.width(), 646);
  EXPECT_EQ(after.height(), 458);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.bottom, kWorkArea.bottom);  // moved up to end at the dock

  EXPECT_EQ(RestoreAction({*wm, 1, ledger, target}),
            "pentraxclock3\r\nrestored its original size");
  EXPECT_EQ(OuterInWorkArea(id), before);
  EXPECT_EQ(RestoreAction({*wm, 1, ledger, target}),
            "pentraxclock3\r\noriginal size has already been restored");
}

TEST_F(X11Test, SizeIncrementsGiveTheNearestAllowedSizeAndTheReportShowsIt) {
  Client term({"xterm", "-name", "pentraxterm", "-geometry", "80x24+30+30"});
  const WindowHandle id = FindWindowByClass("pentraxterm");
  ASSERT_GT(id, 0);
  const Rect asked{30, 30, 30 + 643, 30 + 457};
  EXPECT_EQ(wm->SetWindowPlacement(id, Placement(kShowRestore, asked)), 1);
  const Rect got = OuterInWorkArea(id);
  EXPECT_LE(got.width(), 643);
  EXPECT_LE(got.height(), 457);
  EXPECT_GT(got.width(), 600);
  WindowPlacement p;
  ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
  EXPECT_EQ(p.rcNormalPosition, got);
}

TEST_F(X11Test, MinimumAndMaximumSizesAreReported) {
  std::unique_ptr<Client> c;
  const WindowHandle id =
      Start(c, {"--class", "limited", "--min", "200x150", "--max", "400x300"});
  const Rect asked{10, 10, 900, 700};
  EXPECT_EQ(wm->SetWindowPlacement(id, Placement(kShowRestore, asked)), 1);
  const auto r = ReadIndependently(id);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->client.width(), 400);
  EXPECT_EQ(r->client.height(), 300);
  WindowPlacement p;
  ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
  EXPECT_EQ(p.rcNormalPosition, r->Outer());
}

TEST_F(X11Test, AWindowMaximisedElsewhereReportsItsMaximisedRectangle) {
  std::unique_ptr<Client> c;
  const WindowHandle id = Start(c, {"--class", "maxed", "--maximized"});
  ASSERT_TRUE(Eventually([&] {
    return NetWmState(id).find("MAXIMIZED_HORZ") != std::string::npos;
  }));
  WindowPlacement p;
  ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
  EXPECT_EQ(p.showCmd, kShowMaximized);
  EXPECT_EQ(p.rcNormalPosition, OuterInWorkArea(id));
  EXPECT_EQ(p.rcNormalPosition.width(), kWorkArea.width());

  // Sizing un-maximises it first, and the frame it then has is allowed for.
  const Rect sized{100, 100, 100 + 806, 100 + 606};
  ASSERT_EQ(wm->SetWindowPlacement(id, Placement(kShowRestore, sized)), 1);
  EXPECT_EQ(NetWmState(id).find("MAXIMIZED"), std::string::npos);
  EXPECT_EQ(OuterInWorkArea(id), sized);
}

TEST_F(X11Test, MaximisedWindowIsSizedThenRestoredToMaximised) {
  std::unique_ptr<Client> c;
  const WindowHandle id = Start(c, {"--class", "placed"});
  const Rect normal{60, 80, 560, 480};
  ASSERT_EQ(wm->SetWindowPlacement(id, Placement(kShowMaximized, normal)), 1);
  EXPECT_NE(NetWmState(id).find("MAXIMIZED_VERT"), std::string::npos);
  EXPECT_NE(NetWmState(id).find("MAXIMIZED_HORZ"), std::string::npos);
  // While maximised, the rectangle it returns to is the one placed.
  WindowPlacement p;
  ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
  EXPECT_EQ(p.showCmd, kShowMaximized);
  EXPECT_EQ(p.rcNormalPosition, normal);

  ResizedWindowLedger ledger;
  WindowHandle target = 0;
  Activate(id);
  ASSERT_TRUE(Eventually([&] { return wm->GetForegroundWindow() == id; }));
  SizeChoices choices;
  choices.fields = {"0", "0", "3", "28"};
  ASSERT_EQ(SizeAction({*wm, 1, ledger, target}, choices, 1280, 1024),
            "\r\nresized to 640 x 480");
  EXPECT_EQ(NetWmState(id).find("MAXIMIZED"), std::string::npos);
  EXPECT_EQ(OuterInWorkArea(id), (Rect{60, 80, 700, 560}));

  ASSERT_EQ(RestoreAction({*wm, 1, ledger, target}),
            "\r\nrestored its original size");
  EXPECT_NE(NetWmState(id).find("MAXIMIZED_VERT"), std::string::npos);
  EXPECT_NE(NetWmState(id).find("MAXIMIZED_HORZ"), std::string::npos);
  ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
  EXPECT_EQ(p.rcNormalPosition, normal);
  // Un-maximised by the user, it returns to that rectangle.
  ASSERT_EQ(wm->SetWindowPlacement(id, Placement(kShowRestore, normal)), 1);
  EXPECT_EQ(OuterInWorkArea(id), normal);
}

TEST_F(X11Test, MinimisedWindowComesBackAndCanBeMinimisedAgain) {
  std::unique_ptr<Client> c;
  const WindowHandle id = Start(c, {"--class", "mini"});
  const Rect r1{20, 30, 420, 330};
  ASSERT_EQ(wm->SetWindowPlacement(id, Placement(kShowMinimized, r1)), 1);
  EXPECT_EQ(IcccmState(id), "Iconic");
  WindowPlacement p;
  ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
  EXPECT_EQ(p.showCmd, kShowMinimized);

  const Rect r2{40, 50, 540, 450};
  ASSERT_EQ(wm->SetWindowPlacement(id, Placement(kShowRestore, r2)), 1);
  EXPECT_EQ(IcccmState(id), "Normal");
  EXPECT_EQ(OuterInWorkArea(id), r2);
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

TEST_F(X11Test, AReusedIdIsNotRestoredToTheFormerWindowsPlacement) {
  std::unique_ptr<Client> first;
  const WindowHandle id =
      Start(first, {"--class", "first", "--geometry", "300x200+10+10"});
  ResizedWindowLedger ledger;
  WindowHandle target = 0;
  WindowPlacement p;
  ASSERT_EQ(wm->GetWindowPlacement(id, p), 1);
  ledger.RememberWindow(p, id, wm->WindowIdentity(id));
  first->Kill();

  // The next client to connect takes the freed slot and so the same id.
  std::unique_ptr<Client> second;
  const WindowHandle again =
      Start(second, {"--class", "second", "--geometry", "500x400+200+200"});
  ASSERT_EQ(again, id) << "the X server gave the new window another id";
  const Rect before = OuterInWorkArea(again);
  Activate(again);
  EXPECT_EQ(RestoreAction({*wm, 1, ledger, target}),
            "\r\nis unknown and cannot be sized back");
  EXPECT_EQ(OuterInWorkArea(again), before);
}

TEST_F(X11Test, TitlesAreCutOnACharacterBoundaryAndNeverOverflow) {
  std::string longTitle;
  for (int i = 0; i < 150; ++i) {
    longTitle += "\xC3\xBC";  // ü: two bytes
  }
  longTitle = "AB" + longTitle;  // 302 bytes: byte 255 ends a character
  std::unique_ptr<Client> c;
  const WindowHandle id = Start(c, {"--class", "titled", "--title", longTitle});
  std::string buffer(256, ' ');
  buffer.push_back('#');  // guard
  EXPECT_EQ(wm->GetWindowText(id, buffer.data(), 256), 254);
  EXPECT_EQ(buffer.substr(0, 254), longTitle.substr(0, 254));
  EXPECT_EQ(buffer[254], '\0');
  EXPECT_EQ(buffer.substr(255), " #");

  std::unique_ptr<Client> old;
  const WindowHandle latin =
      Start(old, {"--class", "latin", "--wm-name", "Caf\xE9"});
  EXPECT_EQ(ReadCleanTitle(*wm, latin), "Caf\xC3\xA9");
}

}  // namespace
}  // namespace pentrax
