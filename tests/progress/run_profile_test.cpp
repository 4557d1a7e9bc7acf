// The run's profile, its pairs and the questions picked for review, each
// checked on hand-made runs where the answer is plain, then against a
// straightforward recount on generated runs.
#include "progress/run_profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

#include "progress/keystroke_stats.h"
#include "progress/pairs.h"
#include "progress/review.h"

namespace lk {
namespace {

struct K {
  int ms;
  bool hit;
  std::uint16_t unit = 0;
  std::uint8_t pos = 0;
  char16_t expected = u'a';
  bool afterPause = false;
};

RunRecord makeRun(std::vector<K> keys, std::vector<std::u16string> units = {u"あ"}) {
  RunRecord r;
  r.units = std::move(units);
  for (const K& k : keys) {
    r.keys.push_back(Keystroke{k.ms, k.expected, k.hit ? k.expected : u'x', k.unit, k.pos, k.hit, k.afterPause});
  }
  return r;
}

// A run of `n` keys with random gaps, misses, units and an occasional pause.
RunRecord generatedRun(std::mt19937& rng, int n) {
  RunRecord r;
  r.units = {u"か", u"し", u"ん", u"っ"};
  std::uniform_int_distribution<int> gap(0, 400), unit(0, 3), pct(0, 99);
  int ms = 0;
  int pos = 0;
  for (int i = 0; i < n; ++i) {
    const bool pause = pct(rng) < 2;
    ms += pause ? 6000 : gap(rng);
    const bool hit = pct(rng) >= 15;
    if (hit && pct(rng) < 50) pos = 0;
    const auto u = static_cast<std::uint16_t>(pos == 0 ? unit(rng) : r.keys.back().unit);
    const char16_t key = static_cast<char16_t>(u'a' + unit(rng));
    r.keys.push_back(Keystroke{ms, key, hit ? key : u'z', u, static_cast<std::uint8_t>(pos), hit, pause});
    if (hit) ++pos;
  }
  r.chars = n;
  return r;
}

TEST(RunProfile, MissCostsAndTheTimeWithoutThem) {
  struct Case {
    const char* what;
    std::vector<K> keys;
    std::vector<std::int32_t> costs;
  };
  // Median of the timed hits is 100 ms in every case.
  const std::vector<Case> cases = {
      {"one miss: to the hit, less a median key", {{0, true}, {100, true}, {150, false}, {500, true}, {600, true}}, {250}},
      {"a streak costs from its first miss to the hit, less one key",
       {{0, true}, {100, true}, {200, false}, {300, false}, {700, true}, {800, true}},
       {100, 300}},
      {"a quick correction costs nothing, never less", {{0, true}, {100, true}, {120, false}, {160, true}, {260, true}}, {0}},
      {"misses no hit follows cost nothing", {{0, true}, {100, true}, {200, true}, {900, false}}, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunRecord run = makeRun(c.keys);
    run.speed = 240;
    const RunProfile p = profileRun(run);
    ASSERT_EQ(p.medianKeyMs, 100);
    std::vector<std::int32_t> got;
    for (const MissCost& m : p.missCosts) got.push_back(m.costMs);
    EXPECT_EQ(got, c.costs);
    std::int32_t sum = 0;
    for (auto v : c.costs) sum += v;
    EXPECT_EQ(p.runMs, c.keys.back().ms);
    EXPECT_EQ(p.noMissMs, p.runMs - sum);
    EXPECT_EQ(p.noMissSpeed, static_cast<int>(std::lround(240.0 * p.runMs / p.noMissMs)));
    EXPECT_GE(*p.noMissSpeed, 240);
  }
}

TEST(RunProfile, SpeedWindowsCountHitsOverTheirSpanAndSkipPauses) {
  // 6 keys, a window of 2: windows end at keys 2..5.
  const RunRecord run = makeRun({{0, true}, {100, true}, {200, false}, {400, true}, {10400, true, 0, 0, u'a', true}, {10500, true}});
  const std::vector<SpeedPoint> w = speedWindows(run, 2);
  ASSERT_EQ(w.size(), 2u);  // the windows holding key 4 (after a pause) are left out
  EXPECT_EQ(w[0].key, 2u);
  EXPECT_DOUBLE_EQ(w[0].cpm, 1 * 60000.0 / 200);  // keys 1, 2: one hit over 0..200
  EXPECT_EQ(w[1].key, 3u);
  EXPECT_DOUBLE_EQ(w[1].cpm, 1 * 60000.0 / 300);
  EXPECT_TRUE(speedWindows(makeRun({{0, true}, {100, true}}), 2).empty());
  const RunProfile p = profileRun(run, 2);
  EXPECT_DOUBLE_EQ(*p.topCpm, 300.0);
  EXPECT_DOUBLE_EQ(*p.worstCpm, 200.0);
}

TEST(RunProfile, FluidnessIsFullForAnEvenRhythmAndLowerForAnUnevenOne) {
  EXPECT_DOUBLE_EQ(*fluidness(makeRun({{0, true}, {150, true}, {300, true}, {450, true}})), 100.0);
  const double uneven = *fluidness(makeRun({{0, true}, {50, true}, {600, true}, {650, true}}));
  EXPECT_GT(uneven, 0.0);
  EXPECT_LT(uneven, 80.0);
  EXPECT_FALSE(fluidness(makeRun({{0, true}, {100, true}})));  // one interval says nothing of rhythm
}

TEST(RunProfile, AgreesWithARecountOnGeneratedRuns) {
  std::mt19937 rng(26);
  for (int trial = 0; trial < 30; ++trial) {
    const RunRecord run = generatedRun(rng, 10 + trial * 7);
    const RunProfile p = profileRun(run);
    // Windows: every full window without a pause, counted afresh.
    std::vector<SpeedPoint> windows;
    for (std::size_t i = kSpeedWindowKeys; i < run.keys.size(); ++i) {
      int hits = 0;
      bool pause = false;
      for (std::size_t j = i + 1 - kSpeedWindowKeys; j <= i; ++j) {
        hits += run.keys[j].hit;
        pause = pause || run.keys[j].afterPause;
      }
      const int span = run.keys[i].ms - run.keys[i - kSpeedWindowKeys].ms;
      if (!pause && span > 0) windows.push_back(SpeedPoint{i, run.keys[i].ms, hits * 60000.0 / span});
    }
    ASSERT_EQ(p.speeds.size(), windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
      EXPECT_EQ(p.speeds[i].key, windows[i].key);
      EXPECT_NEAR(p.speeds[i].cpm, windows[i].cpm, 1e-9);
    }
    // Misses: each streak followed by a hit costs hit − first miss − median.
    const int median = p.medianKeyMs.value_or(0);
    std::int64_t expectCost = 0;
    for (std::size_t i = 0; i < run.keys.size(); ++i) {
      if (run.keys[i].hit || (i > 0 && !run.keys[i - 1].hit)) continue;
      std::size_t h = i;
      while (h < run.keys.size() && !run.keys[h].hit) ++h;
      if (h == run.keys.size()) continue;
      // Within a streak each step is never negative, so only the last can clip.
      const int last = run.keys[h].ms - run.keys[h - 1].ms;
      expectCost += (run.keys[h - 1].ms - run.keys[i].ms) + std::max(0, last - median);
    }
    EXPECT_EQ(p.missMs, std::min<std::int64_t>(expectCost, p.runMs));
    EXPECT_EQ(p.noMissMs, p.runMs - p.missMs);
  }
}

// Unit pairs counted straight from the occurrences, the way a reader would
// by hand: split, then look at neighbours.
std::map<std::pair<std::u16string, std::u16string>, PairStat> recountUnitPairs(const RunRecord& run) {
  struct Occ {
    std::uint16_t unit;
    std::vector<const Keystroke*> keys;
  };
  std::vector<Occ> occ;
  for (const Keystroke& k : run.keys) {
    bool fresh = occ.empty() || occ.back().unit != k.unit;
    if (!fresh && k.unitPos == 0) {
      for (const Keystroke* o : occ.back().keys) fresh = fresh || o->hit;
    }
    if (fresh) occ.push_back({k.unit, {}});
    occ.back().keys.push_back(&k);
  }
  std::map<std::pair<std::u16string, std::u16string>, std::vector<std::int32_t>> times;
  std::map<std::pair<std::u16string, std::u16string>, PairStat> out;
  for (std::size_t j = 1; j < occ.size(); ++j) {
    auto lastHit = [](const Occ& o) -> const Keystroke* {
      for (auto it = o.keys.rbegin(); it != o.keys.rend(); ++it) {
        if ((*it)->hit) return *it;
      }
      return nullptr;
    };
    const auto name = std::make_pair(run.units[occ[j - 1].unit], run.units[occ[j].unit]);
    PairStat& s = out[name];
    s.first = name.first;
    s.second = name.second;
    ++s.count;
    bool clean = true;
    for (const Keystroke* k : occ[j].keys) {
      if (!k->hit) ++s.misses;
      if (!k->hit || k->afterPause) clean = false;
    }
    const Keystroke* a = lastHit(occ[j - 1]);
    const Keystroke* b = lastHit(occ[j]);
    if (clean && a && b) times[name].push_back(b->ms - a->ms);
  }
  for (auto& [name, t] : times) out[name].medianMs = medianMs(t);
  return out;
}

TEST(Pairs, UnitAndKeyPairsOnAHandMadeRun) {
  // か し か し か し: し after か is slow (300 ms), か after し quick (100 ms);
  // the last し has a miss.
  const RunRecord run = makeRun(
      {
          {0, true, 0, 0, u'k'}, {100, true, 0, 1, u'a'},
          {300, true, 1, 0, u's'}, {400, true, 1, 1, u'i'},
          {450, true, 0, 0, u'k'}, {500, true, 0, 1, u'a'},
          {700, true, 1, 0, u's'}, {800, true, 1, 1, u'i'},
          {850, true, 0, 0, u'k'}, {900, true, 0, 1, u'a'},
          {1000, false, 1, 0, u's'}, {1100, true, 1, 0, u's'}, {1200, true, 1, 1, u'i'},
      },
      {u"か", u"し"});
  std::vector<PairStat> units = unitPairs({&run, 1});
  rankPairsBySlowness(units);
  ASSERT_EQ(units.size(), 1u);  // か→し three times; し→か only twice
  EXPECT_EQ(units[0].first, u"か");
  EXPECT_EQ(units[0].second, u"し");
  EXPECT_EQ(units[0].count, 3);
  EXPECT_EQ(units[0].misses, 1);
  EXPECT_EQ(units[0].medianMs, 300);  // the missed one has no time

  std::vector<PairStat> keys = keyPairs({&run, 1});
  rankPairsBySlowness(keys);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].first + keys[0].second, u"as");
  EXPECT_EQ(keys[0].medianMs, 200);
  EXPECT_EQ(keys[0].misses, 1);
  rankPairsByMisses(keys);
  EXPECT_EQ(keys[0].first + keys[0].second, u"as");
}

TEST(Pairs, UnitPairsAgreeWithARecountOnGeneratedRuns) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 30; ++trial) {
    const RunRecord run = generatedRun(rng, 20 + trial * 11);
    const auto expected = recountUnitPairs(run);
    const std::vector<PairStat> got = unitPairs({&run, 1});
    ASSERT_EQ(got.size(), expected.size());
    for (const PairStat& p : got) {
      const PairStat& e = expected.at({p.first, p.second});
      EXPECT_EQ(p.count, e.count);
      EXPECT_EQ(p.misses, e.misses);
      EXPECT_EQ(p.medianMs, e.medianMs);
    }
  }
}

