// The sway backend's own: every container and layout sway has (the rest:
// platform/contract_test.cpp). In a headless sway with a bar at the top
// (scripts/with-sway-session.sh), checked in sway's own tree.
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
  // Picked (activated as a click would) or by its number; apart: as a later
  // process (a backend of its own, the ledger handed on as the file does).
  auto act = [&](WindowHandle id, bool size, bool pick, bool apart) {
    if (pick) {
      testing::Run("swaymsg '[con_id=" + std::to_string(id) + "] focus'");
      EXPECT_TRUE(Eventually([&] { return wm->GetForegroundWindow() == id; }));
    }
    if (apart) wm = desk->Connect();
    return size ? testing::SizeForTest(*wm, ledger, id)
                : RestoreAction({*wm, ledger, id});
  };
  std::vector<testing::TestWindow> windows;
  for (const std::string& kind : desk->kinds) {
    windows.push_back(desk->Start(kind, kind).value());
  }
  // Whether the Qt windows have answered sway's last request: a request
  // made before can be lost to the answer (sway takes the size a floating
  // window commits); a user never acts that fast.
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
  // Each on a workspace of its own, the windows w0, w1, w2 first tiled side
  // by side: the window acted on, the layout it is sized from, whether it is
  // picked. Sized, it stays on its workspace; put back, a tiled window is in
  // its place in the container that held it, whatever its neighbours are.
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
      std::string commands = "swaymsg '";
      for (int i = 0; i < 3; ++i) {
        commands += "[con_id=" + std::to_string(windows[i].handle) +
                    "] mark --add w" + std::to_string(i) +
                    ", fullscreen disable, floating disable, move to "
                    "workspace " +
                    ws + "; ";
      }
      EXPECT_TRUE(answered());
      testing::Run(commands + "workspace " + ws + "; " + setup + "'");
      const WindowHandle id = windows[acted].handle;
      EXPECT_TRUE(answered());
      const auto before = Look(id);
      ASSERT_TRUE(before);
      const std::string view = OnView();
      EXPECT_EQ(act(id, true, pick, apart),
                before->title + "\r\nresized to 646 x 458");
      // Where it fits it keeps its place, else moved just into the work
      // area (no tiled or full-screen window has that rectangle here); the
      // view stays.
      const int left = std::min(before->outer.left, area.right - 646);
      const int top =
          std::clamp(before->outer.top, area.top, area.bottom - 458);
      const auto sized = Look(id);
      EXPECT_EQ(sized.value_or(Seen{}).outer,
                (Rect{left, top, left + 646, top + 458}));
      EXPECT_EQ(sized.value_or(Seen{}).workspace, before->workspace);
      EXPECT_EQ(OnView(), view);
      EXPECT_TRUE(answered());
      EXPECT_EQ(act(id, false, pick, apart),
                before->title + "\r\nrestored its original size");
      EXPECT_TRUE(Eventually([&] { return Look(id) == before; }))
          << "now in " << Look(id).value_or(Seen{}).parent;
    }
  }
}

}  // namespace
}  // namespace pentrax
