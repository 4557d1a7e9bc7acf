#include "records/scoring.h"

#include <cmath>
#include <limits>

namespace lk {

std::int16_t toScore16(double value) {
  constexpr double lo = std::numeric_limits<std::int16_t>::min();
  constexpr double hi = std::numeric_limits<std::int16_t>::max();
  if (std::isnan(value)) return 0;
  // nearbyint rounds in the default mode: to nearest, halves to even.
  const double r = std::nearbyint(value);
  if (r < lo) return std::numeric_limits<std::int16_t>::min();
  if (r > hi) return std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(r);
}

DrillScores scoreDrill(DrillResult& result) {
  // Keeps the divisor non-zero (and a clock that never ran from giving a negative speed).
  if (result.elapsedSeconds <= 0) result.elapsedSeconds = 1;
  DrillScores s;
  const double chars = result.charCount;
  // Seconds are turned into minutes first; the order of the operations shows in the rounding.
  s.sokudo = toScore16(chars / (static_cast<double>(result.elapsedSeconds) / 60.0));
  s.seigo = accuracyScore(result.charCount, result.missCount);
  return s;
}

std::int16_t accuracyScore(int chars, int misses) {
  if (misses == 0) return 100;
  if (chars <= 0) return 0;
  const double c = chars;
  // The division comes before the multiplication; the order shows in the rounding.
  return toScore16(((c - misses) / c) * 100.0);
}

}  // namespace lk
