#include "engine/romaji_to_kana.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/kana_to_romaji.h"
#include "engine/text.h"

namespace lk {
namespace {

struct Case {
  std::u16string_view romaji;
  std::u16string_view kana;
};

TEST(RomajiToKana, Notation) {
  const Case cases[] = {
      {u"", u""},
      {u"xtukka", u"っっか"}, {u"xxa", u"っぁ"}, {u"nnnn", u"んん"}, {u"ssya", u"っしゃ"}, {u"axtu", u"あっ"},
      {u"rounyakuna**n1yo", u"ろうにゃくなんにょ"}, {u"ninnzinn", u"にんじん"}, {u"nn**na", u"んんあ"},
      {u"**nya**nyu**nyo**n1yu", u"んやんゆんよんにゅ"}, {u"qyaqyuqyo", u"くゃくゅくょ"},
      {u"be-to-vuxenn", u"べ-と-ヴぇん"},  // katakana and ー do not come back
      {u"ima,nannzi?", u"いま,なんじ?"},
      {u"*g**o**o**d*", u"good"}, {u"*k*a", u"kあ"}, {u"*a**i**u**e**o*", u"aiueo"},
      {u"1000haeigode*t**h**o**u**s**a**n**d*", u"1000はえいごでthousand"},
      {u"*m*e*y*", u"*mey*"},  // a vowel kana between two letters reads as a third letter
      {u"ka", u"か"},           // bare letters from full-width input count as romaji
      {u"wowanndu", u"をわんづ"}, {u"ぢ", u"ぢ"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(toUtf8(romajiToKana(c.romaji)), toUtf8(c.kana)) << toUtf8(c.romaji);
}

// Every hiragana alone, every contracted syllable, and every pair of these,
// also with っ or ん between them.
std::vector<std::u16string> generatedHiraganaReadings() {
  std::vector<std::u16string> units;
  for (char16_t c = u'ぁ'; c <= u'ん'; ++c) units.push_back(std::u16string(1, c));
  for (char16_t first : std::u16string_view(u"きくしちにひみりぎじぢびぴ"))
    for (char16_t small : std::u16string_view(u"ゃゅょ")) units.push_back(std::u16string{first, small});
  std::vector<std::u16string> readings = units;
  for (const auto& a : units)
    for (const auto& b : units) {
      readings.push_back(a + b);
      readings.push_back(a + u"っ" + b);
      readings.push_back(a + u"ん" + b);
    }
  return readings;
}

TEST(RoundTrip, HiraganaReadingsSurvive) {
  const auto readings = generatedHiraganaReadings();
  ASSERT_GT(readings.size(), 40000u);
  int failures = 0;
  for (const auto& r : readings) {
    const std::u16string back = romajiToKana(kanaToRomaji(r));
    if (back != r && ++failures <= 20)
      ADD_FAILURE() << toUtf8(r) << " -> " << toUtf8(kanaToRomaji(r)) << " -> " << toUtf8(back);
  }
  EXPECT_EQ(failures, 0);
}

TEST(RoundTrip, HiraganaWithLettersSurvivesUnlessVowelBetweenLetters) {
  const std::u16string_view kana[] = {u"あ", u"か", u"ん", u"っ", u"きゃ", u"ぁ", u"な", u"ゃ"};
  const std::u16string_view letters[] = {u"a", u"k", u"n", u"x", u"y", u"t"};
  for (auto k : kana)
    for (auto l : letters)
      for (const std::u16string& r : {std::u16string(k) + std::u16string(l), std::u16string(l) + std::u16string(k),
                                      std::u16string(l) + std::u16string(k) + std::u16string(k)}) {
        EXPECT_EQ(toUtf8(romajiToKana(kanaToRomaji(r))), toUtf8(r)) << toUtf8(kanaToRomaji(r));
      }
  EXPECT_EQ(romajiToKana(kanaToRomaji(u"mえy")), u"*mey*");
}

}  // namespace
}  // namespace lk
