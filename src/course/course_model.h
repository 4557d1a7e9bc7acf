#pragma once

// The course: the kana units in the order they are introduced, each unit's
// confidence from the keystroke record, which units are included and which
// one the next lesson works on. Everything is derived from the kept runs;
// nothing of it is stored.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "course/word_list.h"
#include "records/run_record.h"

namespace lk {

inline constexpr int kCourseDefaultTarget = 175;  // keys per minute (文字/分)
inline constexpr int kCourseMinTarget = 60;
inline constexpr int kCourseMaxTarget = 600;
inline constexpr int kCourseDefaultGoalMinutes = 15;
inline constexpr std::size_t kCourseFirstUnits = 8;
inline constexpr std::size_t kCourseRecentOccurrences = 20;
inline constexpr double kCourseMaxMissRate = 0.05;
inline constexpr double kCourseSmoothing = 0.1;

// The five vowels, then every other unit of the words by its frequency, each
// word weighted by its commonness (1 / rank, the list being most common first).
std::vector<std::u16string> introductionOrder(std::span<const CourseWord> words);

struct UnitProgress {
  std::u16string unit;
  bool included = false;
  bool focus = false;
  int samples = 0;                // timed occurrences
  double smoothedMsPerKey = 0;    // 0 before the first timed occurrence
  double confidence = 0;          // target ms per key / smoothed ms per key
  double best = 0;                // highest confidence so far
  bool reached = false;           // best >= 1 and recent misses within the limit
  int missesRecent = 0;           // missed occurrences among the last 20
  int recentCount = 0;            // occurrences among the last 20 (up to 20)
  std::vector<double> lessonMsPerKey;  // mean time per key in each run it was timed in
};

struct CourseState {
  std::vector<UnitProgress> units;  // in introduction order
  std::size_t includedCount = 0;
  std::optional<std::size_t> focus;  // index into units
  // The unit the last course run brought in, if it did.
  std::optional<std::u16string> lastIncluded;
};

// One typed occurrence of a unit in a run: the keys from the one before its
// first key to its last key. `timed` is false for the first key of a run or
// a question's first key after a pause (their time is a wait).
struct UnitOccurrence {
  std::u16string unit;
  int keys = 0;
  std::int32_t ms = 0;
  bool timed = false;
  bool missed = false;
};
std::vector<UnitOccurrence> unitOccurrences(const RunRecord& run);

// Replays the runs (oldest first): confidence from every mode, and after
// each course run one more unit when every included unit is reached.
CourseState computeCourse(std::span<const RunRecord> runs, const std::vector<std::u16string>& order,
                          int targetKpm = kCourseDefaultTarget);

// The forecast of lessons left for a unit to reach the target: a quadratic
// fitted to its last 30 lesson speeds; none when R² < 0.5 or the fitted
// curve does not reach the target within 100 lessons.
struct Fit {
  double a = 0, b = 0, c = 0;  // y = a + b x + c x²
  double r2 = 0;
};
std::optional<Fit> fitQuadratic(std::span<const double> ys);
std::optional<int> lessonsLeft(const UnitProgress& unit, int targetKpm);

}  // namespace lk
