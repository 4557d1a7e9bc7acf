#pragma once

// Kana reading (as typed into an editor) -> canonical romaji.

#include <string>
#include <string_view>

#include "practice/problem_set.h"

namespace lk {

// The music editor's list differs slightly from the typing editor's: its
// ん-before-y group runs after the ん-before-n group (no result changes) and
// it has no entry for the half-width ｰ, which therefore stays as it is.
enum class KanaToRomajiVariant { TypingEditor, MusicEditor };

// Total: every input gives a result. The input must not hold "*" or "＊"
// (the editors refuse such readings first), since both are reserved.
std::u16string kanaToRomaji(std::u16string_view reading,
                            KanaToRomajiVariant variant = KanaToRomajiVariant::TypingEditor);

// The typing editor's save step: converts romaji[0..99] of its working set
// in place (missing entries become empty strings first).
void okikae(ProblemSet& set);

inline constexpr int kEditorEntryCount = 100;

}  // namespace lk