TEST(Pairs, KeyPairsAgreeWithARecountOnGeneratedRuns) {
  std::mt19937 rng(11);
  for (int trial = 0; trial < 30; ++trial) {
    const RunRecord run = generatedRun(rng, 20 + trial * 11);
    std::map<std::u16string, std::vector<std::int32_t>> times;
    std::map<std::u16string, std::pair<int, int>> counts;
    std::vector<std::size_t> hits;
    for (std::size_t i = 0; i < run.keys.size(); ++i) {
      if (run.keys[i].hit) hits.push_back(i);
    }
    for (std::size_t j = 1; j < hits.size(); ++j) {
      const std::u16string name{run.keys[hits[j - 1]].expected, run.keys[hits[j]].expected};
      int misses = 0;
      bool pause = false;
      for (std::size_t i = hits[j - 1] + 1; i <= hits[j]; ++i) {
        misses += !run.keys[i].hit;
        pause = pause || run.keys[i].afterPause;
      }
      ++counts[name].first;
      counts[name].second += misses;
      if (!misses && !pause) times[name].push_back(run.keys[hits[j]].ms - run.keys[hits[j - 1]].ms);
    }
    const std::vector<PairStat> got = keyPairs({&run, 1});
    ASSERT_EQ(got.size(), counts.size());
    for (const PairStat& p : got) {
      const std::u16string name = p.first + p.second;
      EXPECT_EQ(p.count, counts[name].first);
      EXPECT_EQ(p.misses, counts[name].second);
      EXPECT_EQ(p.medianMs, medianMs(times[name]));
    }
  }
}

