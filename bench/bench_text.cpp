// Text practice on a large text: a 200 KB UTF-8 text made of the built-in
// display texts (sentences of several lengths, some long enough to be cut at
// 、 or between words, blank lines between paragraphs) is split and read
// with the real MeCab lookup, as the screen's worker does. The goal is under
// 2 s for the whole text, the dictionary already open.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "editors/platform/mecab_lookup.h"
#include "editors/text_practice.h"
#include "engine/text.h"
#include "practice/word_lists.h"

namespace {

constexpr std::size_t kTextBytes = 200 * 1024;

lk::MecabLookup& lookup() {
  static lk::MecabLookup instance;
  return instance;
}

const std::u16string& largeText() {
  static const std::u16string text = [] {
    std::vector<std::u16string_view> words;
    for (int level = 1; level <= lk::kBuiltInLevelCount; ++level) {
      for (const lk::WordEntry& e : lk::builtInList(level)) words.push_back(e.text);
    }
    std::u16string out;
    std::size_t bytes = 0;
    std::size_t i = 0;
    while (bytes < kTextBytes) {
      // One to six texts to a sentence, joined by 、; a paragraph every eight.
      std::u16string sentence;
      const std::size_t parts = 1 + i % 6;
      for (std::size_t k = 0; k < parts; ++k) {
        if (k) sentence += u"、";
        sentence += words[(i * 7 + k * 13) % words.size()];
      }
      sentence += (i % 5 == 4) ? u"！" : u"。";
      if (i % 8 == 7) sentence += u"\n\n";
      out += sentence;
      bytes += lk::toUtf8(sentence).size();
      ++i;
    }
    return out;
  }();
  return text;
}

void report() {
  using Clock = std::chrono::steady_clock;
  const std::u16string& text = largeText();
  const auto open = Clock::now();
  lookup().hurigana(u"漢字");
  const double openMs = std::chrono::duration<double, std::milli>(Clock::now() - open).count();

  const auto split = Clock::now();
  const std::size_t pieces = lk::splitSentences(text).size();
  const double splitMs = std::chrono::duration<double, std::milli>(Clock::now() - split).count();

  const auto read = Clock::now();
  const std::vector<lk::TextQuestion> questions = lk::readText(text, lookup());
  const double readMs = std::chrono::duration<double, std::milli>(Clock::now() - read).count();
  std::size_t unknown = 0;
  for (const lk::TextQuestion& q : questions) unknown += q.known() ? 0 : 1;

  std::printf("text: %zu bytes of UTF-8, %zu sentences\n", lk::toUtf8(text).size(), pieces);
  std::printf("opening the dictionary: %.1f ms\n", openMs);
  std::printf("split alone: %.1f ms\n", splitMs);
  std::printf("split and read: %.1f ms -> %zu questions (%zu without a reading); goal under 2000 ms\n", readMs,
              questions.size(), unknown);
}

void BM_SplitLargeText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(lk::splitSentences(largeText()));
}
BENCHMARK(BM_SplitLargeText)->Unit(benchmark::kMillisecond);

void BM_ReadLargeText(benchmark::State& state) {
  lookup().hurigana(u"漢字");
  for (auto _ : state) benchmark::DoNotOptimize(lk::readText(largeText(), lookup()));
}
BENCHMARK(BM_ReadLargeText)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  report();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
