// Drill preparation cost: the rewrite of 50 built-in problems with
// non-default key settings, as a word drill does when its screen loads; and
// the editor's save round trip over 100 readings.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "editors/reading_rows.h"
#include "engine/kana_to_romaji.h"
#include "engine/key_settings.h"
#include "engine/rewrite.h"
#include "engine/romaji_to_kana.h"
#include "practice/word_lists.h"

namespace {

// Every row at its last offered variant: every stage has work to do.
lk::KeySettings lastVariants() {
  lk::KeySettings s;
  for (const auto& row : lk::keyOptionTable()) s.set(row.field, row.offered().back());
  return s;
}

void BM_PrepareDrill(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  const lk::KeySettings settings = lastVariants();
  lk::ProblemSet set;
  lk::fillBuiltIn(set, level);
  std::vector<std::u16string> expected(set.romaji.size());
  std::size_t chars = 0;
  for (auto _ : state) {
    chars = 0;
    for (std::size_t i = 0; i < set.romaji.size(); ++i) {
      expected[i] = lk::rewriteRomaji(set.romaji[i], settings);
      chars += expected[i].size();
    }
    benchmark::DoNotOptimize(chars);
  }
  state.counters["chars"] = static_cast<double>(chars);
  state.SetLabel("50 questions");
}
BENCHMARK(BM_PrepareDrill)->DenseRange(1, 3)->Unit(benchmark::kMicrosecond);

void BM_EditorSaveRoundTrip(benchmark::State& state) {
  lk::ProblemSet readings;
  for (int level = 1; level <= 2; ++level)
    for (const auto& e : lk::builtInList(level)) readings.romaji.push_back(lk::romajiToKana(e.romaji));
  for (auto _ : state) {
    lk::ProblemSet set = readings;
    lk::okikae(set);
    lk::okikae_b(set);
    benchmark::DoNotOptimize(set.romaji.data());
  }
  state.SetLabel("100 readings");
}
BENCHMARK(BM_EditorSaveRoundTrip)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
