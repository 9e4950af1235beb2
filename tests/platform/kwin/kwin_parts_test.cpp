// The KWin backend's parts that need no KWin, where the tests against a real
// KWin do not reach: answers that are not understood, the maximised state as
// Plasma 6 reports it, titles cut short, clients that settle elsewhere, and
// the session check.
#include <gtest/gtest.h>

#include <map>

#include "handle_map.h"
#include "kwin_session.h"
#include "kwin_window_state.h"

namespace pentrax {
namespace {

TEST(KWinParts, AnswersThatNameNoWindowGiveNone) {
  for (
      const char* answer :
      {"", "not json", "[]", R"({"window":null})", R"({"error":"TypeError"})",
       R"({"window":{"id":"{a}","frame":[0,0,1],"area":[0,0,1,1],"screen":[0,0,1,1]}})",
       R"({"window":{"id":7,"frame":[0,0,1,1],"area":[0,0,1,1],"screen":[0,0,1,1]}})"}) {
    EXPECT_FALSE(WindowOfAnswer(answer)) << answer;
  }
  EXPECT_FALSE(WorkAreaOfAnswer(R"({"area":"wide"})"));
  HandleMap handles;
  EXPECT_EQ(handles.HandleOf("{a}"), 1);
  EXPECT_FALSE(handles.UuidOf(0) || handles.UuidOf(2));
}

TEST(KWinParts, ShowState) {
  const Rect area{0, 0, 1280, 996};
  const struct {
    bool minimized, fullScreen;
    int maximizeMode;
    Rect frame;
    std::int32_t show;
  } rows[] = {{false, false, -1, area, kShowMaximized},
              {false, false, 0, area, kShowNormal},  // Plasma 6 says
              {false, false, 3, {0, 0, 9, 9}, kShowMaximized},
              {false, false, 1, area, kShowNormal},  // vertically only
              {true, false, -1, area, kShowMinimized},
              {false, true, -1, {0, 0, 1280, 1024}, kShowFullscreen}};
  for (const auto& r : rows) {
    KWinWindow w;
    w.minimized = r.minimized;
    w.fullScreen = r.fullScreen;
    w.maximizeMode = r.maximizeMode;
    w.frame = r.frame;
    w.area = area;
    EXPECT_EQ(ShowStateOf(w), r.show) << r.maximizeMode;
  }
}

TEST(KWinParts, TitlesAreCutOnACharacterBoundary) {
  EXPECT_EQ(Utf8Cut("abc", 5), 3u);
  EXPECT_EQ(Utf8Cut("abc", 2), 2u);
  EXPECT_EQ(Utf8Cut("a\xC3\xA9", 2), 1u);  // é is two bytes
  EXPECT_EQ(Utf8Cut("\xE2\x82\xAC"
                    "a",
                    2),
            0u);  // € is three
}

TEST(KWinParts, AWindowSettlesWhereItIsAskedToOrWhereItStops) {
  using namespace std::chrono_literals;
  const SettleWatch::Clock::time_point t0;
  const Rect old{0, 0, 400, 300}, asked{0, 0, 640, 480}, near{0, 0, 637, 476};
  // (frame, ms after the start) read in turn; whether settled after each.
  const std::vector<std::tuple<Rect, int, bool>> rows = {{old, 500, false},
                                                         {near, 510, false},
                                                         {near, 600, false},
                                                         {near, 610, true},
                                                         {asked, 611, true}};
  SettleWatch watch(asked, old, t0);
  for (const auto& [frame, ms, settled] : rows) {
    EXPECT_EQ(watch.Settled(frame, t0 + std::chrono::milliseconds(ms)), settled)
        << ms;
  }
}

TEST(KWinParts, KdeWaylandSessionFromTheEnvironment) {
  using Env = std::map<std::string, std::string>;
  const std::vector<std::pair<Env, bool>> rows = {
      {{{"XDG_CURRENT_DESKTOP", "KDE"}, {"WAYLAND_DISPLAY", "wayland-0"}},
       true},
      {{{"XDG_CURRENT_DESKTOP", "X-Cinnamon:KDE"},
        {"XDG_SESSION_TYPE", "wayland"}},
       true},
      {{{"KDE_FULL_SESSION", "true"}, {"XDG_SESSION_TYPE", "wayland"}}, true},
      {{{"XDG_CURRENT_DESKTOP", "KDEX"}, {"WAYLAND_DISPLAY", "w"}}, false},
      {{{"XDG_CURRENT_DESKTOP", "KDE"}, {"XDG_SESSION_TYPE", "x11"}}, false},
      {{{"XDG_CURRENT_DESKTOP", "GNOME"}, {"WAYLAND_DISPLAY", "w"}}, false}};
  for (const auto& [env, kde] : rows) {
    EXPECT_EQ(LooksLikeKdeWaylandSession([&](const char* name) {
                const auto it = env.find(name);
                return it == env.end() ? nullptr : it->second.c_str();
              }),
              kde);
  }
}

}  // namespace
}  // namespace pentrax
