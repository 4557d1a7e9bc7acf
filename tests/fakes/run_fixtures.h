#pragma once

// Small hand-made run records and a seeded random source, shared by the
// tests of the weakness model and of the drills drawn from it.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "records/run_record.h"
#include "shell/services.h"

namespace lk::test {

struct K {
  int ms;  // since the drill's clock started
  char16_t expected, typed;
  std::uint16_t unit;
  std::uint8_t pos;
};

inline RunRecord makeRun(std::vector<std::u16string> units, std::vector<K> keys, DrillMode mode = DrillMode::Word) {
  RunRecord r;
  r.mode = mode;
  r.units = std::move(units);
  for (const K& k : keys) r.keys.push_back(Keystroke{k.ms, k.expected, k.typed, k.unit, k.pos, k.expected == k.typed});
  return r;
}

// か clean (its k opens the run, so it has no time), then し typed s-u-i
// (one miss) with a slow s.
inline const RunRecord kSmall = makeRun({u"し", u"か"}, {
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

}  // namespace lk::test
