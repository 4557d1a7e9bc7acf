#include "practice/ranking_table.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "fakes/test_data.h"
#include "shell/services.h"

namespace lk {
namespace {

struct Row {
  int sokudo, seigo;
};

RankingTable tableOf(std::initializer_list<Row> rows) {
  RankingTable t;
  std::size_t i = 0;
  for (const Row& r : rows) {
    auto& e = t.entries[i];
    e.sokudo = r.sokudo;
    e.seigo = r.seigo;
    e.zisuu = 100;
    e.nitizi = u"04/01/01 01:00 AM";
    e.title = u"old" + std::u16string(1, static_cast<char16_t>(u'0' + i));
    ++i;
  }
  return t;
}

std::vector<std::pair<int, int>> scores(const RankingTable& t) {
  std::vector<std::pair<int, int>> out;
  for (const auto& e : t.entries) out.emplace_back(e.sokudo.value_or(0), e.seigo.value_or(0));
  return out;
}

class Ranking : public ::testing::Test {
 protected:
  test::FakeClock clock;
  test::FakeProgramFolder folder;
  std::filesystem::path file() const { return folder.root / "rank.dat"; }
  void SetUp() override { clock.time = {2004, 12, 25, 15, 5, 0}; }
};

TEST_F(Ranking, OfferPlacesTheRun) {
  const RankingTable full = tableOf({{200, 90}, {150, 95}, {150, 90}, {100, 99}, {90, 80},
                                     {80, 80}, {70, 70}, {60, 60}, {50, 50}, {40, 40}});
  struct Case {
    const char* what;
    RankingTable before;
    Row run;
    std::optional<int> index;
    std::u16string message;
  } cases[] = {
      {"empty table", RankingTable{}, {120, 95}, 0, u"1位にランクインしました！"},
      {"ties share the rank number", tableOf({{200, 90}, {150, 95}, {150, 90}, {100, 99}}), {150, 90}, 3,
       u"3位にランクインしました！"},
      {"same speed, higher accuracy", tableOf({{200, 90}, {150, 95}, {150, 90}, {100, 99}}), {150, 93}, 2,
       u"3位にランクインしました！"},
      {"faster than all", full, {201, 0}, 0, u"1位にランクインしました！"},
      {"slower than entry 9", full, {39, 100}, std::nullopt, u""},
      {"equal to entry 9", full, {40, 40}, std::nullopt, u""},
      {"same speed as entry 9, better accuracy", full, {40, 41}, 9, u"10位にランクインしました！"},
      {"negative accuracy goes below same speed", tableOf({{150, 95}, {150, -3}, {100, 99}}), {150, -10}, 2,
       u"3位にランクインしました！"},
      {"zero speed never ties", tableOf({{0, 50}}), {0, 50}, 1, u"2位にランクインしました！"},
  };
  for (auto& c : cases) {
    RankingTable t = c.before;
    const auto offer = offerRun(t, {c.run.sokudo, c.run.seigo, 321, u"新コース"}, clock);
    EXPECT_EQ(offer.index, c.index) << c.what;
    EXPECT_EQ(offer.message, c.message) << c.what;
    if (!c.index) {
      EXPECT_EQ(t, c.before) << c.what;
      continue;
    }
    const auto& e = t.entries[static_cast<std::size_t>(*c.index)];
    EXPECT_EQ(e, (RankingEntry{c.run.sokudo, c.run.seigo, 321, u"04/12/25 03:05 PM", u"新コース"})) << c.what;
    // Everything from the new row on moved one place down; the old last row is gone.
    for (int i = *c.index + 1; i < kRankingSize; ++i) {
      EXPECT_EQ(t.entries[static_cast<std::size_t>(i)], c.before.entries[static_cast<std::size_t>(i - 1)]) << c.what;
    }
  }
}

TEST_F(Ranking, SameSpeedRunningToTheLastRowStillComparesAccuracy) {
  RankingTable t = tableOf({{200, 90}, {150, 90}, {150, 90}, {150, 90}, {150, 90},
                            {150, 90}, {150, 90}, {150, 90}, {150, 90}, {150, 10}});
  auto offer = offerRun(t, {150, 50, 10, u"x"}, clock);
  EXPECT_EQ(offer.index, 9);
  EXPECT_EQ(t.entries[9].seigo, 50);

  // Equal to every same-speed entry down to the last row: it does not enter.
  const RankingTable before = t;
  offer = offerRun(t, {150, 50, 10, u"y"}, clock);
  EXPECT_EQ(offer.index, std::nullopt);
  EXPECT_EQ(t, before);
}

TEST_F(Ranking, RankNumbers) {
  struct Case {
    RankingTable table;
    std::array<int, 10> jun;
  } cases[] = {
      {RankingTable{}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {tableOf({{100, 90}, {100, 90}, {90, 80}}), {1, 1, 3, 4, 5, 6, 7, 8, 9, 10}},
      {tableOf({{100, 90}, {100, 89}, {100, 89}, {100, 89}, {50, 0}, {50, 0}}), {1, 2, 2, 2, 5, 6, 7, 8, 9, 10}},
      {tableOf({{200, 90}, {150, 95}, {150, 90}, {150, 90}, {100, 99}}), {1, 2, 3, 3, 5, 6, 7, 8, 9, 10}},
      {tableOf({{100, -5}, {100, -5}}), {1, 1, 3, 4, 5, 6, 7, 8, 9, 10}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.table.jun(), c.jun);
}

TEST_F(Ranking, DateText) {
  struct Case {
    LocalDateTime when;
    std::u16string text;
  } cases[] = {
      {{2004, 12, 25, 15, 5, 0}, u"04/12/25 03:05 PM"},
      {{2005, 1, 2, 0, 0, 0}, u"05/01/02 12:00 AM"},
      {{2005, 1, 3, 11, 59, 59}, u"05/01/03 11:59 AM"},
      {{2010, 7, 8, 12, 30, 0}, u"10/07/08 12:30 PM"},
      {{2000, 2, 29, 23, 9, 0}, u"00/02/29 11:09 PM"},
  };
  for (const auto& c : cases) EXPECT_EQ(rankingDateText(c.when), c.text);
}

RankingTable goldenTable() {
  RankingTable t;
  t.entries[0] = {267, 98, 200, u"04/12/25 03:05 PM", u"初級"};
  t.entries[1] = {150, -25, 120, u"05/01/02 12:00 AM", u"歌の題, 副題"};
  t.entries[2] = {0, 100, 0, u"05/01/03 11:59 AM", u"<no title>"};
  return t;
}

TEST_F(Ranking, SaveMatchesTheHandMadeFileAndLoadsBack) {
  ASSERT_TRUE(saveRanking(goldenTable(), file()).ok);
  EXPECT_EQ(folder.read("rank.dat"), test::readBytes(test::dataPath("records/data/rank_golden.dat")));
  RankingTable back;
  back.entries[5].title = u"stale";  // a full read replaces every field
  const auto r = loadRanking(back, test::dataPath("records/data/rank_golden.dat"));
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(back, goldenTable());
}

TEST_F(Ranking, FirstRunOnAnEmptyTableWritesOneEntryAnd45EmptyLines) {
  RankingTable t;
  const auto out = offerRunAndSave(t, {120, 100, 240, u"初級"}, clock, file());
  EXPECT_EQ(out.offer.message, u"1位にランクインしました！");
  EXPECT_TRUE(out.save.ok);
  std::string expected = " 120 \r\n 100 \r\n 240 \r\n\"04/12/25 03:05 PM\"\r\n\"\x8f\x89\x8b\x89\"\r\n";
  for (int i = 0; i < 45; ++i) expected += "\r\n";
  EXPECT_EQ(folder.read("rank.dat"), expected);
}

TEST_F(Ranking, RunThatDoesNotEnterStillRewritesTheFile) {
  RankingTable t = tableOf({{200, 90}, {150, 95}, {150, 90}, {100, 99}, {90, 80},
                            {80, 80}, {70, 70}, {60, 60}, {50, 50}, {40, 40}});
  folder.write("rank.dat", "stale");
  const auto out = offerRunAndSave(t, {10, 100, 5, u"x"}, clock, file());
  EXPECT_TRUE(out.offer.message.empty());
  EXPECT_TRUE(out.save.ok);
  RankingTable back;
  ASSERT_TRUE(loadRanking(back, file()).ok);
  EXPECT_EQ(back, t);
}

TEST_F(Ranking, LoadFailureKeepsWhatWasRead) {
  RankingTable t = tableOf({{1, 1}, {2, 2}, {3, 3}});
  auto r = loadRanking(t, file());  // no file
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, kRankingLoadFailed);
  EXPECT_EQ(scores(t)[2], (std::pair{3, 3}));

  // Seven lines: entry 0 is read, entry 1 gets its speed and accuracy, the rest stay.
  folder.write("rank.dat", " 300 \r\n 99 \r\n 600 \r\n\"d\"\r\n\"t\"\r\n 250 \r\n-7 \r\n");
  r = loadRanking(t, file());
  EXPECT_EQ(r.message, kRankingLoadFailed);
  EXPECT_EQ(t.entries[0], (RankingEntry{300, 99, 600, u"d", u"t"}));
  EXPECT_EQ(t.entries[1].sokudo, 250);
  EXPECT_EQ(t.entries[1].seigo, -7);
  EXPECT_EQ(t.entries[1].title, u"old1");
  EXPECT_EQ(scores(t)[2], (std::pair{3, 3}));

  // Not a number where one belongs, and bytes that are not 932.
  for (std::string bytes : {std::string(" abc \r\n"), std::string(" 1 \r\n\x80\r\n")}) {
    folder.write("rank.dat", bytes);
    RankingTable u;
    EXPECT_FALSE(loadRanking(u, file()).ok);
  }
}

TEST_F(Ranking, FailedSaveKeepsTheOldFileAndTheEntryInMemory) {
  folder.write("rank.dat", "previous");
  folder.write("plain", "x");
  RankingTable t;
  const auto out = offerRunAndSave(t, {120, 100, 240, u"初級"}, clock, folder.root / "plain" / "rank.dat");
  EXPECT_EQ(out.offer.index, 0);
  EXPECT_FALSE(out.save.ok);
  EXPECT_EQ(out.save.message, kRankingSaveFailed);
  EXPECT_EQ(t.entries[0].sokudo, 120);
  EXPECT_EQ(folder.read("rank.dat"), "previous");
}

TEST_F(Ranking, TitlesTheFileCannotHold) {
  // A double quote would cut the title short on the next load: the entry keeps the title without it.
  RankingTable t;
  offerRun(t, {100, 100, 10, u"a\"b\"c"}, clock);
  EXPECT_EQ(t.entries[0].title, u"abc");
  ASSERT_TRUE(saveRanking(t, file()).ok);
  RankingTable back;
  ASSERT_TRUE(loadRanking(back, file()).ok);
  EXPECT_EQ(back, t);

  // A character code page 932 has no form for is refused, not replaced.
  folder.write("rank.dat", "previous");
  offerRun(t, {200, 100, 10, u"絵文字😀"}, clock);
  const auto r = saveRanking(t, file());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, kRankingSaveFailed);
  EXPECT_EQ(folder.read("rank.dat"), "previous");
}

// Ten full entries, speeds 100 down to 10, titles old0 ... old9.
RankingTable fullTable() {
  return tableOf({{100, 90}, {90, 90}, {80, 90}, {70, 90}, {60, 90}, {50, 90}, {40, 90}, {30, 90}, {20, 90}, {10, 90}});
}

// The 50 lines of a saved table as byte strings, for a test to damage one.
class RankingFile : public Ranking {
 protected:
  std::vector<std::string> lines(const RankingTable& t) {
    std::filesystem::remove(file());  // a save would merge with what is there
    EXPECT_TRUE(saveRanking(t, file()).ok);
    const std::string bytes = folder.read("rank.dat");
    std::vector<std::string> out;
    for (std::size_t at = 0, next; (next = bytes.find("\r\n", at)) != std::string::npos; at = next + 2) {
      out.push_back(bytes.substr(at, next - at));
    }
    std::filesystem::remove(file());
    return out;
  }
  static std::string join(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
  }
  static std::vector<std::u16string> titles(const RankingTable& t) {
    std::vector<std::u16string> out;
    for (const auto& e : t.entries) out.push_back(e.title);
    return out;
  }
};

TEST_F(RankingFile, DamageCostsOnlyTheEntryOrFieldItTouches) {
  using T = std::vector<std::u16string>;
  const T all{u"old0", u"old1", u"old2", u"old3", u"old4", u"old5", u"old6", u"old7", u"old8", u"old9"};
  struct Case {
    const char* what;
    int line;  // 0-based line of the 50; entry = line / 5
    std::string bytes;
    T titles;
  } cases[] = {
      {"bad byte in a title: kept, empty", 5 * 4 + 4, "\"old\x80\"",
       T{u"old0", u"old1", u"old2", u"old3", u"", u"old5", u"old6", u"old7", u"old8", u"old9"}},
      {"bad byte in a date: kept, empty", 5 * 4 + 3, "\x81\x20", all},
      {"bad byte in a speed: entry left out", 5 * 4, " 6\x80 ",
       T{u"old0", u"old1", u"old2", u"old3", u"old5", u"old6", u"old7", u"old8", u"old9", u""}},
      {"bad number in entry 3", 5 * 2 + 1, " 9x0 ",
       T{u"old0", u"old1", u"old3", u"old4", u"old5", u"old6", u"old7", u"old8", u"old9", u""}},
      {"bad number in the last entry", 5 * 9 + 2, " , ",
       T{u"old0", u"old1", u"old2", u"old3", u"old4", u"old5", u"old6", u"old7", u"old8", u""}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> l = lines(fullTable());
    l[static_cast<std::size_t>(c.line)] = c.bytes;
    folder.write("rank.dat", join(l));
    RankingTable t;
    const auto r = loadRanking(t, file());
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_EQ(r.message, kRankingLoadFailed) << c.what;
    EXPECT_EQ(titles(t), c.titles) << c.what;
    if (c.line % 5 == 3) {
      EXPECT_EQ(t.entries[4].nitizi, u"") << c.what;
      EXPECT_EQ(t.entries[4].sokudo, 60) << c.what;
    }
  }
}

TEST_F(RankingFile, DamagedFileIsKeptAsBrokenAndItsGoodEntriesSurviveASave) {
  std::vector<std::string> l = lines(fullTable());
  l[5 * 2] = " 8O ";  // entry 3's speed, a letter O for a zero
  const std::string damaged = join(l);
  folder.write("rank.dat", damaged);
  folder.write("rank.dat.broken", "an older copy");
  RankingTable t;
  ASSERT_FALSE(loadRanking(t, file()).ok);

  const auto out = offerRunAndSave(t, {55, 95, 300, u"新"}, clock, file());
  EXPECT_TRUE(out.save.ok);
  EXPECT_EQ(out.offer.message, u"5位にランクインしました！");
  RankingTable back;
  ASSERT_TRUE(loadRanking(back, file()).ok);
  EXPECT_EQ(back, t);
  EXPECT_EQ(titles(back), (std::vector<std::u16string>{u"old0", u"old1", u"old3", u"old4", u"新", u"old5", u"old6",
                                                        u"old7", u"old8", u"old9"}));
  EXPECT_EQ(folder.read("rank.dat.broken"), "an older copy");
  EXPECT_EQ(folder.read("rank.dat.broken.1"), damaged);

  // The file now reads whole: the next save keeps no further copy.
  ASSERT_TRUE(saveRanking(t, file()).ok);
  EXPECT_FALSE(folder.exists("rank.dat.broken.2"));
  EXPECT_FALSE(folder.exists("rank.dat.broken.1.broken"));
}

TEST_F(RankingFile, TwoCopiesSavingKeepBothRuns) {
  const RankingTable start = tableOf({{100, 90}, {50, 90}});
  ASSERT_TRUE(saveRanking(start, file()).ok);
  RankingTable first, second;
  ASSERT_TRUE(loadRanking(first, file()).ok);
  ASSERT_TRUE(loadRanking(second, file()).ok);

  const auto a = offerRunAndSave(first, {80, 99, 10, u"first"}, clock, file());
  EXPECT_EQ(a.offer.message, u"2位にランクインしました！");
  clock.time.minute = 6;
  // The second copy never saw the first copy's run; it is merged in before the offer.
  const auto b = offerRunAndSave(second, {70, 99, 10, u"second"}, clock, file());
  EXPECT_TRUE(b.save.ok);
  EXPECT_EQ(b.offer.message, u"3位にランクインしました！");

  RankingTable back;
  ASSERT_TRUE(loadRanking(back, file()).ok);
  EXPECT_EQ(titles(back), (std::vector<std::u16string>{u"old0", u"first", u"second", u"old1", u"", u"", u"", u"", u"",
                                                        u""}));
  EXPECT_EQ(back, second);  // the table in memory is what was written

  // Runs held on both sides count once; among equal speed and accuracy the older goes first.
  RankingTable third;
  third.entries[0] = {80, 99, 10, u"04/12/24 03:05 PM", u"yesterday"};
  ASSERT_TRUE(saveRanking(third, file()).ok);
  ASSERT_TRUE(saveRanking(first, file()).ok);
  EXPECT_EQ(titles(first), (std::vector<std::u16string>{u"old0", u"yesterday", u"first", u"second", u"old1", u"", u"",
                                                         u"", u"", u""}));
}

TEST_F(RankingFile, MergeKeepsTheTenBestOfBoth) {
  // This copy: 100, 80, ... ; the file: 90, 70, ...: each has ten, the result is the ten best.
  RankingTable mine = tableOf({{100, 1}, {80, 1}, {60, 1}, {40, 1}, {20, 1}, {19, 1}, {18, 1}, {17, 1}, {16, 1}, {15, 1}});
  RankingTable theirs = tableOf({{90, 1}, {70, 1}, {50, 1}, {30, 1}, {14, 1}, {13, 1}, {12, 1}, {11, 1}, {10, 1}, {9, 1}});
  ASSERT_TRUE(saveRanking(theirs, file()).ok);
  ASSERT_TRUE(saveRanking(mine, file()).ok);
  std::vector<std::pair<int, int>> want;
  for (int s : {100, 90, 80, 70, 60, 50, 40, 30, 20, 19}) want.emplace_back(s, 1);
  EXPECT_EQ(scores(mine), want);
}

TEST_F(RankingFile, LinksAreWrittenThroughOnlyToARankingOrToNothing) {
  namespace fs = std::filesystem;
  folder.write("notes.txt", "my notes\r\n");
  folder.write("elsewhere/kept.dat", join(lines(fullTable())));
  fs::create_directories(folder.root / "empty");
  struct Case {
    const char* what;
    fs::path to;
    bool saved;
  } cases[] = {
      {"a device", "/dev/null", false},
      {"a file that is no ranking", folder.root / "notes.txt", false},
      {"a folder", folder.root / "empty", false},
      {"a ranking", folder.root / "elsewhere" / "kept.dat", true},
      {"a missing file in a writable folder", folder.root / "empty" / "new.dat", true},
  };
  for (const Case& c : cases) {
    fs::remove(file());
    fs::create_symlink(c.to, file());
    const std::string before = fs::is_regular_file(c.to) ? test::readBytes(c.to) : std::string();
    RankingTable t;
    offerRun(t, {500, 100, 10, u"run"}, clock);
    const auto r = saveRanking(t, file());
    EXPECT_EQ(r.ok, c.saved) << c.what;
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(file()))) << c.what;
    EXPECT_FALSE(folder.exists("rank.dat.broken")) << c.what;
    if (!c.saved) {
      EXPECT_EQ(r.message, kRankingSaveFailed) << c.what;
      if (!before.empty()) {
        EXPECT_EQ(test::readBytes(c.to), before) << c.what;
      }
      continue;
    }
    RankingTable back;
    ASSERT_TRUE(loadRanking(back, c.to).ok) << c.what;
    EXPECT_EQ(back.entries[0].title, u"run") << c.what;
  }
  EXPECT_TRUE(fs::is_character_file(fs::status("/dev/null")));
  EXPECT_EQ(folder.read("notes.txt"), "my notes\r\n");
  // Merged, not overwritten: the linked ranking kept its own ten best below the new run.
  RankingTable kept;
  ASSERT_TRUE(loadRanking(kept, folder.root / "elsewhere" / "kept.dat").ok);
  EXPECT_EQ(kept.entries[1].title, u"old0");
}

TEST_F(RankingFile, AFifoFailsAtOnce) {
  ASSERT_EQ(::mkfifo(file().c_str(), 0644), 0);
  RankingTable t;
  EXPECT_EQ(loadRanking(t, file()).message, kRankingLoadFailed);
  const auto out = offerRunAndSave(t, {120, 100, 240, u"初級"}, clock, file());
  EXPECT_EQ(out.offer.index, 0);  // the run still enters the table in memory
  EXPECT_EQ(out.save.message, kRankingSaveFailed);
  EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(file())));
}

}  // namespace
}  // namespace lk
