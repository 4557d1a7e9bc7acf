#include "editors/platform/mecab_lookup.h"
#include "editors/text_practice.h"

#include <gtest/gtest.h>

#include "engine/text.h"

namespace lk {
namespace {

// One lookup for the whole program: opening IPADIC takes a moment.
MecabLookup& lookup() {
  static MecabLookup instance;
  return instance;
}

TEST(MecabLookup, OpensTheUtf8Dictionary) {
  ASSERT_TRUE(lookup().available());
  EXPECT_TRUE(lookup().dictionaryCharset() == "UTF-8" || lookup().dictionaryCharset() == "utf-8" ||
              lookup().dictionaryCharset() == "utf8")
      << lookup().dictionaryCharset();
}

struct Case {
  const char* text;
  const char* reading;
};

TEST(MecabLookup, ReadsKanjiAndKatakanaAsHiragana) {
  const Case cases[] = {
      {"漢字", "かんじ"},
      {"学校", "がっこう"},
      {"机", "つくえ"},
      {"キャベツ", "きゃべつ"},
      {"パソコン", "ぱそこん"},
      {"東京に行く", "とうきょうにいく"},
      {"ベートーヴェン", "べーとーヴぇん"},  // ヴ has no Shift-JIS hiragana
      {"ひまわり", "ひまわり"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(toUtf8(lookup().hurigana(fromUtf8(c.text))), c.reading) << c.text;
  }
}

TEST(MecabLookup, KeepsSurfaceWhereThereIsNoReadingAndKeepsSpaces) {
  const Case cases[] = {
      {"Good morning!", "Good morning!"},
      {"21st century of January in 2004", "21st century of January in 2004"},
      {"いま、なんじ？", "いま、なんじ？"},
      {"  東京 大阪  ", "  とうきょう おおさか  "},
      {"１２３％", "123％"},
      {"13時50分", "13じ50ぷん"},
      {"2004年2月21日", "2004ねん2がつ21にち"},
      {"5分と3分", "5ふんと3ぷん"},
      {"12月", "12がつ"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(toUtf8(lookup().hurigana(fromUtf8(c.text))), c.reading) << c.text;
  }
}

TEST(MecabLookup, WordsJoinToTheTextAsItStands) {
  struct Case {
    std::u16string text;
    std::vector<std::u16string> words;
  } cases[] = {
      {u"私は学生です", {u"私", u"は", u"学生", u"です"}},
      {u"ﾊﾟｿｺﾝ と 机", {}},  // only the join is checked: widths and spaces kept
      {u"", {}},
  };
  for (const Case& c : cases) {
    const std::vector<std::u16string> words = lookup().words(c.text);
    std::u16string joined;
    for (const std::u16string& w : words) joined += w;
    EXPECT_EQ(joined, c.text) << toUtf8(c.text);
    if (!c.words.empty()) EXPECT_EQ(words, c.words) << toUtf8(c.text);
  }
}

TEST(MecabLookup, TextPracticeCutsALongSentenceIntoLinesThatFit) {
  const std::u16string sentence = u"私は昨日の午後に駅前の新しい本屋で面白そうな小説を三冊買って家に帰りました。";
  const std::vector<TextQuestion> q = readText(sentence, lookup());
  ASSERT_GT(q.size(), 1u);
  std::u16string joined;
  for (const TextQuestion& one : q) {
    joined += one.text;
    EXPECT_TRUE(one.known()) << toUtf8(one.text);
    EXPECT_LE(keysOf(one.reading), kLowerLineKeys) << toUtf8(one.text);
  }
  EXPECT_EQ(joined, sentence);
}

TEST(MecabLookup, EmptyTextAndAsterisks) {
  EXPECT_EQ(lookup().hurigana(u""), u"");
  EXPECT_EQ(lookup().hurigana(u"*"), u"");
  EXPECT_EQ(lookup().hurigana(u"＊＊"), u"");
  const std::u16string r = lookup().hurigana(u"星*印＊山");
  EXPECT_EQ(r.find_first_of(u"*＊"), std::u16string::npos) << toUtf8(r);
  EXPECT_NE(r.find(u"やま"), std::u16string::npos) << toUtf8(r);
}

TEST(MecabLookup, OddInputNeverFails) {
  const std::u16string odd[] = {
      std::u16string(1, u'\0'), std::u16string(u"a\0b", 3), std::u16string(1, char16_t(0xD800)),
      std::u16string(5000, u'山'), u"\r\n\t", u"😀漢字",
  };
  for (const auto& text : odd) {
    const std::u16string r = lookup().hurigana(text);
    EXPECT_EQ(r.find_first_of(u"*＊"), std::u16string::npos);
  }
  EXPECT_EQ(lookup().hurigana(u"😀漢字"), u"");
}

TEST(MecabLookup, NoReadingForAnyPartMeansNoReadingAtAll) {
  // The box stays empty, so the user sees what to fill in.
  for (const char* text : {"鬱", "鬱の字", "ららら♪", "漢字😀", "tab\there"}) {
    EXPECT_EQ(toUtf8(lookup().hurigana(fromUtf8(text))), "") << text;
  }
}

TEST(MecabLookup, WidthsAndInputMethodVariantsAreFoldedFirst) {
  const Case cases[] = {
      {"ﾊﾟｿｺﾝ", "ぱそこん"},
      {"ｷｬﾍﾞﾂとﾄﾏﾄ", "きゃべつととまと"},
      {"ＡＢＣと１２", "ABCと12"},
      {"ＫＯＢＥ", "KOBE"},
      {"東京\u301C大阪", "とうきょう～おおさか"},  // the wave dash as fcitx and ibus type it
      {"ゔぁいおりん", "ヴぁいおりん"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(toUtf8(lookup().hurigana(fromUtf8(c.text))), c.reading) << c.text;
  }
}

TEST(MecabLookup, RefusesTheEucJpDictionary) {
  MecabLookup euc({"-d /var/lib/mecab/dic/ipadic"});
  EXPECT_EQ(euc.hurigana(u"漢字"), u"");
  EXPECT_FALSE(euc.available());
  EXPECT_EQ(euc.dictionaryCharset().substr(0, 3), "EUC") << euc.dictionaryCharset();
}

TEST(MecabLookup, MissingDictionaryGivesEmpty) {
  MecabLookup none({"-d /nonexistent/dictionary"});
  EXPECT_EQ(none.hurigana(u"漢字"), u"");
  EXPECT_EQ(none.hurigana(u"漢字"), u"");
}

TEST(MecabLookup, FallsBackToTheUtf8DictionaryWhenTheFirstChoiceIsEucJp) {
  MecabLookup fallback({"-d /var/lib/mecab/dic/ipadic", "-d /var/lib/mecab/dic/ipadic-utf8"});
  EXPECT_EQ(fallback.hurigana(u"漢字"), u"かんじ");
}

TEST(KatakanaToHiragana, ConvertsTheKanaRowOnly) {
  EXPECT_EQ(katakanaToHiragana(u"ァアカガンヴヵヶーｶ漢ab"), u"ぁあかがんヴヵヶーｶ漢ab");
}

}  // namespace
}  // namespace lk
