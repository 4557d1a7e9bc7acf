#pragma once

// The typing editor keeps its readings as kana while they are edited and as
// canonical romaji in the file; these two steps turn the working set's 100
// readings from one form into the other in place.

#include "records/problem_set.h"

namespace lk {

inline constexpr int kEditorEntryCount = 100;

// Save: romaji[0..99] from kana to canonical romaji (missing entries become
// empty strings first).
void okikae(ProblemSet& set);

// Load and after a save: romaji[0..99] from canonical romaji back to kana.
void okikae_b(ProblemSet& set);

}  // namespace lk
