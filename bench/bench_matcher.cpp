// One key through the flexible matcher on a text of 100 units, typed with
// Hepburn spellings while the settings stay at the canonical tokens, with a
// wrong key now and then. Prints the median and the 99th percentile of
// type() alone and of type() followed by guide() (what the drill does per key).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/flexible_matcher.h"

namespace {

using Clock = std::chrono::steady_clock;

// 100 units: ko nn ni ti ha / si nn bu nn / ... repeated.
constexpr char16_t kChunk[] = u"konnnitihasinnbunnsyuppatutyottokyakuhuxairu";
constexpr char16_t kTyped[] = u"konnnichihashinbunnshuppatsuchottokyakufairu";

struct Stats {
  double median, p99, max;
};

Stats summarize(std::vector<double> ns) {
  std::sort(ns.begin(), ns.end());
  auto at = [&](double q) { return ns[static_cast<std::size_t>(q * static_cast<double>(ns.size() - 1))]; };
  return {at(0.5) / 1000, at(0.99) / 1000, ns.back() / 1000};
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
  std::u16string canonical, typed;
  const lk::KeySettings settings;
  while (lk::FlexibleMatcher(canonical, settings).units().size() < 100) {
    canonical += kChunk;
    typed += kTyped;
  }
  const lk::FlexibleMatcher start(canonical, settings);
  std::vector<double> typeOnly, withGuide;
  typeOnly.reserve(static_cast<std::size_t>(rounds) * typed.size());
  withGuide.reserve(typeOnly.capacity());
  std::size_t guideChars = 0;
  for (int r = 0; r < rounds; ++r) {
    lk::FlexibleMatcher m = start;
    for (std::size_t i = 0; i < typed.size(); ++i) {
      // Every 13th key is first typed wrong, as a learner would.
      const char16_t key = i % 13 == 0 ? u'@' : typed[i];
      const bool guided = r % 2 == 1;
      const auto t0 = Clock::now();
      m.type(key);
      if (guided) guideChars += m.guide().size();
      const auto t1 = Clock::now();
      (guided ? withGuide : typeOnly).push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
      if (key != typed[i]) m.type(typed[i]);
    }
    if (!m.finished()) {
      std::fprintf(stderr, "the typed text did not finish the problem\n");
      return 1;
    }
  }
  const Stats a = summarize(typeOnly), b = summarize(withGuide);
  std::printf("units %zu, keys per text %zu, %d texts (guide chars %zu)\n", start.units().size(), typed.size(),
              rounds, guideChars);
  std::printf("type():           median %.3f us  p99 %.3f us  max %.3f us\n", a.median, a.p99, a.max);
  std::printf("type() + guide(): median %.3f us  p99 %.3f us  max %.3f us\n", b.median, b.p99, b.max);
  return 0;
}
