#include "practice/word_drill.h"

#include "engine/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

namespace lk {
namespace {

// Plays back a script of draws, then a fixed value; records reseeds.
class ScriptedRandom : public Random {
 public:
  explicit ScriptedRandom(std::vector<double> script = {}, double after = 0.0)
      : script_(std::move(script)), after_(after) {}
  void reseed() override {
    ++reseeds;
    drawsBeforeReseed = draws;
  }
  double next() override {
    const double r = draws < script_.size() ? script_[draws] : after_;
    ++draws;
    return r;
  }
  int reseeds = 0;
  std::size_t draws = 0;
  std::size_t drawsBeforeReseed = 0;

 private:
  std::vector<double> script_;
  double after_;
};

ProblemSet makeSet(std::vector<std::pair<std::u16string, std::u16string>> problems) {
  ProblemSet set;
  set.count = static_cast<int>(problems.size());
  set.title = u"テスト";
  for (auto& [text, romaji] : problems) {
    set.text.push_back(text);
    set.romaji.push_back(romaji);
  }
  return set;
}

void startDrill(WordDrill& drill) {
  for (int i = 0; i < WordDrill::kCountdownStart; ++i) drill.countdownTick();
}

void typeAll(WordDrill& drill, std::u16string_view keys) {
  for (char16_t k : keys) drill.type(k);
}

TEST(WordDrillLoad, ShuffleReseedsThenDrawsTwicePerSwap) {
  // First swap exchanges positions 0 and 2; the other 500 swap 0 with itself.
  ScriptedRandom random({0.0, 0.9});
  ProblemSet set = makeSet({{u"あ", u"a"}, {u"い", u"i"}, {u"う", u"u"}});
  KeySettings keys;
  DrillResult result;
  WordDrill drill(set, keys, result, random);

  EXPECT_EQ(random.reseeds, 1);
  EXPECT_EQ(random.drawsBeforeReseed, 0u);
  EXPECT_EQ(random.draws, 2u * WordDrill::kShuffleSwaps);
  EXPECT_EQ(std::vector<int>(drill.order().begin(), drill.order().end()), (std::vector<int>{2, 1, 0}));
  startDrill(drill);
  EXPECT_EQ(drill.questionText(), u"う");
}

TEST(WordDrillLoad, QuestionCountIsTheSmallerOfCountAndLimit) {
  struct Case {
    int count;
    int saidai;
    int questions;
  } cases[] = {{50, 30, 30}, {12, 30, 12}, {50, 50, 50}, {30, 30, 30}, {80, 10, 10}, {1, 10, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "count " << c.count << " saidai " << c.saidai);
    ProblemSet set;
    set.count = c.count;
    for (int i = 0; i < c.count; ++i) {
      set.text.push_back(u"t");
      set.romaji.push_back(u"a");
    }
    KeySettings keys;
    keys.saidai = static_cast<std::int16_t>(c.saidai);
    // A spread of draws so the whole permutation moves.
    std::vector<double> draws;
    for (int i = 0; i < 2 * WordDrill::kShuffleSwaps; ++i) draws.push_back(std::fmod(i * 0.618034, 1.0));
    ScriptedRandom random(draws);
    DrillResult result;
    WordDrill drill(set, keys, result, random);

    EXPECT_EQ(drill.questionCount(), c.questions);
    EXPECT_EQ(result.charCount, c.questions);  // one character per asked problem
    std::vector<int> sorted(drill.order().begin(), drill.order().end());
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> identity(static_cast<std::size_t>(c.count));
    std::iota(identity.begin(), identity.end(), 0);
    EXPECT_EQ(sorted, identity) << "order must be a permutation, so no problem is asked twice";
  }
}

TEST(WordDrillLoad, OrderedSetIsAskedWholeInListOrderOnce) {
  struct Case {
    int count;
    int saidai;
    int questions;
  } cases[] = {{40, 10, 40}, {3, 30, 3}, {80, 10, WordDrill::kMarkerCount}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "count " << c.count << " saidai " << c.saidai);
    ProblemSet set;
    set.count = c.count;
    for (int i = 0; i < c.count; ++i) {
      set.text.push_back(u"t" + fromAscii(std::to_string(i)));
      set.romaji.push_back(u"a");
    }
    set.askInOrder = true;
    KeySettings keys;
    keys.saidai = static_cast<std::int16_t>(c.saidai);
    ScriptedRandom random({0.0, 0.9});
    DrillResult result;
    WordDrill drill(set, keys, result, random);

    EXPECT_EQ(drill.questionCount(), c.questions);
    EXPECT_EQ(random.draws, 0u) << "an ordered set draws nothing";
    for (int i = 0; i < c.count; ++i) ASSERT_EQ(drill.order()[static_cast<std::size_t>(i)], i);
    startDrill(drill);
    EXPECT_EQ(drill.questionText(), u"t0");
    EXPECT_FALSE(set.askInOrder) << "the next drill on this set is drawn at random again";
  }
}

TEST(WordDrillLoad, RewritesOnlyTheAskedProblemsAndCountsTheirKeys) {
  ProblemSet set = makeSet({{u"パン", u"pann"},
                            {u"Good morning!", u"*g**o**o**d* *m**o**r**n**i**n**g*!"},
                            {u"机", u"tukue"}});
  KeySettings keys;
  ASSERT_TRUE(keys.set("nn", u"n"));
  keys.saidai = 10;
  ScriptedRandom random;  // identity order
  DrillResult result{7, 7, 7};
  {
    WordDrill drill(set, keys, result, random);
    EXPECT_EQ(set.romaji[0], u"pann");
    EXPECT_EQ(set.romaji[1], u"goodmorning!");
    EXPECT_EQ(result.charCount, 4 + 12 + 5);
    EXPECT_EQ(result.missCount, 0);
    EXPECT_EQ(result.elapsedSeconds, 0);
  }

  // With fewer questions than problems the last one stays canonical.
  ProblemSet big;
  big.count = 11;
  for (int i = 0; i < 11; ++i) {
    big.text.push_back(u"x");
    big.romaji.push_back(u"a b");
  }
  WordDrill drill(big, keys, result, random);
  EXPECT_EQ(big.romaji[9], u"ab");
  EXPECT_EQ(big.romaji[10], u"a b");
  EXPECT_EQ(result.charCount, 20);
}

TEST(WordDrillCountdown, ShowsThreeTwoOneStartThenRunsAndIgnoresKeys) {
  ProblemSet set = makeSet({{u"あ", u"a"}});
  KeySettings keys;
  ScriptedRandom random;
  DrillResult result;
  WordDrill drill(set, keys, result, random);

  const std::u16string expected[] = {u"3", u"2", u"1", u"START!"};
  for (int tick = 0; tick < 4; ++tick) {
    EXPECT_EQ(drill.countdownText(), expected[tick]);
    EXPECT_EQ(drill.phase(), WordDrill::Phase::Countdown);
    EXPECT_EQ(drill.type(u'a').verdict, WordDrill::Verdict::Ignored);
    EXPECT_EQ(drill.type(u'q').verdict, WordDrill::Verdict::Ignored);
    EXPECT_FALSE(drill.clockTick());
    EXPECT_EQ(drill.countdownTick(), tick == 3);
  }
  EXPECT_EQ(drill.phase(), WordDrill::Phase::Running);
  EXPECT_EQ(result.missCount, 0);
  EXPECT_EQ(result.elapsedSeconds, 0);
  EXPECT_EQ(set.romaji[0], u"a");
  EXPECT_FALSE(drill.countdownTick()) << "a stray countdown tick after the start changes nothing";
  EXPECT_EQ(drill.phase(), WordDrill::Phase::Running);
}

TEST(WordDrillTyping, HitsMissesMarkersAndClear) {
  ProblemSet set = makeSet({{u"ドア", u"doa"}, {u"海", u"umi"}});
  KeySettings keys;
  ScriptedRandom random;
  DrillResult result;
  WordDrill drill(set, keys, result, random);
  startDrill(drill);

  EXPECT_EQ(drill.questionText(), u"ドア");
  EXPECT_EQ(drill.remaining(), u"doa");

  auto r = drill.type(u'd');
  EXPECT_EQ(r.verdict, WordDrill::Verdict::Hit);
  EXPECT_EQ(r.sounds[0], kWordKeySound);
  EXPECT_TRUE(r.sounds[1].empty());
  EXPECT_FALSE(r.questionDone);
  EXPECT_EQ(drill.remaining(), u"oa");

  // Wrong case, the space bar, Enter and Backspace never match.
  for (char16_t wrong : {u'O', u' ', u'\r', u'\b', u'a'}) {
    r = drill.type(wrong);
    EXPECT_EQ(r.verdict, WordDrill::Verdict::Miss);
    EXPECT_EQ(r.sounds[0], kWordMissSound);
  }
  EXPECT_EQ(result.missCount, 5);
  EXPECT_EQ(drill.remaining(), u"oa");

  drill.type(u'o');
  r = drill.type(u'a');
  EXPECT_TRUE(r.questionDone);
  EXPECT_FALSE(r.cleared);
  EXPECT_TRUE(drill.markerDone(0));
  EXPECT_FALSE(drill.markerDone(1));
  EXPECT_EQ(drill.current(), 1);
  EXPECT_EQ(drill.questionText(), u"海");
  EXPECT_EQ(drill.remaining(), u"umi");

  drill.clockTick();
  drill.clockTick();
  typeAll(drill, u"um");
  r = drill.type(u'i');
  EXPECT_TRUE(r.cleared);
  EXPECT_EQ(r.sounds[0], kWordKeySound);
  EXPECT_EQ(r.sounds[1], kWordClearSound);
  EXPECT_EQ(drill.phase(), WordDrill::Phase::Cleared);
  EXPECT_TRUE(drill.markerDone(1));
  EXPECT_TRUE(drill.questionText().empty());
  EXPECT_TRUE(drill.remaining().empty());

  // The clock has stopped and further keys change nothing.
  EXPECT_FALSE(drill.clockTick());
  EXPECT_EQ(result.elapsedSeconds, 2);
  EXPECT_EQ(drill.type(u'z').verdict, WordDrill::Verdict::Ignored);
  EXPECT_EQ(result.missCount, 5);
  EXPECT_EQ(result.charCount, 6);
}

TEST(WordDrillTyping, KeysAfterTheClearNeverReachUnaskedProblems) {
  // Ten questions of eleven problems: the eleventh still holds "q".
  ProblemSet set;
  set.count = 11;
  for (int i = 0; i < 11; ++i) {
    set.text.push_back(u"t");
    set.romaji.push_back(i == 10 ? u"q" : u"a");
  }
  KeySettings keys;
  keys.saidai = 10;
  ScriptedRandom random;
  DrillResult result;
  WordDrill drill(set, keys, result, random);
  startDrill(drill);
  typeAll(drill, u"aaaaaaaaaa");
  ASSERT_EQ(drill.phase(), WordDrill::Phase::Cleared);

  EXPECT_EQ(drill.type(u'q').verdict, WordDrill::Verdict::Ignored);
  EXPECT_EQ(set.romaji[10], u"q");
  EXPECT_EQ(drill.current(), 10);
}

TEST(WordDrillTyping, SoundSwitchOffPlaysNothingButCountsTheSame) {
  ProblemSet set = makeSet({{u"あ", u"a"}});
  KeySettings keys;
  keys.koukaon = 1;
  ScriptedRandom random;
  DrillResult result;
  WordDrill drill(set, keys, result, random);
  startDrill(drill);
  for (char16_t k : {u'x', u'a'}) {
    const auto r = drill.type(k);
    EXPECT_NE(r.verdict, WordDrill::Verdict::Ignored);
    EXPECT_TRUE(r.sounds[0].empty());
    EXPECT_TRUE(r.sounds[1].empty());
  }
  EXPECT_EQ(result.missCount, 1);
  EXPECT_EQ(drill.phase(), WordDrill::Phase::Cleared);
}

// A question with nothing to type (a reading of one space) counts as typed
// as soon as it comes up, at the start or after the question before it; so
// does one holding a character no key types (a NUL or control byte from a
// damaged file), in both judgements, and its keys are not counted.
TEST(WordDrillTyping, QuestionsWithNothingToTypeCountAsTypedAtOnce) {
  struct Case {
    const char* name;
    std::vector<std::u16string> romaji;  // in question order
    std::u16string keys;
    int currentAfterStart;
    bool clearedAfterKeys;
    int misses;
    int charCount;
  } cases[] = {
      {"first empty", {u"", u"a"}, u"a", 1, true, 0, 1},
      {"middle empty", {u"a", u"", u"i"}, u"ai", 0, true, 0, 2},
      {"last empty", {u"a", u""}, u"a", 0, true, 0, 1},
      {"two empty in a row", {u"a", u"", u"", u"u"}, u"axu", 0, true, 1, 2},
      {"all empty: cleared at the start", {u"", u""}, u"ax", 2, true, 0, 0},
      {"NUL inside a reading", {u"a", std::u16string(u"k\0a", 3), u"i"}, u"ai", 0, true, 0, 2},
      {"control byte first", {u"\x01", u"a"}, u"a", 1, true, 0, 1},
      {"kana left in a reading", {u"a", u"aか"}, u"a", 0, true, 0, 1},
      {"only untypeable: cleared at the start", {u"ka\x1b"}, u"k", 1, true, 0, 0},
  };
  for (const bool flexible : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (flexible ? " (any spelling)" : ""));
      std::vector<std::pair<std::u16string, std::u16string>> problems;
      for (const auto& r : c.romaji) problems.emplace_back(u"問", r);
      ProblemSet set = makeSet(problems);
      KeySettings keys;
      ScriptedRandom random;  // all draws 0: the order stays as given
      DrillResult result;
      WordDrill drill(set, keys, result, random, flexible);
      startDrill(drill);
      EXPECT_EQ(drill.current(), c.currentAfterStart);
      for (int i = 0; i < c.currentAfterStart; ++i) EXPECT_TRUE(drill.markerDone(i));

      WordDrill::KeyResult last;
      for (char16_t k : c.keys) {
        const auto r = drill.type(k);
        if (r.verdict != WordDrill::Verdict::Ignored) last = r;
      }
      EXPECT_EQ(drill.phase() == WordDrill::Phase::Cleared, c.clearedAfterKeys);
      EXPECT_EQ(drill.current(), static_cast<int>(c.romaji.size()));
      EXPECT_EQ(result.missCount, c.misses);
      EXPECT_EQ(result.charCount, c.charCount);
      // The key that finished the last typeable question also played the clear.
      if (c.currentAfterStart < static_cast<int>(c.romaji.size())) {
        EXPECT_TRUE(last.cleared);
        EXPECT_EQ(last.sounds[1], kWordClearSound);
      }
    }
  }
}

