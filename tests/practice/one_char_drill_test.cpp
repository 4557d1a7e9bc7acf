#include "practice/one_char_drill.h"

#include <gtest/gtest.h>

#include <vector>

namespace lk {
namespace {

class ScriptedRandom : public Random {
 public:
  explicit ScriptedRandom(std::vector<double> script = {}, double after = 0.0)
      : script_(std::move(script)), after_(after) {}
  void reseed() override { ++reseeds; }
  double next() override { return draws < script_.size() ? script_[draws++] : (++draws, after_); }
  int reseeds = 0;
  std::size_t draws = 0;

 private:
  std::vector<double> script_;
  double after_;
};

TEST(OneCharLists, FillRecreatesRomajiOnlyWithTheListsCharacters) {
  ProblemSet set;
  set.text = {u"残る"};
  set.romaji = {u"old", u"old"};
  fillOneCharList(set, OneCharList::Beginner);
  EXPECT_EQ(set.count, 26);
  EXPECT_EQ(set.title, u"一文字タイピング(初級)");
  ASSERT_EQ(set.romaji.size(), 26u);
  EXPECT_EQ(set.romaji.front(), u"a");
  EXPECT_EQ(set.romaji.back(), u"z");
  EXPECT_EQ(set.text, std::vector<std::u16string>{u"残る"});

  fillOneCharList(set, OneCharList::Advanced);
  EXPECT_EQ(set.count, 51);
  EXPECT_EQ(set.title, u"一文字タイピング(上級)");
  ASSERT_EQ(set.romaji.size(), 51u);
  // Digits 1..9 then 0, then the symbols by their character codes.
  EXPECT_EQ(set.romaji[26], u"1");
  EXPECT_EQ(set.romaji[35], u"0");
  const int symbols[] = {33, 63, 47, 40, 41, 92, 37, 46, 61, 43, 58, 59, 44, 45, 64};
  for (int i = 0; i < 15; ++i) {
    ASSERT_EQ(set.romaji[static_cast<std::size_t>(36 + i)].size(), 1u);
    EXPECT_EQ(static_cast<int>(set.romaji[static_cast<std::size_t>(36 + i)][0]), symbols[i]) << "index " << 36 + i;
  }
}

struct DrillFixture : testing::Test {
  void SetUp() override { fillOneCharList(set, OneCharList::Advanced); }
  void start(OneCharDrill& drill) {
    for (int i = 0; i < OneCharDrill::kCountdownStart; ++i) drill.countdownTick();
  }
  ProblemSet set;
  KeySettings keys;
  DrillResult result{9, 9, 9};
};

TEST_F(DrillFixture, CountdownThenSixtySecondsCountingOnlyWhileTheClockRuns) {
  // First draw picks "a" (0.0), a hit then draws index 41 = backslash.
  ScriptedRandom random({0.0, 41.0 / 51 + 0.001}, 0.0);
  OneCharDrill drill(set, keys, result, random);
  EXPECT_EQ(random.reseeds, 1);
  EXPECT_EQ(result.charCount, 0);
  EXPECT_EQ(result.missCount, 0);
  EXPECT_EQ(drill.secondsLeft(), 60);

  const std::u16string texts[] = {u"3", u"2", u"1", u"START!"};
  for (int tick = 0; tick < 4; ++tick) {
    EXPECT_EQ(drill.countdownText(), texts[tick]);
    EXPECT_EQ(drill.type(u'a').verdict, OneCharDrill::Verdict::Ignored);
    EXPECT_FALSE(drill.clockTick());
    EXPECT_EQ(drill.countdownTick(), tick == 3);
  }
  EXPECT_EQ(drill.question(), u"a");

  auto r = drill.type(u'A');  // upper case never matches a lower-case question
  EXPECT_EQ(r.verdict, OneCharDrill::Verdict::Miss);
  EXPECT_EQ(r.sound, kOneCharMissSound);
  EXPECT_EQ(drill.question(), u"a") << "a miss keeps the question";

  r = drill.type(u'a');
  EXPECT_EQ(r.verdict, OneCharDrill::Verdict::Hit);
  EXPECT_EQ(r.sound, kOneCharKeySound);
  EXPECT_EQ(drill.question(), u"\\");
  EXPECT_EQ(drill.type(u'\\').verdict, OneCharDrill::Verdict::Hit);

  for (int second = 59; second >= 1; --second) {
    EXPECT_FALSE(drill.clockTick());
    EXPECT_EQ(drill.secondsLeft(), second);
  }
  drill.type(u'x');  // question is "a" again: a miss in the last second
  EXPECT_TRUE(drill.clockTick());
  EXPECT_EQ(drill.phase(), OneCharDrill::Phase::Ended);
  EXPECT_EQ(drill.question(), u"終");

  // After time is up nothing counts and the clock stays at 0.
  EXPECT_EQ(drill.type(u'a').verdict, OneCharDrill::Verdict::Ignored);
  EXPECT_FALSE(drill.clockTick());
  EXPECT_EQ(result.charCount, 2);
  EXPECT_EQ(result.missCount, 2);
  EXPECT_EQ(result.elapsedSeconds, 0);
}

TEST_F(DrillFixture, SoundOffStillCounts) {
  keys.koukaon = 1;
  ScriptedRandom random;
  OneCharDrill drill(set, keys, result, random);
  start(drill);
  EXPECT_TRUE(drill.type(u'a').sound.empty());
  EXPECT_TRUE(drill.type(u'b').sound.empty());
  EXPECT_EQ(result.charCount, 1);
  EXPECT_EQ(result.missCount, 1);
}

TEST_F(DrillFixture, DrawsStayInsideTheListWhateverTheRandomSourceReturns) {
  for (double r : {1.0, 0.99999, -0.1, 2.0}) {
    ScriptedRandom random({}, r);
    OneCharDrill drill(set, keys, result, random);
    start(drill);
    EXPECT_GE(drill.currentIndex(), 0);
    EXPECT_LT(drill.currentIndex(), 51);
  }
  ProblemSet empty;
  ScriptedRandom random;
  OneCharDrill drill(empty, keys, result, random);
  start(drill);
  EXPECT_EQ(drill.type(u'a').verdict, OneCharDrill::Verdict::Ignored);
  EXPECT_TRUE(drill.question().empty());
}

}  // namespace
}  // namespace lk
