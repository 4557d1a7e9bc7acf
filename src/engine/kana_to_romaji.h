#pragma once

// Kana reading (as typed into an editor) -> canonical romaji.

#include <string>
#include <string_view>

namespace lk {

// The music editor's list differs slightly from the typing editor's: its
// ん-before-y group runs after the ん-before-n group (no result changes) and
// it has no entry for the half-width ｰ, which therefore stays as it is.
enum class KanaToRomajiVariant { TypingEditor, MusicEditor };

// Total: every input gives a result. The input must not hold "*" or "＊"
// (the editors refuse such readings first), since both are reserved.
std::u16string kanaToRomaji(std::u16string_view reading,
                            KanaToRomajiVariant variant = KanaToRomajiVariant::TypingEditor);

}  // namespace lk