TEST(WordDrillRobustness, BrokenSetsAndRandomSourcesNeverLeaveTheSet) {
  KeySettings keys;
  DrillResult result;

  {  // Never filled / no problems: an empty drill whose keys are dropped.
    ProblemSet empty;
    ScriptedRandom random;
    WordDrill drill(empty, keys, result, random);
    EXPECT_EQ(drill.questionCount(), 0);
    EXPECT_EQ(random.draws, 0u);
    startDrill(drill);
    EXPECT_EQ(drill.type(u'a').verdict, WordDrill::Verdict::Ignored);
    EXPECT_EQ(result.missCount, 0);
    EXPECT_TRUE(drill.questionText().empty());
  }
  {  // A partly read file: count says 3 but only two pairs were read.
    ProblemSet partial = makeSet({{u"あ", u"a"}, {u"い", u"i"}});
    partial.count = 3;
    partial.romaji.push_back(u"u");  // romaji longer than text
    ScriptedRandom random({}, 0.99);
    WordDrill drill(partial, keys, result, random);
    EXPECT_EQ(drill.questionCount(), 2);
    for (int p : drill.order()) EXPECT_LT(p, 2);
  }
  {  // A random source that returns 1.0 or a negative value stays in range.
    ProblemSet set = makeSet({{u"あ", u"a"}, {u"い", u"i"}});
    ScriptedRandom random({1.0, -0.5, 1.5, 0.5});
    WordDrill drill(set, keys, result, random);
    for (int p : drill.order()) {
      EXPECT_GE(p, 0);
      EXPECT_LT(p, 2);
    }
  }
  {  // A reading of one space leaves nothing to type: that question is
     // passed at once instead of swallowing every key.
    ProblemSet set = makeSet({{u"空", u" "}, {u"あ", u"a"}});
    ScriptedRandom random;
    WordDrill drill(set, keys, result, random);
    startDrill(drill);
    EXPECT_EQ(drill.remaining(), u"a");
    EXPECT_TRUE(drill.type(u'a').cleared);
    EXPECT_EQ(result.missCount, 0);
  }
  {  // A limit above the number of markers is held at 50.
    ProblemSet set;
    set.count = 60;
    set.text.assign(60, u"t");
    set.romaji.assign(60, u"a");
    KeySettings many;
    many.saidai = 99;
    ScriptedRandom random;
    WordDrill drill(set, many, result, random);
    EXPECT_EQ(drill.questionCount(), WordDrill::kMarkerCount);
  }
}

