// The end of a recorded drill: the figures the history keeps for each mode,
// and which runs reach the store at all.
#include "progress/run_keeping.h"

#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "progress/history_store.h"

namespace lk {
namespace {

// A record of `hits` hits and `misses` misses, 100 ms apart from `firstMs`.
RunRecord keys(int hits, int misses, std::int32_t firstMs = 0) {
  RunRecord r;
  r.units = {u"a"};
  std::int32_t ms = firstMs;
  for (int i = 0; i < misses; ++i, ms += 100) r.keys.push_back({ms, u'a', u'q', 0, 0, false});
  for (int i = 0; i < hits; ++i, ms += 100) r.keys.push_back({ms, u'a', u'a', 0, 0, true});
  return r;
}

class RunKeepingTest : public ::testing::Test {
 protected:
  test::FakeServices fakes;
  AppState state;
  void SetUp() override { state.services = fakes.services(); }

  std::vector<RunSummary> stored() {
    HistoryStore::Status status;
    auto store = HistoryStore::open(historyPath(fakes.folder), status, HistoryStore::Mode::Existing);
    return store ? store->runs() : std::vector<RunSummary>{};
  }
};

TEST_F(RunKeepingTest, AccuracyIsTheWordDrillFormulaInEveryMode) {
  struct Case {
    const char* name;
    DrillMode mode;
    int chars, misses;  // the drill's counters (music: hits come from the keys)
    int accuracy;
  } cases[] = {
      {"word, 3 misses in 200", DrillMode::Word, 200, 3, 98},
      {"word, 99.5 rounds to even", DrillMode::Word, 200, 1, 100},
      {"word, more misses than characters", DrillMode::Word, 120, 150, -25},
      {"char, 111 right and 12 wrong", DrillMode::Char, 111, 12, 89},
      {"char, no key right", DrillMode::Char, 0, 5, 0},
      {"char, no miss", DrillMode::Char, 40, 0, 100},
      {"music, 2 misses in 40 keys", DrillMode::Music, 40, 2, 95},
  };
  for (const Case& c : cases) {
    state.result = DrillResult{};
    state.result.charCount = c.chars;
    state.result.missCount = c.misses;
    state.result.elapsedSeconds = c.mode == DrillMode::Char ? 0 : 30;
    finishRun(state, keys(c.chars, c.misses), c.mode, 1);
    EXPECT_EQ(state.progress.lastRun.accuracy, c.accuracy) << c.name;
  }
}

TEST_F(RunKeepingTest, MusicIsTimedFromItsFirstKey) {
  // The song's clock starts with its first line shown; its time runs from
  // the first key (at 4 s) to the last (9 keys later).
  state.result.missCount = 0;
  finishRun(state, keys(10, 0, 4000), DrillMode::Music, 1);
  EXPECT_EQ(state.progress.lastRun.seconds, 1);
  EXPECT_EQ(state.progress.lastRun.speed, 667);  // 10 keys in 900 ms
}

TEST_F(RunKeepingTest, OnlyRunsWithAKeyTypedAreKept) {
  // An idle one-character drill: 60 s, nothing typed.
  state.result = DrillResult{};
  finishRun(state, RunRecord{}, DrillMode::Char, 0);
  EXPECT_FALSE(keepRun(state));
  EXPECT_TRUE(fakes.messages.shown.empty());  // nothing failed
  EXPECT_TRUE(stored().empty());
  EXPECT_TRUE(state.progress.hasRun);  // the analysis still shows what there is

  // One miss is practice: it is kept, with どの綴りでも as it was set.
  state.options.flexibleRomaji = true;
  state.result.missCount = 1;
  finishRun(state, keys(0, 1), DrillMode::Char, 0);
  EXPECT_TRUE(keepRun(state));
  state.result.charCount = 3;
  state.result.missCount = 0;
  finishRun(state, keys(3, 0), DrillMode::Word, 1);
  EXPECT_TRUE(keepRun(state));
  const std::vector<RunSummary> runs = stored();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_FALSE(runs[0].flexible);  // the one-character drill compares characters
  EXPECT_TRUE(runs[1].flexible);
}

}  // namespace
}  // namespace lk
