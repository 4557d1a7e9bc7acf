#pragma once

// The three built-in word lists (levels 1 to 3, 50 problems each), shipped
// as constant data with their canonical romaji.

#include <span>
#include <string_view>

#include "records/problem_set.h"

namespace lk {

inline constexpr int kBuiltInLevelCount = 3;
inline constexpr int kBuiltInCount = 50;

struct WordEntry {
  std::u16string_view text;    // display text
  std::u16string_view romaji;  // canonical romaji
};

// Entries of level 1..3 in table order; empty for any other level.
std::span<const WordEntry> builtInList(int level);

// "初 級", "中 級", "上 級" (one ASCII space between the kanji); empty for any other level.
std::u16string_view builtInTitle(int level);

// Refills `set` with a built-in list: count 50, the level's title, all
// display texts, then all romaji. A level outside 1..3 leaves `set` untouched.
void fillBuiltIn(ProblemSet& set, int level);

}  // namespace lk
