#include "engine/kana_to_romaji.h"

#include <gtest/gtest.h>

#include "engine/text.h"

namespace lk {
namespace {

struct Case {
  std::u16string_view reading;
  std::u16string_view romaji;
};

TEST(KanaToRomaji, Notation) {
  const Case cases[] = {
      {u"", u""},
      // Contracted syllables are single tokens; other small-kana pairs fall apart.
      {u"きゃ", u"kya"}, {u"くゃ", u"qya"}, {u"しぇ", u"sixe"}, {u"ふぁ", u"huxa"}, {u"てぃ", u"texi"},
      {u"ぢゃぢゅぢょ", u"dyadyudyo"}, {u"ぴょ", u"pyo"}, {u"ゃ", u"xya"}, {u"ぁぃぅぇぉ", u"xaxixuxexo"},
      // っ doubles the next letter only before one of the 14 consonants.
      {u"がっこう", u"gakkou"}, {u"っしゃ", u"ssya"}, {u"っぁ", u"xxa"}, {u"あっ", u"axtu"},
      {u"っな", u"xtuna"}, {u"っっか", u"xtukka"}, {u"っあ", u"xtua"}, {u"っヴ", u"xtuvu"},
      {u"っくゃ", u"xtuqya"}, {u"っんあ", u"xtu**na"}, {u"っ、", u"xtu,"}, {u"っ1", u"xtu1"},
      {u"っa", u"xtu*a*"},
      // ん markers and plain ん.
      {u"んあ", u"**na"}, {u"んや", u"**nya"}, {u"んな", u"**n1a"}, {u"んにゃ", u"**n1ya"},
      {u"んを", u"nnwo"}, {u"ん", u"nn"}, {u"んん", u"nnnn"}, {u"んんあ", u"nn**na"}, {u"んゃ", u"nnxya"},
      {u"にんじん", u"ninnzinn"}, {u"ろうにゃくなんにょ", u"rounyakuna**n1yo"},
      // Katakana read as hiragana; ヴ has its own syllable.
      {u"ベートーヴェン", u"be-to-vuxenn"}, {u"パーソナルコンピューター", u"pa-sonarukonnpyu-ta-"},
      {u"ウィンドウショッピング", u"uxinndousyoppinngu"}, {u"モーツァルト", u"mo-tuxaruto"},
      // Marks, letters, digits and signs.
      {u"いま、なんじ？", u"ima,nannzi?"}, {u"おたんじょうびおめでとう！", u"otannzyoubiomedetou!"},
      {u"ー｜ｰ", u"-|-"}, {u"「・」。", u"[/]."},
      {u"Good morning!", u"*g**o**o**d* *m**o**r**n**i**n**g*!"},
      {u"21st Century of January in 2004", u"21*s**t* *c**e**n**t**u**r**y* *o**f* *j**a**n**u**a**r**y* *i**n* 2004"},
      {u"ＫＡ", u"ka"}, {u"Ａ１　＋", u"a1 +"}, {u"(^-^)/", u"(^-^)/"},
      // No rule and no half-width form: unchanged.
      {u"漢字ゐゑゎヵヶ", u"漢字ゐゑゎヵヶ"}, {u"ｶﾅ", u"ｶﾅ"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(toUtf8(kanaToRomaji(c.reading)), toUtf8(c.romaji)) << toUtf8(c.reading);
}

TEST(KanaToRomaji, MusicVariantKeepsHalfWidthProlongedSound) {
  EXPECT_EQ(kanaToRomaji(u"ｰ", KanaToRomajiVariant::MusicEditor), u"ｰ");
  EXPECT_EQ(kanaToRomaji(u"ｰ", KanaToRomajiVariant::TypingEditor), u"-");
  // The moved ん group changes nothing else.
  const std::u16string_view others[] = {u"んやんなんにゃんよ", u"ベートーヴェン", u"ーふぁっかＡa", u"こんにちは"};
  for (auto r : others)
    EXPECT_EQ(kanaToRomaji(r, KanaToRomajiVariant::MusicEditor), kanaToRomaji(r)) << toUtf8(r);
}

}  // namespace
}  // namespace lk
