// What a real KWin cannot be made to show: two windows' UUIDs of one number.
#include <gtest/gtest.h>

#include "handle_map.h"

namespace pentrax {
namespace {

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
