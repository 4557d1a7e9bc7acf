#pragma once

// How weak the learner is at each unit (kana, compound kana, っ, ん, sign...)
// and at each key, from the recent runs of the history store. Two things
// make a unit weak: missing it and being slow at it. Both are smoothed
// towards the learner's own average so that a unit seen twice cannot
// dominate, and a unit never seen scores exactly as an average one.
//
// For one unit with n keystrokes, m of them misses, h = n - m hits whose
// median time is t (times as in keystroke_stats.h):
//   miss rate  p = (m + K * M) / (n + K)      M: miss rate over all keys
//   slowness   s = (h * r + K) / (h + K)      r = min(t / T, R),
//                                             T: median time over all keys
//   score        = (p + F) / (M + F) / 2 + s / 2
// with K = kWeaknessPriorKeys, F = kWeaknessMissFloor (which keeps a
// learner who never misses ranked by speed) and R = kWeaknessMaxSlowness (a
// pause to think before a word must not outweigh every miss). An average
// unit scores 1.

#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "progress/history_store.h"
#include "progress/keystroke_record.h"

namespace lk {

// Runs the model looks back over.
inline constexpr int kWeaknessRuns = 20;
// Weight of the prior, in keystrokes.
inline constexpr double kWeaknessPriorKeys = 8.0;
inline constexpr double kWeaknessMissFloor = 0.02;
inline constexpr double kWeaknessMaxSlowness = 4.0;

struct Weakness {
  std::u16string name;  // a unit, or one expected key
  double score = 1.0;
  int count = 0;
  int misses = 0;
  std::optional<int> medianMs;  // of the hits; none when never hit
};

class WeaknessModel {
 public:
  // The model of no history: every unit is average.
  WeaknessModel() = default;
  // From the given runs (all of them: the caller picks the recent ones).
  // byKey: score the expected keys instead of the units.
  explicit WeaknessModel(std::span<const RunRecord> runs, bool byKey = false);

  // Weakest first; equal scores by name.
  const std::vector<Weakness>& ranked() const { return ranked_; }
  // Score of a unit (or key); 1 for one never seen.
  double score(const std::u16string& name) const;
  bool empty() const { return ranked_.empty(); }

  double overallMissRate() const { return missRate_; }
  std::optional<int> overallMedianMs() const { return medianMs_; }

 private:
  std::vector<Weakness> ranked_;
  std::map<std::u16string, double> scores_;
  double missRate_ = 0.0;
  std::optional<int> medianMs_;
};

// The store's last kWeaknessRuns runs (of `mode` only, when given), with keystrokes.
std::vector<RunRecord> recentRuns(const HistoryStore& store, std::optional<DrillMode> mode = std::nullopt,
                                  int last = kWeaknessRuns);
// The store's last `last` runs that pass `filter` (a mode, a course), with keystrokes.
std::vector<RunRecord> recentRuns(const HistoryStore& store, const RunFilter& filter, int last = kWeaknessRuns);
// The same from the store at `db`; none when it is missing or cannot be read.
std::vector<RunRecord> recentRuns(const std::filesystem::path& db, std::optional<DrillMode> mode = std::nullopt,
                                  int last = kWeaknessRuns);

}  // namespace lk