TEST(Review, PicksQuestionsWithAMissAndTheSlowestFifthInOrder) {
  // Ten questions of two keys each; question 3 has a miss, question 6 and 8
  // are the slowest (two make the fifth of ten), question 9 was never typed.
  std::vector<K> keys;
  std::vector<AskedQuestion> asked;
  int ms = 0;
  for (int q = 0; q < 10; ++q) {
    AskedQuestion a{u"問", u"mon", keys.size(), keys.size(), ms, ms};
    if (q != 9) {
      const int step = q == 6 ? 900 : q == 8 ? 700 : 200;
      keys.push_back({ms += step, q != 3});
      if (q == 3) keys.push_back({ms += step, true});
      keys.push_back({ms += step, true});
    }
    a.endKey = keys.size();
    a.doneMs = ms;
    asked.push_back(a);
  }
  const RunRecord run = makeRun(keys);
  EXPECT_EQ(reviewQuestions(asked, run), (std::vector<std::size_t>{3, 6, 8}));
  EXPECT_TRUE(reviewQuestions({}, run).empty());
}

TEST(Review, TitleGainsTheMarkOnce) {
  EXPECT_EQ(reviewTitle(u"初級"), u"初級（復習）");
  EXPECT_EQ(reviewTitle(u"初級（復習）"), u"初級（復習）");
}

TEST(Ghost, KeysTypedAtCountsOnlyHitsUpToThatTime) {
  const RunRecord best = makeRun({{0, true}, {100, false}, {200, true}, {300, true}});
  struct Case {
    std::int32_t ms;
    int keys;
  } cases[] = {{-1, 0}, {0, 1}, {150, 1}, {200, 2}, {299, 2}, {300, 3}, {100000, 3}};
  for (const Case& c : cases) EXPECT_EQ(keysTypedAt(best, c.ms), c.keys) << c.ms;
}

TEST(Ghost, RacesTheFastestRunAndShowsTheLead) {
  std::vector<RunSummary> runs(3);
  runs[0].id = 4, runs[0].speed = 200;
  runs[1].id = 7, runs[1].speed = 260;
  runs[2].id = 9, runs[2].speed = 260;  // as fast, but later: the first stays the one to beat
  EXPECT_EQ(bestRunId(runs), 7);
  EXPECT_FALSE(bestRunId({}));
  EXPECT_EQ(ghostLead(20, 8), u"+12");
  EXPECT_EQ(ghostLead(3, 8), u"−5");
  EXPECT_EQ(ghostLead(8, 8), u"±0");
}

}  // namespace
}  // namespace lk