// Flexible judgement: any input-method spelling is a hit, the remaining text
// is the guide, charCount counts the keys actually typed.
TEST(WordDrillFlexible, HepburnKeysAgainstKunreiSettingsAreHits) {
  ScriptedRandom random;  // in list order
  ProblemSet set = makeSet({{u"新聞", u"sinnbunn"}, {u"東京", u"toukyou"}});
  KeySettings keys;
  DrillResult result;
  WordDrill drill(set, keys, result, random, true);
  startDrill(drill);
  EXPECT_EQ(drill.remaining(), u"sinnbunn");
  EXPECT_EQ(result.charCount, 0);

  typeAll(drill, u"sh");
  EXPECT_EQ(drill.remaining(), u"innbunn");  // the guide follows the learner
  EXPECT_EQ(drill.type(u'x').verdict, WordDrill::Verdict::Miss);
  typeAll(drill, u"inbunn");
  EXPECT_EQ(drill.current(), 1);
  EXPECT_EQ(drill.remaining(), u"toukyou");
  typeAll(drill, u"toukyou");
  EXPECT_EQ(drill.phase(), WordDrill::Phase::Cleared);
  EXPECT_EQ(result.missCount, 1);
  EXPECT_EQ(result.charCount, 8 + 7);  // "shinbunn" + "toukyou", the miss not counted
  // The set is rewritten as in the default mode.
  EXPECT_EQ(set.romaji[0], u"sinnbunn");
}

TEST(WordDrillFlexible, DefaultModeStillExpectsTheSettingsSpelling) {
  ScriptedRandom random;
  ProblemSet set = makeSet({{u"新聞", u"sinnbunn"}});
  KeySettings keys;
  DrillResult result;
  WordDrill drill(set, keys, result, random);
  startDrill(drill);
  typeAll(drill, u"shinbunn");
  // "h", "b", "u" and the last "n" miss; "bunn" is still expected.
  EXPECT_EQ(result.missCount, 4);
  EXPECT_EQ(drill.remaining(), u"bunn");
  EXPECT_EQ(result.charCount, 8);
  EXPECT_EQ(drill.matcher(), nullptr);
}

}  // namespace
}  // namespace lk
