#pragma once

// Every spelling that the common Japanese input methods (Microsoft IME,
// Mozc, ATOK, macOS) accept by default for a kana or compound kana, and the
// spelling a learner's key settings prefer for it. The flexible matcher reads
// this table; っ and ん depend on their neighbours and are the matcher's.

#include <span>
#include <string>
#include <string_view>

#include "engine/key_settings.h"

namespace lk {

// The spellings of one unit's kana ("し", "しゃ", "ヴぇ", "ぁ"), the
// canonical form first; empty for anything the table does not hold (っ, ん,
// signs, letters). A compound is also every spelling of its first kana
// followed by every spelling of its small kana ("sixya", "shilya").
std::span<const std::u16string> spellingsOf(std::u16string_view kana);

// Every kana the table holds, in table order.
std::span<const std::u16string> spelledKana();

// The canonical romaji of a kana the table holds ("し" -> "si", "しぇ" ->
// "sixe"), or empty.
std::u16string_view canonicalOf(std::u16string_view kana);

// The spelling the key settings choose for that kana on its own: a
// compound's own variant where it differs from the canonical token, otherwise
// the main settings applied to the canonical token ("しぇ" left at "sixe" with
// `si` = "shi" and `x` = "l" is "shile"). Always one of spellingsOf(kana).
std::u16string preferredSpelling(std::u16string_view kana, const KeySettings& settings);

}  // namespace lk
