// Figures drawn from records: per key, per unit, and the miss patterns the
// analysis screen lists.
#include "progress/keystroke_stats.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/text.h"
#include "progress/weakness.h"

namespace lk {
namespace {

struct K {
  int ms;
  char16_t expected, typed;
  std::uint16_t unit;
  std::uint8_t pos;
};

RunRecord makeRun(std::vector<std::u16string> units, std::vector<K> keys) {
  RunRecord r;
  r.units = std::move(units);
  for (const K& k : keys) r.keys.push_back(Keystroke{k.ms, k.expected, k.typed, k.unit, k.pos, k.expected == k.typed});
  return r;
}

// し typed as s-u-i, then し clean, then か with a miss on its first key.
const RunRecord kRun = makeRun({u"し", u"か"}, {
                                                 {100, u's', u's', 0, 0},
                                                 {250, u'i', u'u', 0, 1},
                                                 {400, u'i', u'i', 0, 1},
                                                 {500, u's', u's', 0, 0},
                                                 {560, u'i', u'i', 0, 1},
                                                 {900, u'k', u'g', 1, 0},
                                                 {1000, u'k', u'k', 1, 0},
                                                 {1100, u'a', u'a', 1, 1},
                                             });

TEST(KeystrokeStats, MedianOfOddAndEvenCounts) {
  struct Case {
    std::vector<std::int32_t> values;
    std::optional<int> want;
  } cases[] = {{{}, std::nullopt}, {{7}, 7}, {{9, 1, 5}, 5}, {{4, 1, 3, 10}, 3}, {{1, 2}, 1}};
  for (auto& c : cases) EXPECT_EQ(medianMs(c.values), c.want);
}

TEST(KeystrokeStats, PerKeyCountsMissesTimesAndWhatCameInstead) {
  const std::vector<KeyStat> stats = keyStats(std::span(&kRun, 1));
  ASSERT_EQ(stats.size(), 4u);
  // Missed keys first (i before k by key), then the rest by key.
  EXPECT_EQ(stats[0].key, u'i');
  EXPECT_EQ(stats[0].count, 3);
  EXPECT_EQ(stats[0].misses, 1);
  EXPECT_EQ(stats[0].medianMs, 105);  // hits 150 and 60 ms after the key before
  EXPECT_EQ(stats[0].typedInstead, (std::vector<std::pair<char16_t, int>>{{u'u', 1}}));
  EXPECT_EQ(stats[1].key, u'k');
  EXPECT_EQ(stats[1].medianMs, 100);
  EXPECT_EQ(stats[2].key, u'a');
  EXPECT_EQ(stats[3].key, u's');
  EXPECT_EQ(stats[3].medianMs, 100);  // the first key is timed from the start
}

TEST(KeystrokeStats, TypedInsteadMostFrequentFirstThenByKey) {
  const RunRecord r = makeRun({u"a"}, {{1, u'a', u'z', 0, 0}, {2, u'a', u'q', 0, 0}, {3, u'a', u's', 0, 0},
                                       {4, u'a', u's', 0, 0}, {5, u'a', u'a', 0, 0}});
  const auto stats = keyStats(std::span(&r, 1));
  ASSERT_EQ(stats.size(), 1u);
  EXPECT_EQ(stats[0].typedInstead, (std::vector<std::pair<char16_t, int>>{{u's', 2}, {u'q', 1}, {u'z', 1}}));
}

TEST(KeystrokeStats, NeverHitKeyHasNoTime) {
  const RunRecord r = makeRun({u"a"}, {{10, u'a', u'b', 0, 0}});
  EXPECT_FALSE(keyStats(std::span(&r, 1))[0].medianMs);
  EXPECT_TRUE(slowestUnits(std::span(&r, 1)).empty());
}

TEST(KeystrokeStats, PerUnitCountsAndOccurrences) {
  const std::vector<UnitStat> stats = unitStats(std::span(&kRun, 1));
  ASSERT_EQ(stats.size(), 2u);
  // Both missed once: ordered by unit.
  EXPECT_EQ(stats[0].unit, u"か");
  EXPECT_EQ(stats[0].count, 3);
  EXPECT_EQ(stats[0].occurrences, 1);
  EXPECT_EQ(stats[1].unit, u"し");
  EXPECT_EQ(stats[1].count, 5);
  EXPECT_EQ(stats[1].misses, 1);
  EXPECT_EQ(stats[1].occurrences, 2);
  // Hits of し: 100, 150, 100, 60 ms -> median 100; of か: 100, 100.
  EXPECT_EQ(stats[1].medianMs, 100);
  const auto slow = slowestUnits(std::span(&kRun, 1));
  ASSERT_EQ(slow.size(), 2u);
  EXPECT_EQ(slow[0].unit, u"か");  // same median: by unit
}

TEST(KeystrokeStats, WaitsBeforeAQuestionAreNoTypingTime) {
  // に opens the run 2782 ms after its question came up; か is typed after a
  // pause; the other keys are typing. Neither wait may make its kana slow.
  RunRecord r;
  r.units = {u"に", u"か", u"は"};
  r.keys = {
      {2782, u'n', u'n', 0, 0, true}, {2982, u'i', u'i', 0, 1, true},
      {9000, u'k', u'k', 1, 0, true, true}, {9150, u'a', u'a', 1, 1, true},
      {9300, u'h', u'h', 2, 0, true}, {9450, u'a', u'a', 2, 1, true},
  };
  const std::span<const RunRecord> runs(&r, 1);
  for (const UnitStat& u : unitStats(runs)) EXPECT_LT(*u.medianMs, 1000) << toUtf8(u.unit);
  for (const KeyStat& k : keyStats(runs)) {
    if (k.key == u'n' || k.key == u'k') EXPECT_FALSE(k.medianMs) << static_cast<char>(k.key);
    else EXPECT_LT(*k.medianMs, 1000) << static_cast<char>(k.key);
  }
  EXPECT_EQ(slowestUnits(runs).front().medianMs, 200);  // に's second key
  const WeaknessModel model(runs);
  EXPECT_EQ(model.overallMedianMs(), 150);
  for (const Weakness& w : model.ranked()) EXPECT_LT(w.score, 1.1) << toUtf8(w.name);
}

TEST(KeystrokeStats, MissPatternsShowTheSpellingTyped) {
  // し typed "s", a miss on "u" (the guide waited for "i"), then "hi"; later
  // し typed "si" cleanly. The pattern shows the spelling that was typed.
  RunRecord r;
  r.units = {u"し"};
  r.keys = {
      {100, u's', u's', 0, 0, true}, {200, u'i', u'u', 0, 1, false}, {300, u'h', u'h', 0, 1, true},
      {400, u'i', u'i', 0, 2, true}, {500, u's', u's', 0, 0, true}, {600, u'i', u'i', 0, 1, true},
      // A second miss before the first key of the next し: a new one begins.
      {700, u's', u'a', 0, 0, false}, {800, u's', u's', 0, 0, true}, {900, u'i', u'i', 0, 1, true},
  };
  const std::vector<MissPattern> p = missPatterns(r);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(describeMissPattern(p[0]), u"し shi → su ×1");
  EXPECT_EQ(describeMissPattern(p[1]), u"し si → a ×1");
}

TEST(KeystrokeStats, MissPatternsShowTheUnitAsTyped) {
  RunRecord r = kRun;
  // Two more し misses at the same place make it the most frequent.
  r.keys.push_back(Keystroke{1200, u's', u's', 0, 0, true});
  r.keys.push_back(Keystroke{1300, u'i', u'u', 0, 1, false});
  r.keys.push_back(Keystroke{1350, u'i', u'u', 0, 1, false});
  r.keys.push_back(Keystroke{1400, u'i', u'i', 0, 1, true});
  const std::vector<MissPattern> p = missPatterns(r);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(describeMissPattern(p[0]), u"し si → su ×3");
  EXPECT_EQ(describeMissPattern(p[1]), u"か ka → g ×1");
}

}  // namespace
}  // namespace lk
