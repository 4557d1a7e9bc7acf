#include "practice/training_menu.h"

#include <gtest/gtest.h>

#include <string>

#include "records/typing_problem_file.h"
#include "fakes/fake_services.h"
#include "engine/text.h"
#include "records/text_file.h"

namespace lk {
namespace {

// A typing problem file of `count` problems ("t0"/"a", ...) with `records` of them present.
std::string problemFile(const std::string& magic, const std::string& count, int records,
                        const std::u16string& title = u"自作") {
  std::string s = "\"" + magic + "\"\r\n" + count + "\r\n\"" + *encodeCp932(title) + "\"\r\n";
  for (int i = 0; i < records; ++i) s += "\"t" + std::to_string(i) + "\"\r\n\"a\"\r\n";
  return s;
}

ProblemSet previousSet() {
  ProblemSet set;
  set.count = 1;
  set.title = u"前";
  set.text = {u"前の問題"};
  set.romaji = {u"mae"};
  return set;
}

TEST(TrainingMenuFile, NothingStartsBeforeAReadSinceTheMenuOpened) {
  TrainingMenuFile menu;
  const ProblemSet set = previousSet();
  EXPECT_EQ(menu.startRefusal(set), u"ファイルを指定して下さい。");
}

TEST(TrainingMenuFile, ReadOutcomesFollowTheFailureTable) {
  struct Case {
    const char* name;
    std::string bytes;  // empty: no file at all
    std::u16string message;
    bool setChanged;
    std::optional<std::u16string> countLabel;
    std::optional<std::u16string> titleLabel;
    int count;  // of the set afterwards
  } cases[] = {
      {"complete 12", problemFile("ntrafile", "12", 12), u"", true, u"12問", u"自作", 12},
      {"80 problems load whole", problemFile("ntrafile", "80", 80), u"", true, u"80問", u"自作", 80},
      {"unquoted magic", problemFile("ntrafile", "2", 2).substr(1).erase(8, 1), u"", true, u"2問", u"自作", 2},
      {"unfinished", problemFile("prentrafile", "2", 2), u"このファイルは作成途中です。", false, {}, {}, 1},
      {"other magic", problemFile("miditrafile", "2", 2), u"このファイルは読み込めません。", false, {}, {}, 1},
      {"count 3, two problems", problemFile("ntrafile", "3", 2), u"読み込みに失敗しました。", true, u"3問", u"自作", 3},
      {"count 0", problemFile("ntrafile", "0", 0), u"読み込みに失敗しました。", true, u"0問", u"自作", 0},
      // The labels change together once both fields are read, never the count alone.
      {"count but no title", "\"ntrafile\"\r\n3\r\n", u"読み込みに失敗しました。", true, {}, {}, 3},
      {"count not a number", problemFile("ntrafile", "x", 1), u"読み込みに失敗しました。", false, {}, {}, 1},
      {"missing file", "", u"読み込みに失敗しました。", false, {}, {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakeProgramFolder folder;
    if (!c.bytes.empty()) folder.write("p.txt", c.bytes);
    ProblemSet set = previousSet();
    TrainingMenuFile menu;
    const auto out = menu.read(set, folder.root / "p.txt");

    EXPECT_EQ(out.message, c.message);
    EXPECT_EQ(out.countLabel, c.countLabel);
    EXPECT_EQ(out.titleLabel, c.titleLabel);
    EXPECT_EQ(set.count, c.count);
    if (!c.setChanged) {
      EXPECT_EQ(set.text, previousSet().text);
    }
    const bool loaded = c.message.empty();
    EXPECT_EQ(menu.ready(), loaded);
    EXPECT_EQ(menu.startRefusal(set).empty(), loaded)
        << "only the set of a successful read may be started";
    if (loaded) {
      ASSERT_EQ(set.text.size(), static_cast<std::size_t>(c.count));
      EXPECT_EQ(set.text.back(), u"t" + fromAscii(std::to_string(c.count - 1)));
      EXPECT_EQ(set.romaji.back(), u"a");
    }
  }
}

TEST(TrainingMenuFile, AFailedReadAfterASuccessfulOneRefusesTheStart) {
  test::FakeProgramFolder folder;
  folder.write("good.txt", problemFile("ntrafile", "2", 2));
  folder.write("bad.txt", problemFile("prentrafile", "2", 2));
  ProblemSet set;
  TrainingMenuFile menu;
  ASSERT_TRUE(menu.read(set, folder.root / "good.txt").message.empty());
  ASSERT_TRUE(menu.startRefusal(set).empty());

  EXPECT_FALSE(menu.read(set, folder.root / "bad.txt").message.empty());
  EXPECT_EQ(menu.startRefusal(set), u"ファイルを指定して下さい。");
  // A good read again makes it startable.
  ASSERT_TRUE(menu.read(set, folder.root / "good.txt").message.empty());
  EXPECT_TRUE(menu.startRefusal(set).empty());
}

TEST(TrainingMenuFile, AReadingNoKeyTypesIsDamageAndNothingOfItIsStartable) {
  // A complete file whose second reading holds a byte no keyboard types.
  const auto fileWithReading = [](const std::string& reading) {
    return "\"ntrafile\"\r\n2\r\n\"title\"\r\n\"t0\"\r\n\"a\"\r\n\"t1\"\r\n\"" + reading + "\"\r\n";
  };
  struct Case {
    const char* name;
    std::string reading;
  } cases[] = {
      {"NUL", std::string("ka\0ki", 5)},
      {"control byte at the end", "kaki\x01"},
      {"DEL", "ka\x7f"},
      {"kanji", *encodeCp932(u"ka漢")},
      {"kana", *encodeCp932(u"かき")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakeProgramFolder folder;
    folder.write("p.txt", fileWithReading(c.reading));
    ProblemSet set = previousSet();
    TrainingMenuFile menu;
    const auto out = menu.read(set, folder.root / "p.txt");
    EXPECT_EQ(out.message, u"読み込みに失敗しました。");
    EXPECT_FALSE(menu.ready());
    EXPECT_EQ(menu.startRefusal(set), u"ファイルを指定して下さい。");
    // The pair before it was read; the bad pair stays out of the set.
    EXPECT_EQ(set.text, (std::vector<std::u16string>{u"t0"}));
    EXPECT_EQ(set.romaji, (std::vector<std::u16string>{u"a"}));
  }
  // The editor still opens such a file, so the learner can mend the reading.
  test::FakeProgramFolder folder;
  folder.write("p.txt", fileWithReading(std::string("ka\0ki", 5)));
  EXPECT_TRUE(readTypingProblemFileForEditor(folder.root / "p.txt").loaded());
}

TEST(TrainingMenuFile, AHugeCountInADamagedFileDoesNotAllocateForIt) {
  test::FakeProgramFolder folder;
  folder.write("p.txt", problemFile("ntrafile", "2000000000", 3));
  ProblemSet set;
  TrainingMenuFile menu;
  const auto out = menu.read(set, folder.root / "p.txt");
  EXPECT_EQ(out.message, u"読み込みに失敗しました。");
  EXPECT_EQ(out.countLabel, u"2000000000問");
  EXPECT_LE(set.text.size(), 3u);
  EXPECT_EQ(menu.startRefusal(set), u"ファイルを指定して下さい。");
}

}  // namespace
}  // namespace lk
