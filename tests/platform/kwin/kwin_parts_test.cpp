// The KWin backend's parts that a real KWin cannot show: the maximised
// state as Plasma 6 tells it, and a number that two windows' UUIDs share.
#include <gtest/gtest.h>

#include "handle_map.h"
#include "kwin_window_state.h"

namespace pentrax {
namespace {

TEST(KWinParts, ShowState) {
  const Rect area{0, 0, 1280, 996}, half{0, 0, 640, 996}, small{0, 0, 9, 9};
  // minimized, fullScreen, tiled, maximizeMode (-1: not told), frame, show
  const std::tuple<bool, bool, bool, int, Rect, std::int32_t> rows[] = {
      {false, false, false, -1, area, kShowMaximized},
      {false, false, false, 0, area, kShowNormal},
      {false, false, false, 3, small, kShowMaximized},
      {false, false, false, 1, area, kShowNormal},  // vertically only
      {true, true, false, 3, area, kShowMinimized},
      {false, true, false, 3, area, kShowFullscreen},
      {false, false, true, 0, half, kShowTiled}};
  for (const auto& [minimized, full, tiled, mode, frame, show] : rows) {
    const KWinWindow w{"", "",        "",   0,     frame, frame, area,
                       {}, minimized, full, tiled, mode,  0,     ""};
    EXPECT_EQ(ShowStateOf(w), show) << mode;
  }
}

TEST(KWinParts, ANumberTwoWindowsShareStandsForNeither) {
  // a and b hash alike (found by trying); what a's number stands for once
  // they are met one by one, then in KWin's whole list if there is one.
  const std::string a = "{00000000-0000-0000-0000-00000002744e}",
                    b = "{00000000-0000-0000-0000-000000053910}";
  using List = std::vector<std::string>;
  // clang-format off
  const std::tuple<List, List, std::string> rows[] = {
      {{a}, {}, a}, {{a, b}, {}, ""}, {{b, a}, {}, ""}, {{a}, {a, b}, ""},
      {{a, b}, {b, "another"}, b}};
  // clang-format on
  for (const auto& [met, all, stands] : rows) {
    HandleMap map;
    for (const std::string& uuid : met) map.Note(uuid);
    if (!all.empty()) map.NoteAll(all);
    EXPECT_EQ(map.UuidOf(HandleOfUuid(a)).value_or(""), stands);
  }
}

}  // namespace
}  // namespace pentrax
