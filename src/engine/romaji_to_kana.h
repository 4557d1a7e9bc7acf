#pragma once

// Canonical romaji -> kana reading, for showing stored readings in the
// typing problem editor. Exact for readings written in hiragana; katakana,
// letter case, widths and the punctuation marks do not come back.

#include <string>
#include <string_view>

namespace lk {

std::u16string romajiToKana(std::u16string_view canonical);

}  // namespace lk
