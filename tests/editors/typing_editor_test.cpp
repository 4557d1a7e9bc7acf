#include "editors/typing_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/typing_problem_file.h"
#include "engine/text.h"
#include "fakes/fake_reading.h"
#include "fakes/fake_services.h"
#include "fakes/test_data.h"
#include "records/problem_set.h"
#include "records/text_file.h"

namespace lk {
namespace {

using Lines = std::vector<std::u16string>;

class TypingEditorTest : public ::testing::Test {
 protected:
  TypingEditorTest() {
    fakes.reading = &reading;
    services = fakes.services();
  }

  // Types into the boxes of row `number` (as shown, counted from 1), paging there first.
  void typeRow(int number, std::u16string text, std::u16string yomi) {
    const int row = number - 1;
    while (editor.page() < row / 10) editor.nextPage();
    while (editor.page() > row / 10) editor.previousPage();
    editor.view.problems[row % 10] = std::move(text);
    editor.view.readings[row % 10] = std::move(yomi);
  }

  std::filesystem::path file(const std::string& name) const { return fakes.folder.root / name; }

  void saveTo(const std::filesystem::path& path) {
    fakes.files.saveAnswers.push_back(path);
    editor.save();
  }

  void loadFrom(const std::filesystem::path& path) {
    fakes.files.openAnswers.push_back(path);
    editor.load();
  }

  Lines fileLines(const std::filesystem::path& path) const { return readTextFileLines(path).value_or(Lines{}); }

