// What the backends share, on plain values: rectangles read from desktops'
// numbers, the wait for a placement, and the remembered normal rectangles.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "box_rect.h"
#include "placed_normals.h"
#include "settle_poll.h"

namespace pentrax {
namespace {

TEST(RectFromBox, ClampsWhatNoRectangleHolds) {
  constexpr double kMax = 2147483647, kMin = -2147483648.0;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Row {
    double x, y, width, height;
    Rect rect;
  };
  const Row rows[] = {
      {10, 20, 640, 480, {10, 20, 650, 500}},
      {10.4, 19.6, 640.5, 480, {10, 20, 651, 500}},  // rounded (half up)
      {kMax, 0, 100, 1e300, {2147483647, 0, 2147483647, 2147483647}},
      {-1e300, 9e18, -5, 3, {-2147483647 - 1, 2147483647, -2147483647 - 1,
                             2147483647}},
      {kMin, kMin, kMax, kMax, {-2147483647 - 1, -2147483647 - 1, -1, -1}},
      {nan, 1, nan, 1, {0, 1, 0, 2}},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(RectFromBox(r.x, r.y, r.width, r.height), r.rect) << r.x;
  }
}

TEST(PollUntilSettled, EndsAtTheWantedRectangleOrWhenTheWindowStopsChanging) {
  const Rect before{0, 0, 400, 300}, wanted{0, 0, 640, 480},
      near{0, 0, 637, 476};
  SettleTiming quick;
  quick.quietWithoutChange = quick.quietAfterStateChange =
      std::chrono::milliseconds(20);
  quick.quietAfterChange = std::chrono::milliseconds(5);
  quick.limit = std::chrono::seconds(5);
  quick.interval = quick.longestInterval = std::chrono::microseconds(100);
  struct Row {
    std::vector<std::optional<Rect>> readings;  // the last one repeats
    std::optional<Rect> wanted;
    std::optional<Rect> result;
  };
  const Row rows[] = {
      {{before, near, wanted}, wanted, wanted},
      {{before, before, near}, wanted, near},  // stops short of it
      {{before}, wanted, before},              // never answers
      {{wanted, near}, std::nullopt, near},    // answers with another size
      {{before, std::nullopt}, wanted, std::nullopt},  // gone
  };
  for (const Row& row : rows) {
    std::size_t n = 0;
    const auto read = [&] {
      return row.readings[std::min(n++, row.readings.size() - 1)];
    };
    EXPECT_EQ(PollUntilSettled(read, before, row.wanted, false, quick),
              row.result)
        << n;
  }
}

TEST(PlacedNormals, ReportedWhileTheWindowIsNotInItsNormalState) {
  const Rect placed{10, 10, 650, 490}, maximised{0, 0, 1280, 996};
  struct Step {
    const char* identity;
    std::int32_t show;
    Rect reported;
  };
  const Step steps[] = {
      {"a", kShowMaximized, placed}, {"a", kShowFullscreen, placed},
      {"a", kShowTiled, placed},     {"a", kShowMinimized, maximised},
      {"a", kShowMaximized, placed}, {"b", kShowMaximized, maximised},
      {"a", kShowMaximized, maximised},  // forgotten for the stranger
  };
  PlacedNormals normals;
  normals.Placed(7, "a", placed);
  for (const Step& s : steps) {
    EXPECT_EQ(normals.NormalOf(7, s.identity, s.show, maximised), s.reported)
        << s.identity << s.show;
  }
  normals.Placed(7, "a", placed);
  EXPECT_EQ(normals.NormalOf(7, "a", kShowNormal, maximised), maximised);
  EXPECT_EQ(normals.NormalOf(7, "a", kShowMaximized, maximised), maximised);
}

}  // namespace
}  // namespace pentrax
