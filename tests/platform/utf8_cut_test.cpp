// The title every backend's GetWindowText gives: cut on a character
// boundary, then a NUL.
#include "utf8_cut.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace pentrax {
namespace {

TEST(CopyTitle, CutsOnACharacterBoundaryAndEndsWithANul) {
  const std::tuple<std::string, int, std::string> rows[] = {
      {"abc", 8, "abc"},
      {"abc", 3, "ab"},
      {"abc", 1, ""},
      {"\xC3\xBC\xC3\xBC", 4, "\xC3\xBC"},  // u-umlaut twice: not half of one
      {"a\xE2\x82\xAC", 4, "a"},            // the euro sign takes three bytes
      {"\xF0\x9F\x98\x80", 4, ""},          // an emoji four
  };
  for (const auto& [title, maxCount, copied] : rows) {
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(CopyTitle(title, buffer, maxCount), std::ssize(copied)) << title;
    EXPECT_EQ(buffer, copied) << title;
  }
  char untouched = 'x';
  EXPECT_EQ(CopyTitle("abc", &untouched, 0), 0);
  EXPECT_EQ(untouched, 'x');
  EXPECT_EQ(CopyTitle("abc", nullptr, 8), 0);
}

}  // namespace
}  // namespace pentrax
