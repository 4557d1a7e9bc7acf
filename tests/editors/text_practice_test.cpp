#include "editors/text_practice.h"

#include <gtest/gtest.h>

#include "engine/text.h"
#include "fakes/fake_reading.h"
#include "records/text_file.h"

namespace lk {
namespace {

using Texts = std::vector<std::u16string>;

Texts textsOf(const std::vector<TextPiece>& pieces) {
  Texts out;
  for (const TextPiece& p : pieces) out.push_back(p.text);
  return out;
}

TEST(TextSplit, SentencesSignsBracketsBlankLinesLettersDigits) {
  struct Case {
    const char* what;
    std::u16string text;
    Texts pieces;
  } cases[] = {
      {"each sign ends a sentence and stays with it", u"今日は晴れ。明日は雨！本当？うん", {u"今日は晴れ。", u"明日は雨！", u"本当？", u"うん"}},
      {"ASCII signs too; spaces around a piece go", u"Hello! How are you?  Fine.", {u"Hello!", u"How are you?", u"Fine."}},
      {"a closing bracket stays with the sentence it closes", u"「はい。」と言った。", {u"「はい。」", u"と言った。"}},
      {"signs in a row end one sentence", u"え！？そうなの…", {u"え！？", u"そうなの…"}},
      {"line breaks end a piece, blank lines give none", u"一行目\n\n \u3000\n  二行目  \r\n三行目\r四行目\n", {u"一行目", u"二行目", u"三行目", u"四行目"}},
      {"brackets alone are nothing to type", u"『』\n“”\n『本』を読む。", {u"『本』を読む。"}},
      {"letters and digits stay inside the sentence", u"2026年にABCを3.5回。", {u"2026年にABCを3.5回。"}},
      {"a double quote becomes one a file can hold", u"He said \"hi\"", {u"He said ＂hi＂"}},
      {"no text, no pieces", u" \n\r\n", {}},
      {"control characters a paste brings are dropped", std::u16string(u"雨\0だ。\u2029\uFEFF\x01\n", 9), {u"雨だ。"}},
  };
  for (const Case& c : cases) EXPECT_EQ(textsOf(splitSentences(c.text)), c.pieces) << c.what;
}

TEST(TextSplit, PiecesKnowTheLineTheyStartOn) {
  const std::vector<TextPiece> pieces = splitSentences(u"一。二。\r\n\r\n三\n\n  四。");
  ASSERT_EQ(pieces.size(), 4u);
  const int lines[] = {1, 1, 3, 5};
  for (std::size_t i = 0; i < pieces.size(); ++i) EXPECT_EQ(pieces[i].line, lines[i]) << i;
}

TEST(TextSplit, ReadingTextDropsOnlyTheBracketsNoKeyTypes) {
  struct Case {
    std::u16string sentence;
    std::u16string reading;
  } cases[] = {
      {u"『本』を読む", u"本を読む"},
      {u"【速報】“雨”", u"速報雨"},
      {u"「はい」", u"「はい」"},  // 「」 are typed with [ and ]
      {u"＂hi＂ \"yo\"", u"hi yo"},
  };
  for (const Case& c : cases) EXPECT_EQ(readingText(c.sentence), c.reading) << toUtf8(c.sentence);
}

TEST(TextEncoding, ToldApartByContent) {
  const std::string sjis = *encodeCp932(u"日本語の文。");
  struct Case {
    const char* what;
    std::string bytes;
    std::optional<TextEncoding> encoding;
    std::u16string text;
  } cases[] = {
      {"UTF-8", toUtf8(u"日本語の文。"), TextEncoding::Utf8, u"日本語の文。"},
      {"UTF-8 with BOM, the mark dropped", "\xEF\xBB\xBF" + toUtf8(u"日本語の文。"), TextEncoding::Utf8WithBom, u"日本語の文。"},
      {"Shift-JIS", sjis, TextEncoding::ShiftJis, u"日本語の文。"},
      {"ASCII is read as UTF-8", "abc 123", TextEncoding::Utf8, u"abc 123"},
      {"neither", "\x82\xA0\xFF\xFF", std::nullopt, u""},
      {"a BOM before bytes that are not UTF-8", "\xEF\xBB\xBF" + sjis, std::nullopt, u""},
  };
  for (const Case& c : cases) {
    const std::optional<DecodedText> got = decodeText(c.bytes);
    ASSERT_EQ(got.has_value(), c.encoding.has_value()) << c.what;
    if (!got) continue;
    EXPECT_EQ(got->encoding, *c.encoding) << c.what;
    EXPECT_EQ(got->text, c.text) << c.what;
  }
}

class TextPipeline : public ::testing::Test {
 protected:
  test::FakeReading lookup;
};

TEST_F(TextPipeline, ParagraphWithKnownAndUnknownReadings) {
  lookup.set(u"私は学生です。", u"わたしはがくせいです。");
  lookup.set(u"本を読みます。", u"ほんをよみます。");
  lookup.set(u"２０歳です。", u"２０さいです。");
  const std::u16string text = u"私は学生です。『本』を読みます。\n\n鬱だ。２０歳です。";

  const std::vector<TextQuestion> q = readText(text, lookup);

  ASSERT_EQ(q.size(), 4u);
  EXPECT_EQ(q[0].text, u"私は学生です。");
  EXPECT_EQ(q[0].reading, u"わたしはがくせいです。");
  EXPECT_EQ(q[1].text, u"『本』を読みます。") << "the text keeps its brackets";
  EXPECT_EQ(q[1].reading, u"ほんをよみます。");
  EXPECT_EQ(q[2].text, u"鬱だ。");
  EXPECT_FALSE(q[2].known());
  EXPECT_EQ(q[2].line, 3);
  EXPECT_EQ(q[3].reading, u"20さいです。") << "full-width digits are typed as digits";

  const std::optional<QuestionFault> fault = firstFault(q);
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->index, 2);
  EXPECT_EQ(fault->message, u"読みが分からない問題があります。（3番）");
}

TEST_F(TextPipeline, ALookupAnswerNoKeyFinishesIsNoReading) {
  lookup.set(u"音符♪", u"おんぷ♪");
  const std::vector<TextQuestion> q = readText(u"音符♪", lookup);
  ASSERT_EQ(q.size(), 1u);
  EXPECT_FALSE(q[0].known());
}

TEST_F(TextPipeline, LongSentenceIsCutAtCommasThenAtWords) {
  // At 20 keys: "sakuraga," 9 + "saita," 6 fit together, "kireida." 8 does not.
  lookup.set(u"さくらが、さいた、きれいだ。", u"さくらが、さいた、きれいだ。");
  lookup.set(u"さくらが、", u"さくらが、");
  lookup.set(u"さいた、", u"さいた、");
  lookup.set(u"きれいだ。", u"きれいだ。");
  lookup.set(u"さくらが、さいた、", u"さくらが、さいた、");
  // No comma: the lookup's words, packed the same way ("watasiha" 8 +
  // "gakkouhe" 8 fit, "ikimasu." 8 more does not).
  lookup.set(u"わたしはがっこうへいきます。", u"わたしはがっこうへいきます。");
  lookup.wordLists[u"わたしはがっこうへいきます。"] = {u"わたしは", u"がっこうへ", u"いきます。"};
  for (const char16_t* w : {u"わたしは", u"がっこうへ", u"いきます。", u"わたしはがっこうへ"}) lookup.set(w, w);
  // No comma and no word boundaries known: it stays whole.
  lookup.set(u"ながいながいながいながいぶん", u"ながいながいながいながいぶん");

  struct Case {
    std::u16string text;
    Texts pieces;
  } cases[] = {
      {u"さくらが、さいた、きれいだ。", {u"さくらが、さいた、", u"きれいだ。"}},
      {u"わたしはがっこうへいきます。", {u"わたしはがっこうへ", u"いきます。"}},
      {u"ながいながいながいながいぶん", {u"ながいながいながいながいぶん"}},
  };
  for (const Case& c : cases) {
    const std::vector<TextQuestion> q = readText(c.text, lookup, {}, 20);
    Texts got;
    for (const TextQuestion& one : q) {
      got.push_back(one.text);
      EXPECT_EQ(one.reading, one.text) << "each part has its own reading";
    }
    EXPECT_EQ(got, c.pieces) << toUtf8(c.text);
  }
}

TEST_F(TextPipeline, ProgressIsToldAndCanStopTheReading) {
  std::vector<std::pair<std::size_t, std::size_t>> told;
  const std::vector<TextQuestion> all = readText(u"あ。い。う。", lookup, [&](std::size_t done, std::size_t total) {
    told.emplace_back(done, total);
    return true;
  });
  EXPECT_EQ(all.size(), 3u);
  EXPECT_EQ(told, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 3}, {2, 3}, {3, 3}}));

  const std::vector<TextQuestion> stopped = readText(u"あ。い。う。", lookup, [](std::size_t, std::size_t) { return false; });
  EXPECT_EQ(stopped.size(), 1u);
}

