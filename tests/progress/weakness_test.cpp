// The weakness model (hand-computed scores, the prior, determinism, the
// window of recent runs) and the drills drawn from it.
#include "progress/weakness.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "engine/units.h"
#include "fakes/fake_services.h"
#include "progress/history_store.h"
#include "progress/weak_drill.h"

namespace lk {
namespace {

struct K {
  int ms;  // since the drill's clock started
  char16_t expected, typed;
  std::uint16_t unit;
  std::uint8_t pos;
};

RunRecord makeRun(std::vector<std::u16string> units, std::vector<K> keys, DrillMode mode = DrillMode::Word) {
  RunRecord r;
  r.mode = mode;
  r.units = std::move(units);
  for (const K& k : keys) r.keys.push_back(Keystroke{k.ms, k.expected, k.typed, k.unit, k.pos, k.expected == k.typed});
  return r;
}

// か clean (its k opens the run, so it has no time), then し typed s-u-i
// (one miss) with a slow s.
const RunRecord kSmall = makeRun({u"し", u"か"}, {
                                                    {100, u'k', u'k', 1, 0},
                                                    {200, u'a', u'a', 1, 1},
                                                    {400, u's', u's', 0, 0},
                                                    {500, u'i', u'u', 0, 1},
                                                    {600, u'i', u'i', 0, 1},
                                                });

// Mersenne twister behind the Random interface: seeded, reproducible draws.
class SeededRandom : public Random {
 public:
  explicit SeededRandom(unsigned seed) : gen_(seed) {}
  void reseed() override {}
  double next() override { return std::uniform_real_distribution<double>(0.0, 1.0)(gen_); }

