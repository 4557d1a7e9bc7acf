// The weakness model (hand-computed scores, the prior, determinism, the
// window of recent runs).
#include "progress/weakness.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/units.h"
#include "fakes/fake_services.h"
#include "fakes/run_fixtures.h"
#include "progress/history_store.h"

namespace lk {
namespace {

using test::K;
using test::makeRun;
using test::SeededRandom;
using test::kSmall;

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

}  // namespace
}  // namespace lk
