#include "practice/word_lists.h"

#include <gtest/gtest.h>

#include "engine/kana_to_romaji.h"
#include "engine/text.h"

namespace lk {
namespace {

TEST(BuiltInLists, TitlesAndSizes) {
  EXPECT_EQ(builtInTitle(1), u"初 級");
  EXPECT_EQ(builtInTitle(2), u"中 級");
  EXPECT_EQ(builtInTitle(3), u"上 級");
  for (int level = 1; level <= 3; ++level) EXPECT_EQ(builtInList(level).size(), 50u);
  EXPECT_TRUE(builtInList(0).empty());
  EXPECT_TRUE(builtInList(4).empty());
  EXPECT_TRUE(builtInTitle(4).empty());
}

TEST(BuiltInLists, SampleEntries) {
  struct Row { int level, index; std::u16string_view text, romaji; };
  const Row rows[] = {
      {1, 0, u"パン", u"pann"},
      {1, 49, u"先生", u"sennsei"},
      {2, 0, u"老若男女", u"rounyakuna**n1yo"},
      {2, 4, u"今、何時？", u"ima,nannzi?"},
      {2, 49, u"コンビニエンスストア", u"konnbiniennsusutoa"},
      {3, 2, u"Good morning!", u"*g**o**o**d* *m**o**r**n**i**n**g*!"},
      {3, 21, u"BBS(Bulletin Board System)", u"*b**b**s*(*b**u**l**l**e**t**i**n* *b**o**a**r**d* *s**y**s**t**e**m*)"},
      {3, 47, u"百貨店のブティック", u"hyakkatennnobutexikku"},
      {3, 49, u"快速電車は13分後に来る。", u"kaisokudennsyaha13punngonikuru."},
  };
  for (const auto& r : rows) {
    const auto& e = builtInList(r.level)[static_cast<std::size_t>(r.index)];
    EXPECT_EQ(e.text, r.text) << r.level << "/" << r.index;
    EXPECT_EQ(e.romaji, r.romaji) << r.level << "/" << r.index;
  }
}

bool hasKanji(std::u16string_view s) {
  for (char16_t c : s)
    if (c >= 0x4E00 && c <= 0x9FFF) return true;
  return false;
}

// Every entry written without kanji is its own reading: the stored romaji
// must be what the editor's conversion makes of the display text.
TEST(BuiltInLists, KanjiFreeEntriesMatchTheConversion) {
  int checked = 0;
  for (int level = 1; level <= 3; ++level) {
    for (const auto& e : builtInList(level)) {
      for (char16_t c : e.romaji) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << toUtf8(e.romaji);
      if (hasKanji(e.text)) continue;
      ++checked;
      EXPECT_EQ(toUtf8(kanaToRomaji(e.text)), toUtf8(e.romaji)) << toUtf8(e.text);
    }
  }
  EXPECT_GT(checked, 50);
}

TEST(FillBuiltIn, ReplacesEverythingOfAnEarlierFill) {
  ProblemSet set;
  set.count = 120;
  set.title = u"old";
  set.text.assign(120, u"x");
  set.romaji.assign(120, u"x");
  fillBuiltIn(set, 2);
  EXPECT_EQ(set.count, 50);
  EXPECT_EQ(set.title, u"中 級");
  ASSERT_EQ(set.text.size(), 50u);
  ASSERT_EQ(set.romaji.size(), 50u);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(set.text[static_cast<std::size_t>(i)], builtInList(2)[static_cast<std::size_t>(i)].text);
    EXPECT_EQ(set.romaji[static_cast<std::size_t>(i)], builtInList(2)[static_cast<std::size_t>(i)].romaji);
  }
  // Consumed romaji comes back untouched on the next fill.
  set.romaji[0].clear();
  fillBuiltIn(set, 2);
  EXPECT_EQ(set.romaji[0], u"rounyakuna**n1yo");

  const ProblemSet before = set;
  fillBuiltIn(set, 7);
  EXPECT_EQ(set.title, before.title);
  EXPECT_EQ(set.romaji, before.romaji);
}

}  // namespace
}  // namespace lk