 private:
  std::mt19937_64 gen_;
};

TEST(WeaknessModel, ScoresOfASmallRecordByHand) {
  // Overall: 5 keys, 1 miss (M = 0.2); timed hits 100, 200, 100 (T = 100).
  const WeaknessModel units(std::span(&kSmall, 1));
  EXPECT_DOUBLE_EQ(units.overallMissRate(), 0.2);
  EXPECT_EQ(units.overallMedianMs(), 100);
  // し: p = (1 + 8*0.2) / (3 + 8); times 200, 100 -> median 150, s = (2*1.5 + 8) / 10.
  //     score = (p + 0.02) / 0.22 / 2 + s / 2
  // か: p = 1.6 / 10, s = 1 (one timed hit, as fast as any).
  const struct {
    const WeaknessModel& model;
    std::u16string name;
    double score;
    int count, misses;
    std::optional<int> median;
  } cases[] = {
      {units, u"し", (2.6 / 11 + 0.02) / 0.22 / 2 + 1.1 / 2, 3, 1, 150},
      {units, u"か", (0.16 + 0.02) / 0.22 / 2 + 0.5, 2, 0, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
    EXPECT_NEAR(c.model.score(c.name), c.score, 1e-12);
    const auto it = std::find_if(c.model.ranked().begin(), c.model.ranked().end(),
                                 [&](const Weakness& w) { return w.name == c.name; });
    ASSERT_NE(it, c.model.ranked().end());
    EXPECT_EQ(it->count, c.count);
    EXPECT_EQ(it->misses, c.misses);
    EXPECT_EQ(it->medianMs, c.median);
  }
  EXPECT_EQ(units.ranked().front().name, u"し");

  // By key: i missed once of two (p = 2.6 / 10), s slow (200 ms against 100).
  const WeaknessModel keys(std::span(&kSmall, 1), true);
  EXPECT_NEAR(keys.score(u"i"), 0.28 / 0.22 / 2 + 0.5, 1e-12);
  EXPECT_NEAR(keys.score(u"s"), (1.6 / 9 + 0.02) / 0.22 / 2 + (2.0 + 8) / 9 / 2, 1e-12);
  EXPECT_NEAR(keys.score(u"k"), (1.6 / 9 + 0.02) / 0.22 / 2 + 0.5, 1e-12);
  EXPECT_EQ(keys.ranked().front().name, u"i");

  // A unit far slower than the rest counts as four times as slow, no more:
  // た's one hit takes 5000 ms against 100.
  const RunRecord pause = makeRun({u"か", u"た"}, {{100, u'k', u'k', 0, 0}, {200, u'a', u'a', 0, 1},
                                                  {300, u'k', u'k', 0, 0}, {5300, u't', u't', 1, 0}});
  const WeaknessModel capped(std::span(&pause, 1));
  EXPECT_NEAR(capped.score(u"た"), 0.5 + (4.0 + 8) / 9 / 2, 1e-12);
}

TEST(WeaknessModel, ThePriorKeepsRareUnitsNearAverage) {
  // ぬ: two keys, one missed; ふ: thirty keys, ten missed; both as slow
  // (300 ms against 100). Forty clean quick keys of か besides.
  std::vector<K> keys;
  int ms = 0;
  auto add = [&](int step, char16_t e, char16_t t, std::uint16_t unit, std::uint8_t pos) {
    ms += step;
    keys.push_back({ms, e, t, unit, pos});
  };
  for (int i = 0; i < 20; ++i) add(100, u'k', u'k', 0, 0), add(100, u'a', u'a', 0, 1);
  add(100, u'n', u'm', 1, 0), add(300, u'n', u'n', 1, 0);
  for (int i = 0; i < 10; ++i) add(100, u'h', u'g', 2, 0), add(300, u'h', u'h', 2, 0), add(300, u'u', u'u', 2, 1);
  const RunRecord run = makeRun({u"か", u"ぬ", u"ふ"}, keys);
  const WeaknessModel model(std::span(&run, 1));

  // Half of ぬ's keys missed, a third of ふ's: still ふ is the weaker,
  // because two keys say little.
  EXPECT_GT(model.score(u"ふ"), model.score(u"ぬ"));
  EXPECT_GT(model.score(u"ぬ"), 1.0);
  EXPECT_LT(model.score(u"か"), 1.0);
  EXPECT_EQ(model.ranked().front().name, u"ふ");
  // Units never seen, and every unit of no history at all, are average.
  EXPECT_EQ(model.score(u"ゑ"), 1.0);
  EXPECT_EQ(WeaknessModel().score(u"し"), 1.0);
  EXPECT_TRUE(WeaknessModel().empty());
  // A record of one unit only is its own average.
  const RunRecord alone = makeRun({u"し"}, {{100, u's', u'x', 0, 0}, {200, u's', u's', 0, 0}, {350, u'i', u'i', 0, 1}});
  EXPECT_NEAR(WeaknessModel(std::span(&alone, 1)).score(u"し"), 1.0, 1e-12);
}

TEST(WeaknessModel, SameRunsSameRankingEqualScoresByName) {
  // Two units typed identically score the same and come by name.
  const RunRecord twins = makeRun({u"た", u"さ"}, {{100, u't', u't', 0, 0}, {200, u'a', u'a', 0, 1},
                                                  {300, u's', u's', 1, 0}, {400, u'a', u'a', 1, 1}});
  const std::vector<RunRecord> runs = {kSmall, twins, kSmall};
  const WeaknessModel a(runs), b(runs);
  ASSERT_EQ(a.ranked().size(), b.ranked().size());
  for (std::size_t i = 0; i < a.ranked().size(); ++i) {
    EXPECT_EQ(a.ranked()[i].name, b.ranked()[i].name);
    EXPECT_EQ(a.ranked()[i].score, b.ranked()[i].score);
  }
  const WeaknessModel t(std::span(&twins, 1));
  ASSERT_EQ(t.ranked().size(), 2u);
  EXPECT_EQ(t.ranked()[0].score, t.ranked()[1].score);
  EXPECT_EQ(t.ranked()[0].name, u"さ");
}

TEST(WeaknessModel, ReadsTheLastTwentyRunsOfTheStore) {
  test::FakeProgramFolder folder;
  const auto path = folder.root / kHistoryFileName;
  HistoryStore::Status status;
  {
    auto store = HistoryStore::open(path, status);
    ASSERT_TRUE(store);
    // The oldest run holds ゑ; then 20 word runs of し and か, then one-character runs.
    RunRecord old = makeRun({u"ゑ"}, {{100, u'w', u'x', 0, 0}});
    ASSERT_EQ(store->addRun(old), HistoryStore::Status::Ok);
    for (int i = 0; i < 20; ++i) {
      RunRecord r = kSmall;
      ASSERT_EQ(store->addRun(r), HistoryStore::Status::Ok);
    }
    for (int i = 0; i < 3; ++i) {
      RunRecord r = makeRun({u"q"}, {{100, u'q', u'q', 0, 0}}, DrillMode::Char);
      ASSERT_EQ(store->addRun(r), HistoryStore::Status::Ok);
    }
  }
  const std::vector<RunRecord> all = recentRuns(path);
  EXPECT_EQ(all.size(), 20u);
  const WeaknessModel model(all);
  EXPECT_EQ(model.score(u"ゑ"), 1.0);  // the oldest of 24 runs: outside the window
  EXPECT_NE(model.score(u"q"), 1.0);
  EXPECT_EQ(recentRuns(path, DrillMode::Char).size(), 3u);
  EXPECT_EQ(recentRuns(path, DrillMode::Word).size(), 20u);
  // A missing store is no history, and is not created.
  EXPECT_TRUE(recentRuns(folder.root / "none.db").empty());
  EXPECT_FALSE(std::filesystem::exists(folder.root / "none.db"));
}

TEST(WeightedDraw, NeverRepeatsAndFollowsTheWeights) {
  SeededRandom random(7);
  const std::vector<double> weights = {1, 0, 3, 1, 0.5, 2};
  std::map<int, int> firsts;
  for (int round = 0; round < 4000; ++round) {
    const std::vector<int> drawn = drawWeighted(weights, 4, random);
    ASSERT_EQ(drawn.size(), 4u);
    EXPECT_EQ(std::set<int>(drawn.begin(), drawn.end()).size(), 4u);
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), 1), 0);  // weightless while others are left
    ++firsts[drawn.front()];
  }
  // The first pick is proportional to the weight (7.5 in all).
  EXPECT_NEAR(firsts[2] / 4000.0, 3 / 7.5, 0.03);
  EXPECT_NEAR(firsts[5] / 4000.0, 2 / 7.5, 0.03);
  EXPECT_NEAR(firsts[4] / 4000.0, 0.5 / 7.5, 0.02);
  // Asking for more than there is gives each once, weightless ones last.
  const std::vector<int> every = drawWeighted(weights, 10, random);
  ASSERT_EQ(every.size(), weights.size());
  EXPECT_EQ(std::set<int>(every.begin(), every.end()).size(), weights.size());
  EXPECT_EQ(every.back(), 1);
  EXPECT_TRUE(drawWeighted({}, 3, random).empty());
}

