#pragma once

// Canonical romaji -> kana reading, for showing stored readings in the
// typing problem editor. Exact for readings written in hiragana; katakana,
// letter case, widths and the punctuation marks do not come back.

#include <string>
#include <string_view>

#include "practice/problem_set.h"

namespace lk {

std::u16string romajiToKana(std::u16string_view canonical);

// The editor's load/after-save step: converts romaji[0..99] of its working
// set in place (missing entries become empty strings first).
void okikae_b(ProblemSet& set);

}  // namespace lk
