#include "editors/reading_rows.h"

#include <gtest/gtest.h>

#include <vector>

namespace lk {
namespace {

TEST(Okikae, ConvertsAllHundredEntriesInPlace) {
  ProblemSet set;
  set.romaji = {u"きゃべつ", u"", u"パン"};
  set.text = {u"keep"};
  okikae(set);
  ASSERT_EQ(set.romaji.size(), 100u);
  EXPECT_EQ(set.romaji[0], u"kyabetu");
  EXPECT_EQ(set.romaji[1], u"");
  EXPECT_EQ(set.romaji[2], u"pann");
  EXPECT_EQ(set.romaji[99], u"");
  EXPECT_EQ(set.text, std::vector<std::u16string>{u"keep"});
}

TEST(OkikaeB, ConvertsAllHundredEntriesInPlace) {
  ProblemSet set;
  set.romaji = {u"kyabetu", u"", u"pann"};
  okikae_b(set);
  ASSERT_EQ(set.romaji.size(), 100u);
  EXPECT_EQ(set.romaji[0], u"きゃべつ");
  EXPECT_EQ(set.romaji[1], u"");
  EXPECT_EQ(set.romaji[2], u"ぱん");
  EXPECT_EQ(set.romaji[99], u"");
}

}  // namespace
}  // namespace lk