// Problems of `pool` whose units include `unit`.
std::set<std::u16string> problemsHolding(const ProblemSet& pool, std::u16string_view unit, const KeySettings& s) {
  std::set<std::u16string> out;
  for (std::size_t i = 0; i < pool.romaji.size(); ++i) {
    for (const KeyUnit& u : rewriteByUnit(pool.romaji[i], s)) {
      if (u.unit == unit) out.insert(pool.text[i]);
    }
  }
  return out;
}

TEST(WeakDrill, ProblemsHoldingTheWeakestUnitComeUpFarMoreOften) {
  // ふ missed and slow; か clean and quick.
  std::vector<K> keys;
  int ms = 0;
  auto add = [&](int step, char16_t e, char16_t t, std::uint16_t unit, std::uint8_t pos) {
    ms += step;
    keys.push_back({ms, e, t, unit, pos});
  };
  for (int i = 0; i < 100; ++i) add(100, u'k', u'k', 0, 0), add(100, u'a', u'a', 0, 1);
  for (int i = 0; i < 10; ++i) add(100, u'h', u'g', 1, 0), add(400, u'h', u'h', 1, 0), add(400, u'u', u'u', 1, 1);
  const RunRecord run = makeRun({u"か", u"ふ"}, keys);
  const WeaknessModel model(std::span(&run, 1));
  ASSERT_EQ(model.ranked().front().name, u"ふ");

  const KeySettings settings;  // saidai 30
  const ProblemSet pool = weakDrillPool(nullptr);
  ASSERT_EQ(pool.count, 150);
  const std::set<std::u16string> weak = problemsHolding(pool, u"ふ", settings);
  ASSERT_GE(weak.size(), 2u);
  ASSERT_LE(weak.size(), 20u);

  SeededRandom random(2024);
  const int rounds = 1000;
  int weakAsked = 0;
  for (int round = 0; round < rounds; ++round) {
    ProblemSet set;
    fillWeakDrill(set, pool, model, settings, random);
    ASSERT_EQ(set.count, 30);
    ASSERT_EQ(set.title, u"苦手克服");
    ASSERT_EQ(set.text.size(), 30u);
    ASSERT_EQ(set.romaji.size(), 30u);
    ASSERT_EQ(std::set<std::u16string>(set.text.begin(), set.text.end()).size(), 30u) << "a problem came twice";
    for (const auto& t : set.text) weakAsked += weak.count(t) ? 1 : 0;
  }
  // An even draw asks each problem in 30 of 150 drills.
  const double even = rounds * weak.size() * 30.0 / 150.0;
  EXPECT_GE(weakAsked, 2 * even);
}