  test::FakeServices fakes;
  test::FakeReading reading;
  Services services;
  ProblemSet set;
  TypingEditor editor{set, services};
};

TEST_F(TypingEditorTest, OpensWithAHundredEmptyRowsOnPageOne) {
  set.text.assign(3, u"old");
  TypingEditor fresh(set, services);
  EXPECT_EQ(set.text.size(), 100u);
  EXPECT_EQ(set.romaji.size(), 100u);
  EXPECT_EQ(set.text[0], u"");
  EXPECT_EQ(fresh.page(), 0);
  EXPECT_EQ(fresh.pageLabel(), u"1");
  EXPECT_EQ(fresh.rowNumber(0), 1);
  EXPECT_EQ(fresh.rowNumber(9), 10);
  EXPECT_EQ(fresh.view.title, u"<no title>");
}

TEST_F(TypingEditorTest, PagingStoresAndShowsRows) {
  editor.view.problems[0] = u"犬";
  editor.view.readings[0] = u"いぬ";
  editor.view.problems[9] = u"猫";
  editor.nextPage();
  EXPECT_EQ(editor.page(), 1);
  EXPECT_EQ(editor.pageLabel(), u"2");
  EXPECT_EQ(editor.rowNumber(0), 11);
  EXPECT_EQ(editor.rowNumber(9), 20);
  EXPECT_EQ(editor.view.problems[0], u"");
  editor.view.problems[0] = u"鳥";
  editor.previousPage();
  EXPECT_EQ(editor.view.problems[0], u"犬");
  EXPECT_EQ(editor.view.readings[0], u"いぬ");
  EXPECT_EQ(editor.view.problems[9], u"猫");
  EXPECT_EQ(editor.text(10), u"鳥");
}

TEST_F(TypingEditorTest, PagingStopsAtTheFirstAndLastPage) {
  editor.view.problems[3] = u"一";
  editor.previousPage();
  EXPECT_EQ(editor.page(), 0);
  EXPECT_EQ(editor.view.problems[3], u"一");
  for (int i = 0; i < 9; ++i) editor.nextPage();
  EXPECT_EQ(editor.page(), 9);
  editor.view.problems[9] = u"百";
  editor.nextPage();
  EXPECT_EQ(editor.page(), 9);
  EXPECT_EQ(editor.pageLabel(), u"10");
  EXPECT_EQ(editor.rowNumber(9), 100);
  EXPECT_EQ(editor.view.problems[9], u"百");
  EXPECT_EQ(editor.text(99), u"百");
}

TEST_F(TypingEditorTest, FillReadingsOverwritesEveryReadingBoxOfThePage) {
  reading.set(u"漢字", u"かんじ");
  editor.view.problems[0] = u"漢字";
  editor.view.problems[1] = u"未知";  // the lookup knows nothing
  for (auto& r : editor.view.readings) r = u"古い";
  editor.fillReadings();
  EXPECT_EQ(editor.view.readings[0], u"かんじ");
  for (int p = 1; p < 10; ++p) EXPECT_EQ(editor.view.readings[p], u"") << p;
  EXPECT_EQ(editor.reading(0), u"") << "nothing is stored before the next kakunou";
  editor.nextPage();
  editor.previousPage();
  EXPECT_EQ(editor.view.readings[0], u"かんじ");
}

TEST_F(TypingEditorTest, SavedRowsArePackedAndLoadBackAsTheFirstRows) {
  typeRow(1, u"りんご", u"りんご");
  typeRow(2, u"学校, 駅", u"がっこう, えき");
  typeRow(50, u"Good morning!", u"Good morning!");
  editor.view.title = u"果物, その他";
  saveTo(file("set.txt"));
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_TRUE(editor.complete());
  EXPECT_EQ(fileLines(file("set.txt")),
            (Lines{u"\"ntrafile\"", u"3", u"\"果物, その他\"", u"\"りんご\"", u"\"rinngo\"", u"\"学校, 駅\"",
                   u"\"gakkou, eki\"", u"\"Good morning!\"", u"\"*g**o**o**d* *m**o**r**n**i**n**g*!\""}));
  const std::string bytes = test::readBytes(file("set.txt").string());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

  TypingEditor again(set, services);
  fakes.files.openAnswers.push_back(file("set.txt"));
  again.nextPage();  // the load shows page 1 wherever it was started
  again.load();
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_EQ(again.page(), 0);
  EXPECT_EQ(again.view.title, u"果物, その他");
  EXPECT_EQ(set.title, u"果物, その他");
  EXPECT_EQ(again.view.problems[0], u"りんご");
  EXPECT_EQ(again.view.readings[0], u"りんご");
  EXPECT_EQ(again.view.problems[1], u"学校, 駅");
  EXPECT_EQ(again.view.readings[1], u"がっこう, えき");
  EXPECT_EQ(again.view.problems[2], u"Good morning!");
  EXPECT_EQ(again.view.readings[2], u"good morning!");
  EXPECT_EQ(again.text(49), u"");
}

TEST_F(TypingEditorTest, RowWithOnlyOneHalfMakesTheSetUnfinished) {
  typeRow(5, u"駅", u"");
  typeRow(7, u"", u"えき");
  saveTo(file("half.txt"));
  EXPECT_FALSE(editor.complete());
  EXPECT_EQ(fileLines(file("half.txt")),
            (Lines{u"\"prentrafile\"", u"2", u"\"<no title>\"", u"\"駅\"", u"\"\"", u"\"\"", u"\"eki\""}));
  EXPECT_EQ(readTypingProblemFileForMenu(file("half.txt")).status, ProblemFileStatus::Unfinished);

  TypingEditor again(set, services);
  loadFrom(file("half.txt"));
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(TypingEditorTest, EmptySetSavesTheHeaderOnly) {
  editor.view.title = u"";
  saveTo(file("empty.txt"));
  EXPECT_EQ(fileLines(file("empty.txt")), (Lines{u"\"ntrafile\"", u"0", u"\"\""}));
}

TEST_F(TypingEditorTest, RefusesWhatTheFileCannotHoldBeforeConvertingAnything) {
  // The message names the first problem at fault (row 13 here); the title has no number.
  const std::u16string row13 = u"使用できない文字が含まれています。（13番）";
  const std::u16string untypeable = u"読みに入力できない文字があります。（13番）";
  struct Case {
    const char* why;
    std::u16string text, yomi, title, message;
  } cases[] = {
      {"ASCII asterisk in a reading", u"星", u"ほ*し", u"t", row13},
      {"full-width asterisk in a reading", u"星", u"＊ほし", u"t", row13},
      {"double quote in a reading", u"星", u"ほ\"し", u"t", row13},
      {"double quote in a text", u"\"星\"", u"ほし", u"t", row13},
      {"double quote in the title", u"星", u"ほし", u"a\"b", u"使用できない文字が含まれています。"},
      {"text outside code page 932", u"星😀", u"ほし", u"t", row13},
      {"reading outside code page 932", u"星", u"ほし😀", u"t", row13},
      {"title outside code page 932", u"星", u"ほし", u"😀", u"使用できない文字が含まれています。"},
      {"kanji in a reading", u"星空", u"ほし空", u"t", untypeable},
      {"a sign the drill cannot type", u"星", u"ほし♪", u"t", untypeable},
      {"half-width katakana in a reading", u"星", u"ﾎｼ", u"t", untypeable},
      {"kana with no romaji", u"ゐ", u"ゐ", u"t", untypeable},
      {"a reading without a text", u"", u"ほし…", u"t", untypeable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    fakes.messages.shown.clear();
    fakes.files.saveCalls = 0;
    TypingEditor ed(set, services);
    ed.view.problems[0] = u"月";
    ed.view.readings[0] = u"つき";
    ed.nextPage();
    ed.view.problems[2] = c.text;
    ed.view.readings[2] = c.yomi;
    ed.view.title = c.title;
    fakes.files.saveAnswers.push_back(file("refused.txt"));
    ed.save();
    EXPECT_EQ(fakes.messages.shown, (Lines{c.message}));
    EXPECT_EQ(fakes.files.saveCalls, 0);
    fakes.files.saveAnswers.clear();
    EXPECT_EQ(set.romaji[0], u"つき") << "readings stay kana";
    EXPECT_EQ(set.romaji[12], c.yomi);
    EXPECT_FALSE(std::filesystem::exists(file("refused.txt")));
  }
}

TEST_F(TypingEditorTest, TextFromLinuxInputMethodsIsTakenAsItsCodePage932Form) {
  struct Case {
    std::u16string text, yomi, title;  // as typed
    std::u16string storedText, romaji, storedTitle;
  } cases[] = {
      {u"あ\u301Cい", u"あ\u301Cい", u"題\u301C", u"あ～い", u"a~i", u"題～"},  // the wave dash types as ~
      {u"\u2212\u2016", u"\u2212", u"\u00A2\u00A3\u00AC", u"－∥", u"-", u"￠￡￢"},
      {u"ゔぁ", u"ゔぁ", u"t", u"ヴぁ", u"vuxa", u"t"},
      {u"ＫＯＢＥ", u"ＫＯＢＥ１", u"t", u"ＫＯＢＥ", u"*k**o**b**e*1", u"t"},  // letters stay letters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.yomi));
    TypingEditor ed(set, services);
    ed.view.problems[0] = c.text;
    ed.view.readings[0] = c.yomi;
    ed.view.title = c.title;
    fakes.files.saveAnswers.push_back(file("linux.txt"));
    ed.save();
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(fileLines(file("linux.txt")), (Lines{u"\"ntrafile\"", u"1", u"\"" + c.storedTitle + u"\"",
                                                   u"\"" + c.storedText + u"\"", u"\"" + c.romaji + u"\""}));
  }
}

TEST_F(TypingEditorTest, LookupResultsAreFoldedLikeTypedText) {
  reading.set(u"波", u"なみ\u301C");
  editor.view.problems[0] = u"波";
  editor.fillReadings();
  EXPECT_EQ(editor.view.readings[0], u"なみ～");
}

TEST_F(TypingEditorTest, AsteriskInATextOrTitleIsAccepted) {
  typeRow(1, u"5*3", u"ごかけるさん");
  editor.view.title = u"*算数*";
  saveTo(file("star.txt"));
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_EQ(fileLines(file("star.txt")),
            (Lines{u"\"ntrafile\"", u"1", u"\"*算数*\"", u"\"5*3\"", u"\"gokakerusann\""}));
}

TEST_F(TypingEditorTest, CancelledSaveGivesTheKanaBackOnEveryPage) {
  typeRow(1, u"日本", u"にっぽん");
  typeRow(15, u"女王", u"じょおう");
  typeRow(33, u"近所", u"きんじょ");
  editor.save();  // no answer scripted: the dialog is cancelled
  EXPECT_EQ(fakes.files.saveCalls, 1);
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_EQ(set.romaji[0], u"にっぽん");
  EXPECT_EQ(set.romaji[14], u"じょおう");
  EXPECT_EQ(set.romaji[32], u"きんじょ");
  editor.previousPage();
  editor.previousPage();
  EXPECT_EQ(editor.view.readings[4], u"じょおう");
}

TEST_F(TypingEditorTest, FailedWriteIsReportedAndGivesTheKanaBack) {
  typeRow(1, u"日本", u"にほん");
  saveTo(fakes.folder.root / "no such folder" / "x.txt");
  EXPECT_EQ(fakes.messages.shown, (Lines{u"問題の保存に失敗しました。"}));
  EXPECT_EQ(set.romaji[0], u"にほん");
}

TEST_F(TypingEditorTest, LoadThatDoesNotCompleteKeepsTheRowsItFound) {
  fakes.folder.write("other.txt", "\"hello\"\r\n1\r\n\"t\"\r\n\"a\"\r\n\"a\"\r\n");
  fakes.folder.write("short.txt", "\"ntrafile\"\r\n3\r\n\"t\"\r\n\"a\"\r\n\"a\"\r\n");
  fakes.folder.write("count.txt", "\"ntrafile\"\r\nmany\r\n\"t\"\r\n");
  struct Case {
    const char* why;
    std::optional<std::string> name;  // nothing: the dialog is cancelled
    std::vector<std::u16string> messages;
  } cases[] = {
      {"cancelled dialog", std::nullopt, {}},
      {"other magic word", "other.txt", {u"このファイルは読み込めません。"}},
      {"fewer records than the count", "short.txt", {u"問題の読み込みに失敗しました。"}},
      {"count not a number", "count.txt", {u"問題の読み込みに失敗しました。"}},
      {"missing file", "missing.txt", {u"問題の読み込みに失敗しました。"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    fakes.messages.shown.clear();
    TypingEditor ed(set, services);
    ed.view.problems[0] = u"山";
    ed.view.readings[0] = u"やま";
    ed.nextPage();
    ed.view.problems[1] = u"川";
    ed.view.readings[1] = u"かわ";
    ed.view.title = u"地形";
    fakes.files.openAnswers.push_back(c.name ? std::optional(file(*c.name)) : std::nullopt);
    ed.load();
    EXPECT_EQ(fakes.messages.shown, c.messages);
    EXPECT_EQ(ed.page(), 1);
    EXPECT_EQ(ed.view.problems[1], u"川");
    EXPECT_EQ(ed.view.title, u"地形");
    EXPECT_EQ(ed.text(0), u"山");
    EXPECT_EQ(ed.reading(0), u"やま");
    ed.previousPage();
    EXPECT_EQ(ed.view.problems[0], u"山");
    EXPECT_EQ(ed.text(11), u"川");
  }
}

TEST_F(TypingEditorTest, LoadReplacesEveryRowAndShowsReadingsAsKana) {
  typeRow(80, u"古い", u"ふるい");
  fakes.folder.write("two.txt",
                     "ntrafile\r\n2\r\n\"\"\r\n\"x\"\r\n\"ninnzinn\"\r\n\"y\"\r\n\"rounyakuna**n1yo\"\r\n");
  loadFrom(file("two.txt"));
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_EQ(editor.page(), 0);
  EXPECT_EQ(editor.view.title, u"");
  EXPECT_EQ(editor.view.readings[0], u"にんじん");
  EXPECT_EQ(editor.view.readings[1], u"ろうにゃくなんにょ");
  EXPECT_EQ(editor.text(79), u"");
}

TEST_F(TypingEditorTest, ClearAsksAndOnYesEmptiesEverything) {
  typeRow(1, u"一", u"いち");
  typeRow(35, u"三十五", u"さんじゅうご");
  editor.view.title = u"数";
  EXPECT_EQ(editor.page(), 3);

  editor.clear();  // No
  ASSERT_EQ(fakes.messages.asked.size(), 1u);
  EXPECT_EQ(fakes.messages.asked[0].text, u"本当に消去しますか？");
  EXPECT_EQ(fakes.messages.asked[0].title, u"問題のクリア");
  EXPECT_EQ(editor.page(), 3);
  EXPECT_EQ(editor.view.problems[4], u"三十五");
  EXPECT_EQ(editor.text(0), u"一");

  fakes.messages.answers.push_back(true);
  editor.clear();
  EXPECT_EQ(editor.page(), 0);
  EXPECT_EQ(editor.pageLabel(), u"1");
  EXPECT_EQ(editor.rowNumber(0), 1);
  EXPECT_EQ(editor.view.title, u"<no title>");
  for (int p = 0; p < 10; ++p) {
    EXPECT_EQ(editor.view.problems[p], u"");
    EXPECT_EQ(editor.view.readings[p], u"");
  }
  for (int row = 0; row < 100; ++row) EXPECT_TRUE(editor.text(row).empty() && editor.reading(row).empty());
}

}  // namespace
}  // namespace lk
