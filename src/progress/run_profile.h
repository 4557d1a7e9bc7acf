#pragma once

// How a run went over time: speed over a sliding window of keystrokes, the
// time each miss cost, the time the run would have taken without misses and
// how steady the typing was. Read by the analysis screen, the replay view
// and the tool's replay command.

#include <cstdint>
#include <optional>
#include <vector>

#include "progress/keystroke_record.h"

namespace lk {

// Keystrokes per speed window.
inline constexpr int kSpeedWindowKeys = 20;

struct SpeedPoint {
  std::size_t key = 0;  // index of the window's last keystroke
  std::int32_t ms = 0;  // its time
  double cpm = 0;       // hits in the window per minute (文字/分)
};

struct MissCost {
  std::size_t key = 0;     // index of the miss
  std::int32_t costMs = 0;  // never negative
};

struct RunProfile {
  std::vector<SpeedPoint> speeds;  // one per full window, in order
  std::optional<double> topCpm, worstCpm;
  std::vector<MissCost> missCosts;  // one per miss, in order
  std::int32_t runMs = 0;           // time of the last keystroke
  std::int32_t missMs = 0;          // sum of the miss costs
  std::int32_t noMissMs = 0;        // runMs - missMs
  std::optional<int> noMissSpeed;   // run.speed × runMs / noMissMs, 文字/分
  std::optional<int> medianKeyMs;   // median time of a timed hit
  std::optional<double> fluidness;  // 0..100, higher is steadier
};

// Windows of `window` keystrokes: the window ending at key i spans from key
// i - window to key i, and counts the hits among the last `window` keys.
// A window holding a key after a pause is left out: its gap is reading, not typing.
std::vector<SpeedPoint> speedWindows(const RunRecord& run, int window = kSpeedWindowKeys);

// Each miss costs the time from it to the next keystroke; the last miss
// before a hit gives back the median time of one key, since that hit would
// have been typed anyway. A streak of misses thus costs, in all, the time
// from its first miss to the hit, minus one median key. Misses no hit
// follows cost nothing.
std::vector<MissCost> missCosts(const RunRecord& run, std::optional<int> medianKey);

// 100 × (1 − σ/μ) of √(1/Δt) over the intervals between keys (a timed gap
// of 0 ms, or an interval after a pause, is left out). None with fewer than
// two intervals. Kept within 0..100.
std::optional<double> fluidness(const RunRecord& run);

RunProfile profileRun(const RunRecord& run, int window = kSpeedWindowKeys);

}  // namespace lk
