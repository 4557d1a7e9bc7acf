#pragma once

// The questions of a run worth asking again (間違えた問題を練習) and the
// ghost's count of keys: both read a finished run without any screen.

#include <cstdint>
#include <string>
#include <vector>

#include <optional>
#include <span>

#include "progress/history_store.h"
#include "progress/keystroke_record.h"
#include "records/progress_state.h"

namespace lk {

// Indices of the questions that had a miss or are among the slowest fifth
// (time per key from shown to done; at least one question when there are
// any timed), in the order asked. Questions with no keys are never picked.
std::vector<std::size_t> reviewQuestions(const std::vector<AskedQuestion>& asked, const RunRecord& run);

// The title of the review drill: the run's title plus "（復習）", once.
std::u16string reviewTitle(std::u16string_view title);

// Keys the run had accepted by `ms` since its clock started.
int keysTypedAt(const RunRecord& run, std::int32_t ms);

// The ghost: the best run of a course, asked for its count of keys at each
// moment of the drill being typed now. Questions are drawn at random, so it
// races by keys, not by position.
class GhostRace {
 public:
  explicit GhostRace(const RunRecord& best);
  // Keys the best run had accepted by `ms` (a binary search: it is asked on every key).
  int keysAt(std::int32_t ms) const;

 private:
  std::vector<std::int32_t> hitMs_;
};

// The run to race: the fastest (highest speed) of `runs`, the earliest of
// equals. None when there are none.
std::optional<std::int64_t> bestRunId(std::span<const RunSummary> runs);

// "+12", "−5", "±0": the keys typed now against the ghost's.
std::u16string ghostLead(int own, int ghost);

}  // namespace lk
