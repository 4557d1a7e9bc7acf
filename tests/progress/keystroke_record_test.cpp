// The record the drills keep of every judged key: times from the clock
// service, expected and typed keys, units, and drills that behave exactly as
// they do without a recorder.
#include "progress/keystroke_record.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fakes/fake_midi.h"
#include "fakes/fake_services.h"
#include "music/music_drill.h"
#include "practice/one_char_drill.h"
#include "practice/word_drill.h"
#include "progress/keystroke_stats.h"

namespace lk {
namespace {

using test::FakeClock;
using test::FakeRandom;

ProblemSet wordSet(std::vector<std::u16string> romaji) {
  ProblemSet set;
  set.count = static_cast<int>(romaji.size());
  set.title = u"テスト";
  for (auto& r : romaji) {
    set.text.push_back(u"問");
    set.romaji.push_back(r);
  }
  return set;
}

// One step of a script: advance the clock by `ms`, then type `key`.
struct Step {
  int ms;
  char16_t key;
};

struct WordRun {
  DrillResult result;
  std::vector<WordDrill::Verdict> verdicts;
  RunRecord record;
};

// The word drill over questions in list order, with or without a recorder.
WordRun runWordDrill(const std::vector<std::u16string>& romaji, const std::vector<Step>& steps, bool record,
                     const KeySettings& keys = {}, bool flexible = false) {
  WordRun out;
  ProblemSet set = wordSet(romaji);
  FakeRandom random;  // always 0: every swap leaves the order as it is
  FakeClock clock;
  clock.time = LocalDateTime{2026, 5, 6, 7, 8, 9};
  clock.ms = 1000;
  KeystrokeRecorder recorder(out.record, &clock);
  WordDrill drill(set, keys, out.result, random, flexible, record ? &recorder : nullptr);
  // Keys of the countdown are ignored, and so not recorded.
  drill.type(u's');
  for (int i = 0; i < WordDrill::kCountdownStart; ++i) drill.countdownTick();
  for (const Step& s : steps) {
    clock.ms += s.ms;
    out.verdicts.push_back(drill.type(s.key).verdict);
  }
  return out;
}

TEST(KeystrokeRecord, WordDrillRecordsTimesKeysHitsAndUnits) {
  // Two one-unit questions: "si" with a miss on its second key, then "ka".
  const WordRun run = runWordDrill({u"si", u"ka"}, {{120, u's'}, {200, u'u'}, {90, u'i'}, {300, u'k'}, {80, u'a'}, {50, u'x'}},
                                   true);
  ASSERT_EQ(run.record.keys.size(), 5u);  // the key after the clear is not judged
  const std::vector<Keystroke> want = {
      {120, u's', u's', 0, 0, true}, {320, u'i', u'u', 0, 1, false}, {410, u'i', u'i', 0, 1, true},
      {710, u'k', u'k', 1, 0, true}, {790, u'a', u'a', 1, 1, true},
  };
  EXPECT_EQ(run.record.keys, want);
  EXPECT_EQ(run.record.units, (std::vector<std::u16string>{u"し", u"か"}));
  EXPECT_EQ(run.record.started.year, 2026);
  EXPECT_EQ(run.record.started.second, 9);
}

TEST(KeystrokeRecord, RecordingChangesNoWordDrillFigure) {
  struct Case {
    const char* name;
    std::vector<std::u16string> romaji;
    std::vector<Step> steps;
  };
  const std::vector<Case> cases = {
      {"clean", {u"a", u"i"}, {{10, u'a'}, {10, u'i'}}},
      {"misses", {u"sya", u"nn"}, {{10, u'x'}, {10, u's'}, {10, u'h'}, {10, u'y'}, {10, u'a'}, {10, u'n'}, {10, u'n'}}},
      {"unfinished", {u"ka", u"ki"}, {{10, u'k'}, {10, u'q'}}},
      {"empty question", {u"", u"a"}, {{10, u'a'}}},
  };
  KeySettings shi;
  ASSERT_TRUE(shi.set("sya", u"sha"));
  for (bool flexible : {false, true}) {
  for (const KeySettings& keys : {KeySettings{}, shi}) {
    for (const Case& c : cases) {
      const WordRun plain = runWordDrill(c.romaji, c.steps, false, keys, flexible);
      const WordRun recorded = runWordDrill(c.romaji, c.steps, true, keys, flexible);
      EXPECT_EQ(plain.verdicts, recorded.verdicts) << c.name;
      EXPECT_EQ(plain.result.missCount, recorded.result.missCount) << c.name;
      EXPECT_EQ(plain.result.charCount, recorded.result.charCount) << c.name;
      EXPECT_TRUE(plain.record.keys.empty()) << c.name;
      // Every judged key is in the record, hits and misses as the drill judged them.
      std::size_t judged = 0, misses = 0;
      for (auto v : recorded.verdicts) {
        judged += v != WordDrill::Verdict::Ignored;
        misses += v == WordDrill::Verdict::Miss;
      }
      ASSERT_EQ(recorded.record.keys.size(), judged) << c.name;
      std::size_t recordedMisses = 0;
      for (const Keystroke& k : recorded.record.keys) recordedMisses += !k.hit;
      EXPECT_EQ(recordedMisses, misses) << c.name;
    }
  }
  }
}

TEST(KeystrokeRecord, FlexibleSpellingIsRecordedUnderItsUnit) {
  // "si" typed as "shi": every key a hit of し and recorded as typed; the
  // miss waits for what the guide showed.
  const WordRun run = runWordDrill({u"si"}, {{100, u's'}, {100, u'h'}, {100, u'x'}, {100, u'i'}}, true, {}, true);
  const std::vector<Keystroke> want = {
      {100, u's', u's', 0, 0, true}, {200, u'h', u'h', 0, 1, true}, {300, u'i', u'x', 0, 2, false},
      {400, u'i', u'i', 0, 2, true}};
  EXPECT_EQ(run.record.keys, want);
  EXPECT_EQ(run.record.units, std::vector<std::u16string>{u"し"});
}

TEST(KeystrokeRecord, HepburnTypedWithAnySpellingIsRecordedAsTyped) {
  // A drill left at the canonical settings, typed in Hepburn, with one miss
  // at the start of じょ: the record, the key figures and the miss patterns
  // hold only keys that were pressed.
  const std::vector<std::u16string> questions = {u"tyairo", u"zyouzu", u"husi", u"tukue", u"kissa"};
  const std::u16string typed = u"chairo" u"g" u"jouzu" u"fushi" u"tsukue" u"kissa";
  std::vector<Step> steps;
  for (char16_t k : typed) steps.push_back({100, k});
  const WordRun run = runWordDrill(questions, steps, true, {}, true);
  ASSERT_EQ(run.record.keys.size(), typed.size());
  std::u16string hits;
  for (std::size_t i = 0; i < typed.size(); ++i) {
    const Keystroke& k = run.record.keys[i];
    EXPECT_EQ(k.typed, typed[i]) << i;
    if (k.hit) {
      EXPECT_EQ(k.expected, k.typed) << i;
      hits += k.typed;
    }
  }
  EXPECT_EQ(hits, u"chairojouzufushitsukuekissa");
  EXPECT_EQ(run.result.missCount, 1);

  std::map<char16_t, int> counted;
  for (const KeyStat& s : keyStats(std::span(&run.record, 1))) counted[s.key] = s.count;
  // Every key typed, counted once; the miss under the key the guide waited for.
  std::map<char16_t, int> sent;
  for (char16_t k : hits) ++sent[k];
  ++sent[u'z'];
  EXPECT_EQ(counted, sent);

  const std::vector<MissPattern> patterns = missPatterns(run.record);
  ASSERT_EQ(patterns.size(), 1u);
  EXPECT_EQ(describeMissPattern(patterns[0]), u"じょ jo → g ×1");
}

TEST(KeystrokeRecord, QuestionsAreTimedFromTheMomentTheyAreShown) {
  // Three questions of one key: the first comes 2782 ms after it is shown,
  // the second 250 ms after, the third only after a pause.
  const WordRun run = runWordDrill({u"a", u"i", u"u"}, {{2782, u'a'}, {250, u'i'}, {kPauseMs, u'u'}}, true);
  ASSERT_EQ(run.record.keys.size(), 3u);
  EXPECT_EQ(run.record.keys[0].ms, 2782);  // from the first question shown, not from the load
  const std::vector<bool> afterPause = {run.record.keys[0].afterPause, run.record.keys[1].afterPause,
                                        run.record.keys[2].afterPause};
  EXPECT_EQ(afterPause, (std::vector<bool>{false, false, true}));
  // Only the key of い is typing time: あ opens the run, う follows a pause.
  const auto units = slowestUnits(std::span(&run.record, 1));
  ASSERT_EQ(units.size(), 1u);
  EXPECT_EQ(units[0].unit, u"い");
  EXPECT_EQ(units[0].medianMs, 250);
}

TEST(KeystrokeRecord, UnitsAccountForEveryExpectedKey) {
  // Whatever the split, each key of a text falls under some unit and the
  // units of the text read as its kana.
  RunRecord run;
  KeystrokeRecorder recorder(run, nullptr);
  KeySettings keys;
  const std::u16string canonical = u"sinnbunn";
  const std::u16string expected = rewriteRomaji(canonical, keys);
  const int text = recorder.addText(canonical, expected, keys);
  ASSERT_EQ(recorder.textLength(text), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) recorder.key(text, i, expected[i], expected[i], true);
  std::u16string kana;
  for (std::size_t i = 0; i < run.keys.size(); ++i) {
    if (run.keys[i].unitPos == 0) kana += run.unitOf(run.keys[i]);
  }
  EXPECT_EQ(kana, u"しんぶん");
  EXPECT_EQ(run.units, (std::vector<std::u16string>{u"し", u"ん", u"ぶ"}));  // each unit once
  EXPECT_EQ(run.keys[3].unitPos, 1);  // the second n of ん
  // A key beyond the registered text is filed under itself.
  recorder.key(text, expected.size(), u'z', u'z', true);
  EXPECT_EQ(run.unitOf(run.keys.back()), u"z");
}

TEST(KeystrokeRecord, OneCharDrillRecordsTheCharacterAsItsUnit) {
  ProblemSet set;
  fillOneCharList(set, OneCharList::Beginner);
  DrillResult result;
  FakeRandom random;
  random.sequence = {0.0, 1.0 / 26.0 + 1e-9};  // a, then b
  FakeClock clock;
  RunRecord record;
  KeystrokeRecorder recorder(record, &clock);
  OneCharDrill drill(set, KeySettings{}, result, random, &recorder);
  drill.type(u'a');  // before the start: ignored, not recorded
  for (int i = 0; i < OneCharDrill::kCountdownStart; ++i) drill.countdownTick();
  clock.ms += 250;
  drill.type(u'q');
  clock.ms += 250;
  drill.type(u'a');
  clock.ms += 100;
  drill.type(u'b');
  const std::vector<Keystroke> want = {
      {250, u'a', u'q', 0, 0, false}, {500, u'a', u'a', 0, 0, true}, {600, u'b', u'b', 1, 0, true}};
  EXPECT_EQ(record.keys, want);
  EXPECT_EQ(record.units, (std::vector<std::u16string>{u"a", u"b"}));
  EXPECT_EQ(result.charCount, 2);
  EXPECT_EQ(result.missCount, 1);
}

TEST(KeystrokeRecord, MusicDrillTimesFromTheLineShown) {
  ProblemSet set;
  set.count = 1;
  set.title = u"歌";
  set.text = {u"か"};
  set.reading = {u"か"};
  set.romaji = {u"ka"};
  set.melody = {u"5x7x"};
  test::FakeMidi midi;
  FakeClock clock;
  clock.ms = 5000;  // the clock's own origin is not the drill's
  DrillResult result;
  RunRecord record;
  KeystrokeRecorder recorder(record, &clock);
  MusicDrill drill(set, KeySettings{}, result, &midi, nullptr, false, &recorder);
  ASSERT_TRUE(drill.loaded());
  clock.ms += 700;
  drill.type(u'k');
  clock.ms += 300;
  drill.type(u'e');
  clock.ms += 200;
  drill.type(u'a');
  const std::vector<Keystroke> want = {
      {700, u'k', u'k', 0, 0, true}, {1000, u'a', u'e', 0, 1, false}, {1200, u'a', u'a', 0, 1, true}};
  EXPECT_EQ(record.keys, want);
  EXPECT_EQ(record.units, std::vector<std::u16string>{u"か"});
  EXPECT_TRUE(drill.cleared());
  EXPECT_EQ(result.missCount, 1);
}

TEST(KeystrokeRecord, SettingsAndTimesHaveTextForms) {
  KeySettings keys;
  ASSERT_TRUE(keys.set("ka", u"ca"));
  keys.saidai = 50;
  EXPECT_EQ(describeKeySettings(keys), "ka=ca saidai=50 koukaon=0");
  EXPECT_EQ(describeKeySettings(KeySettings{}), "saidai=30 koukaon=0");

  const LocalDateTime t{2026, 12, 3, 4, 5, 6};
  EXPECT_EQ(formatDateTime(t), "2026-12-03T04:05:06");
  LocalDateTime back;
  ASSERT_TRUE(parseDateTime("2026-12-03T04:05:06", back));
  EXPECT_EQ(formatDateTime(back), "2026-12-03T04:05:06");
  EXPECT_FALSE(parseDateTime("2026-12-03 04:05:06", back));
  EXPECT_FALSE(parseDateTime("", back));
}

}  // namespace
}  // namespace lk
