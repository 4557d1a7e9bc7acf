#pragma once

// The questions of a run worth asking again (間違えた問題を練習) and the
// ghost's count of keys: both read a finished run without any screen.

#include <cstdint>
#include <string>
#include <vector>

#include "progress/keystroke_record.h"
#include "progress/progress_state.h"

namespace lk {

// Indices of the questions that had a miss or are among the slowest fifth
// (time per key from shown to done; at least one question when there are
// any timed), in the order asked. Questions with no keys are never picked.
std::vector<std::size_t> reviewQuestions(const std::vector<AskedQuestion>& asked, const RunRecord& run);

// The title of the review drill: the run's title plus "（復習）", once.
std::u16string reviewTitle(std::u16string_view title);

// Keys the run had accepted by `ms` since its clock started.
int keysTypedAt(const RunRecord& run, std::int32_t ms);

}  // namespace lk
