#pragma once

// Pairs of units (し then ゃ, か then ん) and of keys: how long the second
// took after the first, and how often it was missed. A unit that is slow
// only after a certain other one shows here where the per-unit figures
// average it away.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "progress/keystroke_record.h"

namespace lk {

// Pairs seen fewer times than this are left out: one slow moment is not a weakness.
inline constexpr int kPairMinCount = 3;

struct PairStat {
  std::u16string first, second;
  int count = 0;   // how often the second came right after the first
  int misses = 0;  // keys missed while the second was being typed
  std::optional<int> medianMs;  // of the clean ones (no miss, no pause)
};

// Unit pairs: a unit's occurrence (its keys, as missPatterns splits them)
// after the occurrence before it; its time runs from the last hit of the
// first to the last hit of the second.
std::vector<PairStat> unitPairs(std::span<const RunRecord> runs);
// Key pairs: each accepted key after the accepted key before it; the
// misses are those made in between.
std::vector<PairStat> keyPairs(std::span<const RunRecord> runs);

// Leaves out pairs seen fewer than kPairMinCount times and sorts by median
// time, slowest first (pairs without one last), then by first and second.
void rankPairsBySlowness(std::vector<PairStat>& pairs);
// The same filter, sorted by misses (descending), then by first and second.
void rankPairsByMisses(std::vector<PairStat>& pairs);

}  // namespace lk
