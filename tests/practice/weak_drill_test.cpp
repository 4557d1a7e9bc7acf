// The drills drawn from the weakness model: the weighted draw, 苦手克服's
// problems and the one-character list 苦手.
#include "practice/weak_drill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "engine/units.h"
#include "fakes/fake_services.h"
#include "fakes/run_fixtures.h"
#include "progress/weakness.h"

namespace lk {
namespace {

using test::K;
using test::kSmall;
using test::makeRun;
using test::SeededRandom;

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
