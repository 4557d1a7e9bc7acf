#pragma once

// The two scores of a word drill: speed in characters per minute and
// accuracy in percent, both computed in double precision and held as 16-bit
// values, rounded to the nearest integer with halves to the even neighbour.

#include <cstdint>

#include "records/drill_result.h"

namespace lk {

struct DrillScores {
  std::int16_t sokudo = 0;  // characters per minute
  std::int16_t seigo = 0;   // percent; negative when there were more misses than characters
};

// Rounds half to even and holds the value inside the 16-bit range (an
// accuracy far below zero stays at -32768 instead of wrapping).
std::int16_t toScore16(double value);

// Accuracy of `chars` characters asked (or typed) with `misses` wrong keys:
// exactly 100 without a miss, else ((chars - misses) / chars) * 100 rounded as
// above. Every mode's history uses this one figure. With misses and no
// character at all (a one-character drill with no key right) it is 0 rather
// than the -32768 an endless fall would hold.
std::int16_t accuracyScore(int chars, int misses);

// Scores of a finished drill. A drill timed at 0 seconds counts as 1 second;
// that correction is written back to `result`, as the result screen shows it.
DrillScores scoreDrill(DrillResult& result);

}  // namespace lk
