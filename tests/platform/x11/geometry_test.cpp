// Without an X server (the rest: its suite and the contract).
#include "geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "titles.h"

namespace pentrax::x11 {
namespace {

TEST(AllowedSize, StaysWithinTheHintsWhateverTheirValues) {
  constexpr std::int32_t kLow = INT_MIN, kHigh = INT_MAX;
  // clang-format off
  const std::tuple<const char*, SizeHints, ClientSize, ClientSize> cases[] = {
      {"below the minimum", {.hasMin = true, .minWidth = 200, .minHeight = 150}, {100, 100}, {200, 150}},
      {"whole increments above the base", {.hasBase = true, .hasInc = true, .baseWidth = 10, .baseHeight = 10, .widthInc = 7, .heightInc = 13}, {643, 457}, {640, 452}},
      {"the minimum stands in for the base", {.hasMin = true, .hasInc = true, .minWidth = 10, .minHeight = 10, .widthInc = 10, .heightInc = 10}, {633, 447}, {630, 440}},
      {"the base stands in for the minimum", {.hasBase = true, .baseWidth = 300, .baseHeight = 200}, {100, 100}, {300, 200}},
      {"a maximum of 0 is none", {.hasMax = true}, {643, 457}, {643, 457}},
      {"a maximum below the minimum wins", {.hasMin = true, .hasMax = true, .minWidth = 500, .minHeight = 500, .maxWidth = 400, .maxHeight = 300}, {643, 457}, {400, 300}},
      {"minimum INT_MIN: brought into range first", {.hasMin = true, .minWidth = kLow, .minHeight = kLow}, {643, 457}, {643, 457}},
      {"base INT_MIN, increment 256", {.hasBase = true, .hasInc = true, .baseWidth = kLow, .baseHeight = kLow, .widthInc = 256, .heightInc = 256}, {643, 457}, {512, 256}},
      {"increments INT_MIN and 0", {.hasInc = true, .widthInc = kLow}, {643, 457}, {643, 457}},
      {"everything INT_MAX", {true, true, true, true, kHigh, kHigh, kHigh, kHigh, kHigh, kHigh, kHigh, kHigh}, {643, 457}, {65535, 65535}},
  };
  // clang-format on
  for (const auto& [what, hints, asked, allowed] : cases) {
    const ClientSize got = AllowedSize(hints, asked);
    EXPECT_EQ(got, allowed) << what << ": " << got.width << " x " << got.height;
  }
}

TEST(RequestFor, AsksForWhatGivesTheOuterRectangle) {
  // Whether the request gives `outer` back (a plain frame: the contract).
  // clang-format off
  const std::tuple<const char*, Decoration, Rect, ClientRequest, bool> cases[] = {
      {"an X border", {{}, {}, 2}, {50, 60, 696, 518}, {50, 60, 642, 454}, true},
      {"smaller than the frame", {{5, 5, 30, 5}, {}, 0}, {0, 0, 4, 4}, {0, 0, 1, 1}, false},
      {"beyond what X carries", {}, {-70000, 0, 70000, 100}, {-32768, 0, 65535, 100}, false},
  };
  // clang-format on
  for (const auto& [what, d, outer, request, fits] : cases) {
    const ClientRequest r = RequestFor(outer, d);
    EXPECT_EQ(r, request) << what;
    // The window manager puts the frame at x, y and the client inside.
    const std::int32_t l = r.x + d.frame.left, t = r.y + d.frame.top;
    const Rect client{l, t, l + r.width + 2 * d.borderWidth,
                      t + r.height + 2 * d.borderWidth};
    EXPECT_EQ(OuterRect(client, d) == outer, fits) << what;
  }
}

TEST(MonitorWorkArea, TheMonitorLessTheStrutsOnIt) {
  const Rect right{1280, 0, 2560, 1024}, two{0, 0, 2560, 1024};
  // clang-format off
  const Strut edges{.left = 40, .right = 50, .top = 25, .leftEndY = 1023, .rightEndY = 1023,
                    .topStartX = 1280, .topEndX = 2559};
  const std::tuple<const char*, std::vector<Strut>, Rect, Rect> cases[] = {
      {"struts along the other edges", {edges}, {40, 25, 2510, 1024}, {1280, 25, 2510, 1024}},
      {"_NET_WORKAREA reserves more: a panel the window manager draws", {}, {0, 30, 2560, 1024}, {1280, 30, 2560, 1024}},
      {"a strut that leaves nothing is not believed", {{.right = 1300, .rightEndY = 1023}}, two, right},
  };
  // clang-format on
  for (const auto& [what, struts, net, area] : cases) {
    EXPECT_EQ(MonitorWorkArea(right, two, struts, net), area) << what;
  }
}

TEST(Hints, StrutsWorkAreasExtentsAndTitlesAreReadWithCare) {
  const Rect screen{0, 0, 1280, 1024};
  // The newer strut wins; the older one reserves whole edges.
  // clang-format off
  EXPECT_EQ(StrutFrom({0, 0, 0, 28, 0, 0, 0, 0, 0, 0, 0, 639}, {0, 0, 0, 99}, screen),
            (Strut{.bottom = 28, .bottomEndX = 639}));
  EXPECT_EQ(StrutFrom({}, {40, 0, 0, 0}, screen),
            (Strut{.left = 40, .leftEndY = 1023, .rightEndY = 1023, .topEndX = 1279, .bottomEndX = 1279}));
  // clang-format on
  EXPECT_EQ(StrutFrom({}, {0, 0, 0, 0}, screen), std::nullopt);

  const std::vector<std::uint32_t> areas = {0, 0, 1280, 996, 0, 30, 1280, 994};
  EXPECT_EQ(WorkAreaEntry(areas, {1}), (Rect{0, 30, 1280, 1024}));
  EXPECT_EQ(WorkAreaEntry(areas, {2}), std::nullopt);
  EXPECT_EQ(WorkAreaEntry({0, 0, 0, 996}, {}), std::nullopt);
  EXPECT_EQ(WorkAreaEntry({0, 0, 70000, 996}, {}), std::nullopt);

  EXPECT_EQ(ExtentsFrom({1, 2, 20}), Extents{});
  EXPECT_EQ(ExtentsFrom({1, 0xFFFFFFFF, 20, 3}), Extents{});
  EXPECT_EQ(UpToNul(std::string("ab\0cd", 5)), "ab");  // a title
}

}  // namespace
}  // namespace pentrax::x11
