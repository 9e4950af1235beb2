// The X11 backend's arithmetic, without an X server: size hints, the client
// request for an outer rectangle, monitors and their work areas, titles.
#include "geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "titles.h"
#include "x_session.h"

namespace pentrax::x11 {
namespace {

using Sizes = std::optional<ClientSize>;

TEST(AllowedSize, StaysWithinTheHintsWhateverTheirValues) {
  constexpr std::int32_t kLow = INT_MIN, kHigh = INT_MAX;
  struct Case {
    const char* what;
    Sizes min, max, base, inc;
    ClientSize asked, allowed;
  };
  // clang-format off
  const Case cases[] = {
      {"no hints", {}, {}, {}, {}, {643, 457}, {643, 457}},
      {"above the maximum", {{200, 150}}, {{400, 300}}, {}, {}, {890, 690}, {400, 300}},
      {"below the minimum", {{200, 150}}, {}, {}, {}, {100, 100}, {200, 150}},
      {"whole increments above the base", {}, {}, {{10, 10}}, {{7, 13}}, {643, 457}, {640, 452}},
      {"the minimum stands in for the base", {{10, 10}}, {}, {}, {{10, 10}}, {633, 447}, {630, 440}},
      {"the base stands in for the minimum", {}, {}, {{300, 200}}, {}, {100, 100}, {300, 200}},
      {"a maximum of 0 is none", {}, {{0, 0}}, {}, {}, {643, 457}, {643, 457}},
      {"a maximum below the minimum wins", {{500, 500}}, {{400, 300}}, {}, {}, {643, 457}, {400, 300}},
      // Values no window can have are brought into range first.
      {"minimum INT_MIN", {{kLow, kLow}}, {}, {}, {}, {643, 457}, {643, 457}},
      {"base INT_MIN, increment 256", {}, {}, {{kLow, kLow}}, {{256, 256}}, {643, 457}, {512, 256}},
      {"increments INT_MIN and 0", {}, {}, {}, {{kLow, 0}}, {643, 457}, {643, 457}},
      {"everything INT_MAX", {{kHigh, kHigh}}, {{kHigh, kHigh}}, {{kHigh, kHigh}}, {{kHigh, kHigh}},
       {643, 457}, {65535, 65535}},
  };
  // clang-format on
  for (const Case& c : cases) {
    const auto get = [](const Sizes& s) { return s.value_or(ClientSize{}); };
    const SizeHints h{c.min.has_value(),  c.max.has_value(), c.base.has_value(),
                      c.inc.has_value(),  get(c.min).width,  get(c.min).height,
                      get(c.max).width,   get(c.max).height, get(c.base).width,
                      get(c.base).height, get(c.inc).width,  get(c.inc).height};
    const ClientSize got = AllowedSize(h, c.asked);
    EXPECT_EQ(got, c.allowed)
        << c.what << ": " << got.width << " x " << got.height;
  }
}

TEST(RequestFor, AsksForWhatGivesTheOuterRectangle) {
  struct Case {
    const char* what;
    Decoration d;
    Rect outer;
    ClientRequest request;
    bool fits;  // the request gives `outer` back
  };
  // clang-format off
  const Case cases[] = {
      {"no frame", {}, {50, 60, 696, 518}, {50, 60, 646, 458}, true},
      {"a frame", {{1, 2, 20, 3}, {}, 0}, {50, 60, 696, 518}, {50, 60, 643, 435}, true},
      {"an X border", {{}, {}, 2}, {50, 60, 696, 518}, {50, 60, 642, 454}, true},
      {"a client-side shadow", {{}, {12, 12, 12, 12}, 0}, {200, 150, 840, 630},
       {188, 138, 664, 504}, true},
      {"smaller than the frame", {{5, 5, 30, 5}, {}, 0}, {0, 0, 4, 4}, {0, 0, 1, 1}, false},
      {"beyond what X carries", {}, {-70000, 0, 70000, 100}, {-32768, 0, 65535, 100}, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    const ClientRequest r = RequestFor(c.outer, c.d);
    EXPECT_EQ(r, c.request) << c.what;
    // The window manager puts the frame at x, y and the client inside.
    const std::int32_t l = r.x + c.d.frame.left, t = r.y + c.d.frame.top;
    const Rect client{l, t, l + r.width + 2 * c.d.borderWidth,
                      t + r.height + 2 * c.d.borderWidth};
    EXPECT_EQ(OuterRect(client, c.d) == c.outer, c.fits) << c.what;
  }
}

TEST(MonitorOf, TheMonitorWithTheLargerPartOfTheWindow) {
  const std::vector<Rect> monitors = {{0, 0, 1920, 1080},
                                      {1920, 0, 3200, 1024}};
  struct Case {
    const char* what;
    Rect window;
    std::size_t monitor;
  };
  const Case cases[] = {
      {"on the first", {100, 100, 746, 558}, 0},
      {"more on the second", {1700, 100, 2346, 558}, 1},
      {"more on the first", {1500, 100, 2146, 558}, 0},
      {"half and half: the first", {1597, 100, 2243, 558}, 0},
      {"where no monitor shows it: the fallback", {2000, 1030, 2600, 1070}, 7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MonitorOf(monitors, c.window, 7), c.monitor) << c.what;
  }
}

TEST(MonitorWorkArea, TheMonitorLessTheStrutsOnIt) {
  const Rect one{0, 0, 1280, 1024}, right{1280, 0, 2560, 1024},
      two{0, 0, 2560, 1024}, uneven{0, 0, 3200, 1080};
  const Strut dock{.bottom = 28, .bottomStartX = 0, .bottomEndX = 1279};
  const Strut bigDock{.bottom = 28, .bottomStartX = 0, .bottomEndX = 1919};
  const Strut edges{.left = 40,
                    .right = 50,
                    .top = 25,
                    .leftEndY = 1023,
                    .rightEndY = 1023,
                    .topStartX = 1280,
                    .topEndX = 2559};
  const Strut all{.right = 1300, .rightEndY = 1023};
  struct Case {
    const char* what;
    Rect monitor, screen;
    std::vector<Strut> struts;
    Rect net, area;
  };
  // clang-format off
  const Case cases[] = {
      {"one monitor", one, one, {dock}, {0, 0, 1280, 996}, {0, 0, 1280, 996}},
      {"left of two, the dock on it", one, two, {dock}, {0, 0, 2560, 996}, {0, 0, 1280, 996}},
      {"right of two, no dock there", right, two, {dock}, {0, 0, 2560, 996}, right},
      {"the smaller of two unequal ones", {1920, 0, 3200, 1024}, uneven, {bigDock},
       {0, 0, 3200, 1052}, {1920, 0, 3200, 1024}},
      {"the larger", {0, 0, 1920, 1080}, uneven, {bigDock}, {0, 0, 3200, 1052}, {0, 0, 1920, 1052}},
      {"struts along the other edges", right, two, {edges}, {40, 25, 2510, 1024},
       {1280, 25, 2510, 1024}},
      // A panel the window manager draws itself has no strut window.
      {"_NET_WORKAREA reserves more", right, two, {}, {0, 30, 2560, 1024}, {1280, 30, 2560, 1024}},
      {"a strut that leaves nothing is not believed", right, two, {all}, two, right},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(MonitorWorkArea(c.monitor, c.screen, c.struts, c.net), c.area)
        << c.what;
  }
}

TEST(Hints, StrutsWorkAreasAndExtentsAreReadWithCare) {
  const Rect screen{0, 0, 1280, 1024};
  EXPECT_EQ(
      StrutFrom({0, 0, 0, 28, 0, 0, 0, 0, 0, 0, 0, 639}, {0, 0, 0, 99}, screen),
      (Strut{.bottom = 28, .bottomEndX = 639}));
  // The older strut reserves whole edges.
  EXPECT_EQ(StrutFrom({}, {40, 0, 0, 0}, screen), (Strut{.left = 40,
                                                         .leftEndY = 1023,
                                                         .rightEndY = 1023,
                                                         .topEndX = 1279,
                                                         .bottomEndX = 1279}));
  EXPECT_EQ(StrutFrom({}, {0, 0, 0, 0}, screen), std::nullopt);
  EXPECT_EQ(StrutFrom({}, {}, screen), std::nullopt);

  const std::vector<std::uint32_t> areas = {0, 0, 1280, 996, 0, 30, 1280, 994};
  EXPECT_EQ(WorkAreaEntry(areas, {}), (Rect{0, 0, 1280, 996}));
  EXPECT_EQ(WorkAreaEntry(areas, {1}), (Rect{0, 30, 1280, 1024}));
  EXPECT_EQ(WorkAreaEntry(areas, {2}), std::nullopt);
  EXPECT_EQ(WorkAreaEntry({0, 0, 0, 996}, {}), std::nullopt);
  EXPECT_EQ(WorkAreaEntry({0, 0, 70000, 996}, {}), std::nullopt);

  EXPECT_EQ(ExtentsFrom({1, 2, 20, 3}), (Extents{1, 2, 20, 3}));
  EXPECT_EQ(ExtentsFrom({1, 2, 20}), Extents{});
  EXPECT_EQ(ExtentsFrom({1, 0xFFFFFFFF, 20, 3}), Extents{});
}

TEST(Titles, Latin1BecomesUtf8AndCutsKeepWholeCharacters) {
  EXPECT_EQ(Latin1ToUtf8("Caf\xE9 \xFF"), "Caf\xC3\xA9 \xC3\xBF");
  EXPECT_EQ(UpToNul(std::string("ab\0cd", 5)), "ab");
  struct Case {
    std::string text;
    std::size_t limit, cut;
  };
  const Case cases[] = {
      {"abc", 5, 3},
      {"abc", 2, 2},
      {"\xC3\xBC\xC3\xBC", 3, 2},  // ü ü: not half of the second
      {"a\xE2\x82\xAC", 3, 1},     // a €: the euro sign takes three bytes
      {"\xF0\x9F\x98\x80", 3, 0},  // an emoji: four bytes
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8Cut(c.text, c.limit), c.cut) << c.text << " " << c.limit;
  }
}

}  // namespace
}  // namespace pentrax::x11
