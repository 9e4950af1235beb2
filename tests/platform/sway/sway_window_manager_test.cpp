// The sway backend's own: sizing and restoring windows in every container
// and layout sway has (the promises every backend keeps:
// platform/contract_test.cpp). Against a real headless sway
// (scripts/with-sway-session.sh: a 1280 x 1024 output with a bar at the top)
// and the contract's windows (Qt on Wayland, foot, Qt through XWayland),
// every result checked in sway's own tree (swaymsg).
#include "sway_window_manager.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "backend_checks.h"
#include "contract_desktop.h"
#include "sway_look.h"

namespace pentrax {
namespace {

using testing::Eventually;
using testing::Seen;
using testing::Swaymsg;

// (Its focus left out: a pick moves it.)
std::optional<Seen> Look(WindowHandle id) {
  auto seen = testing::Look([&](const Seen& s) { return s.id == id; });
  if (seen) seen->focused = false;
  return seen;
}

// The workspace that has the focus.
std::string OnView() {
  for (const auto& w : Swaymsg("-t get_workspaces")) {
    if (w.value("focused", false)) return w.value("name", "");
  }
  return "";
}

TEST(SwayTest, SizesAndRestoresWindowsInEveryContainer) {
  const auto desk = testing::SessionDesktop();
  auto wm = desk->Connect();
  ASSERT_NE(wm, nullptr) << "run through with-sway-session.sh";
  ResizedWindowLedger ledger;
  // Runs an action on the window, picked (activated as a click would) or
  // by its number; in a process of its own (a backend of its own, the
  // ledger handed on as the session's file hands it) if apart.
  auto act = [&](WindowHandle id, bool size, bool pick, bool apart) {
    if (pick) {
      testing::Run("swaymsg '[con_id=" + std::to_string(id) + "] focus'");
      EXPECT_TRUE(Eventually([&] { return wm->GetForegroundWindow() == id; }));
    }
    if (apart) wm = desk->Connect();
    return size ? testing::SizeForTest(*wm, ledger, id)
                : testing::RestoreForTest(*wm, ledger, id);
  };
  std::string title = "AA";
  for (int i = 0; i < 150; ++i) title += "\xC3\xBC";  // 302 bytes
  std::vector<testing::TestWindow> windows;
  for (const std::string& kind : desk->kinds) {
    windows.push_back(
        desk->Start(kind, windows.empty() ? title : kind).value());
  }
  // Whether the Qt windows say they have the size the tree gives them: they
  // have answered sway's last request. A request made before that can be
  // lost to the answer (sway takes the size a floating window commits).
  auto answered = [&] {
    return Eventually([&] {
      return std::ranges::all_of(windows, [](const testing::TestWindow& w) {
        const auto s = Look(w.handle);
        return !testing::Offered(w) ||
               (s &&
                testing::Offered(w) == Size{s->contentWidth, s->contentHeight});
      });
    });
  };
  const Rect area = testing::Box(Swaymsg("-t get_workspaces")[0]["rect"]);
  EXPECT_GT(area.top, 0);  // the bar
  // Each case on a workspace of its own, the windows (marked w0, w1, w2)
  // first tiled side by side in their order: the window acted on, the state
  // or layout it is sized from, and whether it is picked or named by its
  // number. Sized, it stays on its workspace; put back, a tiled window comes
  // back to its place in the container that held it, whatever its
  // neighbours are; each action in a process of its own as in one.
  // clang-format off
  const std::tuple<int, const char*, bool> cases[] = {
      {1, "", true},
      {2, "", true},
      {0, "[con_mark=w0] fullscreen enable", true},
      {2, "[con_mark=w2] floating enable, resize set 400 300, move absolute position 700 600", true},
      {2, "[con_mark=w0] splitv; [con_mark=w1] move to mark w0", true},
      {0, "[con_mark=w1] splitv; [con_mark=w2] move to mark w1", true},
      {0, "[con_mark=w0] splitv; [con_mark=w1] move to mark w0; [con_mark=w0] layout stacking", true},
      {1, "[con_mark=w0] splitv; [con_mark=w1] move to mark w0; [con_mark=w0] layout tabbed", true},
      {1, "[con_mark=w0] layout splitv", true},
      {1, "workspace 99", false},
      {1, "[con_mark=w0] floating enable, splitv; [con_mark=w1] move to mark w0", true},
  };
  // clang-format on
  int workspace = 10;
  for (const bool apart : {false, true}) {
    for (const auto& [acted, setup, pick] : cases) {
      SCOPED_TRACE(std::string(setup) + (apart ? ", apart" : ""));
      const std::string ws = std::to_string(++workspace);
      std::string commands;
      for (int i = 0; i < 3; ++i) {
        commands += "[con_id=" + std::to_string(windows[i].handle) +
                    "] mark --add w" + std::to_string(i) +
                    ", fullscreen disable, floating disable, move to "
                    "workspace " +
                    ws + "; ";
      }
      EXPECT_TRUE(answered());
      testing::Run("swaymsg '" + commands + "workspace " + ws + "; " + setup +
                   "'");
      const WindowHandle id = windows[acted].handle;
      EXPECT_TRUE(answered());
      const auto before = Look(id);
      ASSERT_TRUE(before);
      const std::string view = OnView();
      const std::string name = before->title.substr(0, 254);
      EXPECT_EQ(act(id, true, pick, apart), name + "\r\nresized to 646 x 458");
      // Where it fits it keeps its place; else it is moved just enough to
      // stay in the work area (which the full-screen and floating cases
      // prove). No tiled or full-screen window has that rectangle on this
      // output. The view stays as it was.
      const int left = std::min(before->outer.left, area.right - 646);
      const int top =
          std::clamp(before->outer.top, area.top, area.bottom - 458);
      const auto sized = Look(id);
      EXPECT_EQ(sized.value_or(Seen{}).outer,
                (Rect{left, top, left + 646, top + 458}));
      EXPECT_EQ(sized.value_or(Seen{}).workspace, before->workspace);
      EXPECT_EQ(OnView(), view);
      // A client's late answer to one request can overrule the next one
      // (sway takes the size a floating window commits); a user never acts
      // that fast.
      EXPECT_TRUE(answered());
      EXPECT_EQ(act(id, false, pick, apart),
                name + "\r\nrestored its original size");
      EXPECT_TRUE(Eventually([&] { return Look(id) == before; }))
          << "parent " << Look(id).value_or(Seen{}).parent << " index "
          << Look(id).value_or(Seen{}).index << ", was " << before->parent
          << " " << before->index;
    }
  }
}

}  // namespace
}  // namespace pentrax
