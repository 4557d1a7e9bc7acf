#include "records/typing_problem_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "fakes/test_data.h"

namespace lk {
namespace {

using Texts = std::vector<std::u16string>;

std::string fixture(const std::string& name) { return test::dataPath("records/data/" + name); }

class TypingProblemFileTest : public ::testing::Test {
 protected:
  test::FakeProgramFolder folder;
  std::filesystem::path file() const { return folder.root / "problems.txt"; }
  std::filesystem::path put(const std::string& bytes) const {
    folder.write("problems.txt", bytes);
    return file();
  }
};

TEST_F(TypingProblemFileTest, WriterOutputEqualsTheHandMadeFiles) {
  struct Case {
    const char* fixture;
    TypingProblemFile data;
  } cases[] = {
      {"typing_golden.txt",
       {true, u"春の言葉, その一", {u"桜、さくら", u"C:\\temp と ~", u"日本語"},
        {u"sakura", u"*c*:*\\*temp*to*~", u"nihonngo"}}},
      {"typing_unfinished_golden.txt", {false, u"", {u"読みなし", u""}, {u"", u"yominomi"}}},
      {"typing_empty_golden.txt", {true, u"<no title>", {}, {}}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(writeTypingProblemFile(file(), c.data).ok) << c.fixture;
    EXPECT_EQ(folder.read("problems.txt"), test::readBytes(fixture(c.fixture))) << c.fixture;
  }
}

TEST_F(TypingProblemFileTest, EditorRowsArePackedAndDecideTheMagicWord) {
  Texts text(100), romaji(100);
  text[0] = u"一", romaji[0] = u"iti";
  text[3] = u"四", romaji[3] = u"yonn";
  text[7] = u"八", romaji[7] = u"hati";
  TypingProblemFile f = typingFileFromRows(u"t", text, romaji);
  EXPECT_TRUE(f.complete);
  EXPECT_EQ(f.text, (Texts{u"一", u"四", u"八"}));
  EXPECT_EQ(f.romaji, (Texts{u"iti", u"yonn", u"hati"}));

  text[20] = u"読みなし";
  romaji[55] = u"yominomi";
  f = typingFileFromRows(u"t", text, romaji);
  EXPECT_FALSE(f.complete);
  EXPECT_EQ(f.text.size(), 5u);
  EXPECT_EQ(f.romaji[4], u"yominomi");

  EXPECT_TRUE(typingFileFromRows(u"t", Texts(100), Texts(100)).complete);
}

TEST_F(TypingProblemFileTest, WrittenFileReadsBackWhole) {
  const auto r = readTypingProblemFileForMenu(fixture("typing_golden.txt"));
  ASSERT_TRUE(r.loaded());
  EXPECT_EQ(r.count, 3);
  EXPECT_EQ(r.title, u"春の言葉, その一");
  EXPECT_EQ(r.text, (Texts{u"桜、さくら", u"C:\\temp と ~", u"日本語"}));
  EXPECT_EQ(r.romaji, (Texts{u"sakura", u"*c*:*\\*temp*to*~", u"nihonngo"}));

  const auto u = readTypingProblemFileForEditor(fixture("typing_unfinished_golden.txt"));
  EXPECT_FALSE(u.complete);
  EXPECT_EQ(u.title, u"");
  EXPECT_EQ(u.text, (Texts{u"読みなし", u""}));
  EXPECT_EQ(u.romaji, (Texts{u"", u"yominomi"}));

  const auto empty = readTypingProblemFileForEditor(fixture("typing_empty_golden.txt"));
  EXPECT_EQ(empty.count, 0);
  EXPECT_TRUE(empty.text.empty());
}

TEST_F(TypingProblemFileTest, QuirksReadByTheFieldRule) {
  // Both readers share the field rule; the editor's keeps the readings the quirks make.
  const auto r = readTypingProblemFileForEditor(fixture("typing_quirks.txt"));
  ASSERT_TRUE(r.loaded());
  EXPECT_EQ(r.count, 3);
  EXPECT_EQ(r.title, u"題名, カンマ入り");
  // "一つ目"  余分 -> the rest after the quote is skipped; 二つ目,後ろ -> two fields;
  // "三"つ目" -> the field ends at the second quote.
  EXPECT_EQ(r.text, (Texts{u"一つ目", u"二つ目", u"hutatume"}));
  EXPECT_EQ(r.romaji, (Texts{u"hitotume", u"後ろ", u"三"}));
}

TEST_F(TypingProblemFileTest, FailureKeepsWhatWasRead) {
  const auto m = readTypingProblemFileForMenu(fixture("typing_count_too_large.txt"));
  EXPECT_EQ(m.count, 3);
  EXPECT_EQ(m.title, u"足りない");
  EXPECT_EQ(m.text, (Texts{u"一", u"二"}));
  EXPECT_EQ(m.romaji, (Texts{u"iti", u"ni"}));

  const auto zero = readTypingProblemFileForMenu(fixture("typing_empty_golden.txt"));
  EXPECT_EQ(zero.count, 0);
  EXPECT_EQ(zero.title, u"<no title>");
}

TEST_F(TypingProblemFileTest, EditorHoldsAHundredRowsTheMenuAnyCount) {
  TypingProblemFile big{true, u"big", {}, {}};
  for (int i = 0; i < 101; ++i) {
    big.text.push_back(u"t" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)));
    big.romaji.push_back(u"r");
  }
  ASSERT_TRUE(writeTypingProblemFile(file(), big).ok);
  const auto e = readTypingProblemFileForEditor(file());
  EXPECT_EQ(e.status, ProblemFileStatus::Failed);
  EXPECT_EQ(e.message, u"問題の読み込みに失敗しました。");
  EXPECT_EQ(e.text.size(), 100u);
  const auto m = readTypingProblemFileForMenu(file());
  EXPECT_TRUE(m.loaded());
  EXPECT_EQ(m.text.size(), 101u);
}

TEST_F(TypingProblemFileTest, BadHeadersFail) {
  const std::string cases[] = {
      "",                                                      // nothing at all
      "\"ntrafile\"\r\n",                                      // no count
      "\"ntrafile\"\r\nzwei\r\n\"t\"\r\n",                     // count not a number
      "\"ntrafile\"\r\n-1\r\n\"t\"\r\n",                       // negative count
      "\"ntrafile\"\r\n1\r\n",                                 // no title
      "\"ntrafile\"\r\n2000000000\r\n\"t\"\r\n\"a\"\r\n\"b\"\r\n",  // a count no file can back
      "\"ntrafile\"\r\n1\r\n\"t\"\r\n\"\x82\"\r\n\"a\"\r\n",        // bytes that are not 932
  };
  for (const auto& bytes : cases) {
    EXPECT_EQ(readTypingProblemFileForEditor(put(bytes)).status, ProblemFileStatus::Failed) << bytes;
    EXPECT_EQ(readTypingProblemFileForMenu(put(bytes)).status, ProblemFileStatus::Failed) << bytes;
  }
  // The magic word is compared exactly.
  for (std::string magic : {"\"NTRAFILE\"", "\"ntrafile \"", "ntrafilex"}) {
    EXPECT_EQ(readTypingProblemFileForMenu(put(magic + "\r\n1\r\n\"t\"\r\n\"a\"\r\n\"b\"\r\n")).status,
              ProblemFileStatus::NotReadable);
  }
}

TEST_F(TypingProblemFileTest, FilesOfOtherKindsAreNotReadableWhateverFollows) {
  // Judged on the first line alone: the rest is never decoded as 932.
  const std::string cases[] = {
      "\xEF\xBB\xBF\"ntrafile\"\r\n1\r\n\"t\"\r\n\"a\"\r\n\"a\"\r\n",  // saved with a byte-order mark
      "\xE8\xB2\xB7\xE3\x81\x84\xE7\x89\xA9\r\n\xE7\x89\x9B\xE4\xB9\xB3 \xC2\x80\r\n",  // a UTF-8 memo
      std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\x80\xFD\xA0", 20),                      // a picture
      "\r\n\"ntrafile\"\r\n\x80\r\n",                                                // an empty first line
  };
  for (const auto& bytes : cases) {
    for (const auto& r : {readTypingProblemFileForEditor(put(bytes)), readTypingProblemFileForMenu(put(bytes))}) {
      EXPECT_EQ(r.status, ProblemFileStatus::NotReadable) << bytes;
      EXPECT_EQ(r.message, u"このファイルは読み込めません。") << bytes;
    }
  }
  // A magic word followed by bytes that are not 932 is a damaged problem file.
  EXPECT_EQ(readTypingProblemFileForMenu(put("ntrafile,1,\"t\"\r\n\x80\r\n")).status, ProblemFileStatus::Failed);
}

TEST_F(TypingProblemFileTest, WriterRefusesWhatTheFileCannotHoldAndKeepsTheOldFile) {
  struct Case {
    TypingProblemFile data;
    std::u16string message;
  } cases[] = {
      {{true, u"題\"名", {u"a"}, {u"a"}}, u"使用できない文字が含まれています。"},
      {{true, u"t", {u"a"}, {u"a\"b"}}, u"使用できない文字が含まれています。"},
      {{true, u"t", {u"改\n行"}, {u"a"}}, u"使用できない文字が含まれています。"},
      {{true, u"t", {u"絵文字😀"}, {u"emozi"}}, u"問題の保存に失敗しました。"},
  };
  for (const auto& c : cases) {
    folder.write("problems.txt", "old");
    const auto r = writeTypingProblemFile(file(), c.data);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(folder.read("problems.txt"), "old");
  }
  folder.write("plain", "x");
  const auto r = writeTypingProblemFile(folder.root / "plain" / "p.txt", {true, u"t", {u"a"}, {u"a"}});
  EXPECT_EQ(r.message, u"問題の保存に失敗しました。");
}

TEST_F(TypingProblemFileTest, SpecialFilesAndLinksToOtherFilesAreRefused) {
  namespace fs = std::filesystem;
  ASSERT_EQ(::mkfifo((folder.root / "fifo").c_str(), 0644), 0);
  // No writer ever opens the FIFO: the readers must not wait for one.
  EXPECT_EQ(readTypingProblemFileForMenu(folder.root / "fifo").message, u"読み込みに失敗しました。");
  EXPECT_EQ(readTypingProblemFileForEditor(folder.root / "fifo").message, u"問題の読み込みに失敗しました。");

  folder.write("notes.txt", "my notes\r\n");
  folder.write("song.txt", test::readBytes(test::dataPath("records/data/music_golden.txt")));
  folder.write("old.txt", test::readBytes(fixture("typing_unfinished_golden.txt")));
  fs::create_directories(folder.root / "new");
  struct Case {
    fs::path to;
    bool saved;
  } cases[] = {
      {"/dev/null", false},
      {folder.root / "fifo", false},
      {folder.root / "notes.txt", false},
      {folder.root / "song.txt", false},  // a music file is not a typing problem file
      {folder.root / "old.txt", true},
      {folder.root / "new" / "p.txt", true},
  };
  const TypingProblemFile data{true, u"t", {u"a"}, {u"a"}};
  for (const Case& c : cases) {
    const fs::path link = folder.root / "link.txt";
    fs::remove(link);
    fs::create_symlink(c.to, link);
    const std::string before = fs::is_regular_file(c.to) ? test::readBytes(c.to) : std::string();
    const auto r = writeTypingProblemFile(link, data);
    EXPECT_EQ(r.ok, c.saved) << c.to;
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link))) << c.to;
    if (c.saved) {
      EXPECT_EQ(readTypingProblemFileForMenu(c.to).text, Texts{u"a"}) << c.to;
    } else {
      EXPECT_EQ(r.message, u"問題の保存に失敗しました。") << c.to;
      if (!before.empty()) {
        EXPECT_EQ(test::readBytes(c.to), before) << c.to;
      }
    }
  }
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(folder.root / "fifo")));
}

}  // namespace
}  // namespace lk