TEST(WeakDrill, WithoutHistoryEveryProblemIsEquallyLikely) {
  ProblemSet file;
  file.count = 2;
  file.text = {u"ゑびす", u"てすと"};
  file.romaji = {u"wehisu", u"tesuto"};
  const ProblemSet pool = weakDrillPool(&file);
  ASSERT_EQ(pool.count, 152);
  EXPECT_EQ(pool.text.back(), u"てすと");
  EXPECT_EQ(pool.romaji[150], u"wehisu");

  const WeaknessModel none;
  KeySettings settings;
  settings.saidai = 10;
  for (std::size_t i = 0; i < pool.romaji.size(); ++i) EXPECT_EQ(problemWeakness(pool.romaji[i], none, settings), 1.0);

  SeededRandom random(99);
  std::map<std::u16string, int> asked;
  const int rounds = 3000;
  for (int round = 0; round < rounds; ++round) {
    ProblemSet set;
    fillWeakDrill(set, pool, none, settings, random);
    ASSERT_EQ(set.count, 10);
    for (const auto& t : set.text) ++asked[t];
  }
  const double even = rounds * 10.0 / 152.0;  // about 197
  ASSERT_EQ(asked.size(), 152u);
  for (const auto& [text, n] : asked) EXPECT_NEAR(n, even, even * 0.35) << std::string(text.begin(), text.end());
}

TEST(WeakDrill, ProblemScoreAddsTheExcessOfEachWeakUnit) {
  // し weak (score > 1), か strong (< 1): か adds nothing, each し its excess.
  const WeaknessModel model(std::span(&kSmall, 1));
  const KeySettings s;
  const double excess = model.score(u"し") - 1.0;
  const struct {
    std::u16string romaji;
    double want;
  } cases[] = {{u"ka", 1.0}, {u"si", 1.0 + excess}, {u"sisika", 1.0 + 2 * excess}, {u"", 1.0}};
  for (const auto& c : cases) EXPECT_NEAR(problemWeakness(c.romaji, model, s), c.want, 1e-12);
}

TEST(WeakCharList, EveryAdvancedCharacterWeightedByItsScore) {
  // x missed four times and slow; y clean and quick.
  std::vector<K> keys;
  int ms = 0;
  for (int i = 0; i < 40; ++i) keys.push_back({ms += 100, u'y', u'y', 1, 0});
  for (char16_t wrong : std::u16string(u"zcvb")) keys.push_back({ms += 100, u'x', wrong, 0, 0});
  keys.push_back({ms += 3000, u'x', u'x', 0, 0});
  const RunRecord run = makeRun({u"x", u"y"}, keys, DrillMode::Char);
  const WeaknessModel model(std::span(&run, 1), true);
  ProblemSet set;
  set.text = {u"keep"};
  fillWeakCharList(set, model);
  EXPECT_EQ(set.title, u"一文字タイピング(苦手)");
  EXPECT_EQ(set.count, static_cast<int>(set.romaji.size()));
  EXPECT_EQ(set.text, std::vector<std::u16string>{u"keep"});
  std::map<std::u16string, int> copies;
  for (const auto& c : set.romaji) ++copies[c];
  EXPECT_EQ(copies.size(), 51u);
  EXPECT_EQ(copies[u"a"], kWeakCharCopies);  // never typed: average
  EXPECT_EQ(copies[u"@"], kWeakCharCopies);
  EXPECT_EQ(copies[u"x"], std::lround(model.score(u"x") * kWeakCharCopies));
  EXPECT_GT(copies[u"x"], 2 * kWeakCharCopies);
  EXPECT_LT(copies[u"y"], kWeakCharCopies);
  EXPECT_GE(copies[u"y"], 1);
  // No history: the advanced list, each character equally often.
  fillWeakCharList(set, WeaknessModel());
  EXPECT_EQ(set.count, 51 * kWeakCharCopies);
}

}  // namespace
}  // namespace lk
