#pragma once

// Figures drawn from keystroke records: per expected key, per unit, and the
// miss patterns of a run ("し si → su ×3"). Times are "from the previous
// keystroke" and only hits have one. The first key of a run and a question's
// first key after a pause have none either: their wait is reading the
// question, not typing it (see keystrokeTimed).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "progress/keystroke_record.h"

namespace lk {

struct KeyStat {
  char16_t key = 0;
  int count = 0;   // keystrokes made while this key was expected
  int misses = 0;  // those that were wrong
  std::optional<int> medianMs;  // of the hits; none when never hit
  std::vector<std::pair<char16_t, int>> typedInstead;  // most frequent first, then by key
};

struct UnitStat {
  std::u16string unit;
  int count = 0;
  int misses = 0;
  int occurrences = 0;  // how often the unit came (its first key hit)
  std::optional<int> medianMs;
};

struct MissPattern {
  std::u16string unit;      // "し"
  std::u16string expected;  // the unit's keys as the learner went on to type them: "si"
  std::u16string typed;     // the keys up to the miss as they came: "su"
  int count = 0;
};

// Time from the keystroke before (or from the clock's start) to key i of `run`.
std::int32_t keystrokeMs(const RunRecord& run, std::size_t i);
// Whether key i of `run` is a hit whose time counts in the slowness figures.
bool keystrokeTimed(const RunRecord& run, std::size_t i);

// Median of whole milliseconds; of an even count, the mean of the middle two
// rounded down. None when empty. Reorders `values`.
std::optional<int> medianMs(std::vector<std::int32_t>& values);

// Sorted by misses (descending), then by key.
std::vector<KeyStat> keyStats(std::span<const RunRecord> runs);
// Sorted by misses (descending), then by unit.
std::vector<UnitStat> unitStats(std::span<const RunRecord> runs);
// The units by median time, slowest first (units never hit are left out).
std::vector<UnitStat> slowestUnits(std::span<const RunRecord> runs);
// Most frequent first, then by unit and typed keys.
std::vector<MissPattern> missPatterns(const RunRecord& run);

// "し si → su ×3".
std::u16string describeMissPattern(const MissPattern& p);

}  // namespace lk