TEST(TextQuestions, FaultsNameTheFirstQuestionThatBlocks) {
  struct Case {
    std::vector<TextQuestion> questions;
    std::optional<std::u16string> message;
  } cases[] = {
      {{{u"あ。", u"あ。"}, {u"い。", u"い。"}}, std::nullopt},
      {{}, std::u16string(kMsgUnknownReading)},
      {{{u"あ。", u"あ。"}, {u"い。", u" "}}, u"読みが分からない問題があります。（2番）"},
      {{{u"漢字", u"漢字"}}, u"読みに入力できない文字があります。（1番）"},
      {{{u"星", u"ほし*"}}, u"使用できない文字が含まれています。（1番）"},
      {{{u"引用", u"\"いんよう\""}}, u"使用できない文字が含まれています。（1番）"},
  };
  for (const Case& c : cases) {
    const std::optional<QuestionFault> f = firstFault(c.questions);
    ASSERT_EQ(f.has_value(), c.message.has_value());
    if (f) EXPECT_EQ(f->message, *c.message);
  }
}

TEST(TextQuestions, ProblemSetAndFileHoldEveryQuestionInOrder) {
  const std::vector<TextQuestion> q = {{u"学校へ行く。", u"がっこうへいく。"}, {u"ABCだ。", u"ABCだ。"}};
  ProblemSet set;
  set.reading = {u"old"};
  fillProblemSet(set, u"題", q);
  EXPECT_EQ(set.count, 2);
  EXPECT_EQ(set.title, u"題");
  EXPECT_EQ(set.text, (Texts{u"学校へ行く。", u"ABCだ。"}));
  EXPECT_EQ(set.romaji, (Texts{u"gakkouheiku.", u"*a**b**c*da."}));
  EXPECT_TRUE(set.reading.empty());
  EXPECT_TRUE(set.askInOrder);

  const TypingProblemFile file = problemFileOf(u"題", q);
  EXPECT_TRUE(file.complete);
  EXPECT_EQ(file.text, set.text);
  EXPECT_EQ(file.romaji, set.romaji);
}

TEST(TextQuestions, DefaultTitleIsTheStartOfTheText) {
  struct Case {
    std::u16string text;
    std::u16string title;
  } cases[] = {
      {u"  今日は\n\n晴れ。とても良い天気ですね。明日も", u"今日は 晴れ。とても良い天気ですね。明日"},
      {u"短い。", u"短い。"},
      {u"say \"hi\"", u"say ＂hi＂"},
      {u"𠮷野家で𠮷野家の牛丼を食べる予定ですね。よ", u"𠮷野家で𠮷野家の牛丼を食べる予定ですね。"},
  };
  for (const Case& c : cases) EXPECT_EQ(defaultTextTitle(c.text), c.title) << toUtf8(c.text);
}

}  // namespace
}  // namespace lk
