// Reading lookup against the built-in word lists: each of the 150 display
// texts is looked up, the reading turned into canonical romaji the way the
// typing editor saves it, and compared with the listed romaji. Prints the
// agreement and the first-use time (opening IPADIC), then times one lookup.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "editors/platform/mecab_lookup.h"
#include "engine/kana_to_romaji.h"
#include "engine/text.h"
#include "practice/word_lists.h"

namespace {

lk::MecabLookup& lookup() {
  static lk::MecabLookup instance;
  return instance;
}

void reportAgreement(bool verbose) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const std::u16string first = lookup().hurigana(lk::builtInList(1)[0].text);
  const double firstMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  (void)first;

  int total = 0;
  int equal = 0;
  for (int level = 1; level <= lk::kBuiltInLevelCount; ++level) {
    int levelEqual = 0;
    for (const lk::WordEntry& e : lk::builtInList(level)) {
      const std::u16string reading = lookup().hurigana(e.text);
      const std::u16string romaji = lk::kanaToRomaji(reading);
      ++total;
      if (romaji == e.romaji) {
        ++equal;
        ++levelEqual;
      } else if (verbose) {
        std::printf("  level %d  %s -> %s -> %s (listed %s)\n", level, lk::toUtf8(e.text).c_str(),
                    lk::toUtf8(reading).c_str(), lk::toUtf8(romaji).c_str(), lk::toUtf8(e.romaji).c_str());
      }
    }
    std::printf("level %d: %d of %zu readings give the listed romaji\n", level, levelEqual,
                lk::builtInList(level).size());
  }
  std::printf("all levels: %d of %d readings give the listed romaji\n", equal, total);
  std::printf("first use (opening the dictionary and one lookup): %.1f ms\n", firstMs);
}

void BM_HuriganaBuiltInText(benchmark::State& state) {
  lookup().hurigana(u"漢字");  // dictionary open before timing
  std::size_t i = 0;
  std::vector<std::u16string_view> texts;
  for (int level = 1; level <= lk::kBuiltInLevelCount; ++level) {
    for (const lk::WordEntry& e : lk::builtInList(level)) texts.push_back(e.text);
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(lookup().hurigana(texts[i]));
    i = (i + 1) % texts.size();
  }
  state.SetLabel("one display text per iteration");
}
BENCHMARK(BM_HuriganaBuiltInText);

void BM_HuriganaToRomajiAll150(benchmark::State& state) {
  lookup().hurigana(u"漢字");
  for (auto _ : state) {
    for (int level = 1; level <= lk::kBuiltInLevelCount; ++level) {
      for (const lk::WordEntry& e : lk::builtInList(level)) {
        benchmark::DoNotOptimize(lk::kanaToRomaji(lookup().hurigana(e.text)));
      }
    }
  }
}
BENCHMARK(BM_HuriganaToRomajiAll150)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  bool verbose = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--mismatches") == 0) verbose = true;
  }
  reportAgreement(verbose);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
