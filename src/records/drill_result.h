#pragma once

// Counters of the last drill, read by the result screens.

namespace lk {

struct DrillResult {
  int missCount = 0;
  int elapsedSeconds = 0;
  int charCount = 0;
};

}  // namespace lk
