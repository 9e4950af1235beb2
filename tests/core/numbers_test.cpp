#include "numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pentrax {
namespace {

struct Reading {
  const char* text;
  double value;
};

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfAText) {
  const Reading table[] = {
      {"", 0},        {"abc", 0},
      {"640", 640},   {"  12  ", 12},
      {"1 2 3", 123}, {"\t4\n5", 45},
      {"12abc", 12},  {"-7", -7},
      {"+7", 7},      {"- 7", -7},
      {"3.75", 3.75}, {".5", 0.5},
      {"5.", 5},      {"1.2.3", 1.2},
      {"1,5", 1},     {"1e3", 1000},
      {"1E+2", 100},  {"25e-1", 2.5},
      {"2e", 2},      {"2e+", 2},
      {"2ex", 2},     {"&H1F", 31},
      {"&hff", 255},  {"&O17", 15},
      {"&o8", 0},     {"&H", 0},
      {"&Hzz", 0},    {"&X10", 0},
      {"-&H10", 0},   {"&H 1 0", 16},
      {"--5", 0},     {"+-5", 0},
      {".", 0},       {"-", 0},
      {"0x10", 0},    {"\r5", 0},
      {"1e-999", 0},  {"&HFFFFFFFF", 4294967295.0},
      // Overflow reads as infinity, not as junk.
      {"9E999", HUGE_VAL}, {"-9E999", -HUGE_VAL},
  };
  for (const Reading& r : table) {
    EXPECT_DOUBLE_EQ(LeadingNumber(r.text), r.value) << '"' << r.text << '"';
  }
  EXPECT_EQ(LeadingNumber(std::string(400, '9')), HUGE_VAL);
  EXPECT_GT(LeadingNumber("&H" + std::string(300, 'F')), 1e300);
}

// Halves go to the even neighbour; whole numbers are clamped to the 32-bit
// range; the text is the general number form.
TEST(Rounding, HalvesGoToTheEvenNeighbourAndStayIn32Bits) {
  const double inf = std::numeric_limits<double>::infinity();
  // clang-format off
  const std::pair<double, std::int32_t> rounded[] = {
      {0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2},
      {2.5001, 3}, {inf, 2147483647}, {-inf, -2147483647 - 1},
      {std::nan(""), 0}, {4294967295.0, 2147483647}, {2147483646.5, 2147483646}};
  // clang-format on
  for (const auto& [value, whole] : rounded) {
    EXPECT_EQ(RoundToInt32(value), whole) << value;
  }
  EXPECT_EQ(FloorToInt32(-0.5), -1);
  EXPECT_EQ(FloorToInt32(2.9), 2);
  EXPECT_EQ(ClampToInt32(std::int64_t{1} << 40), 2147483647);
  EXPECT_EQ(NumberToText(-0.0) + NumberToText(1280.0) + NumberToText(-17.0) +
                NumberToText(2.5, ','),
            "01280-172,5");
  EXPECT_EQ(NumberToText(std::int32_t{-2147483647 - 1}), "-2147483648");
}

}  // namespace
}  // namespace pentrax
