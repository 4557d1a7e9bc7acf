#pragma once

// Text as it enters the program (editor boxes, lookup results, the tool)
// before anything stores or converts it. Linux input methods write a few
// signs with the JIS mapping of Unicode, where code page 932 files and the
// Windows programs that share them use other code points: the two forms are
// one character to the user, so they are made one here.

#include <string>
#include <string_view>

#include "engine/kana_to_romaji.h"

namespace lk {

// U+301C WAVE DASH -> U+FF5E, U+2212 MINUS SIGN -> U+FF0D, U+2016 DOUBLE
// VERTICAL LINE -> U+2225, U+00A2/U+00A3/U+00AC -> U+FFE0/U+FFE1/U+FFE2, and
// ゔ (which code page 932 lacks) -> ヴ. Everything else stays.
std::u16string foldInputVariants(std::u16string_view text);

// Full-width Latin letters and digits (Ａ..Ｚ, ａ..ｚ, ０..９) -> ASCII.
std::u16string foldFullWidthAlphanumerics(std::u16string_view text);

// Half-width katakana and marks (U+FF61..U+FF9F) -> full-width, a following
// ﾞ or ﾟ joined with the kana before it where one character exists (ﾊﾟ -> パ,
// ｳﾞ -> ヴ); a mark that joins nothing becomes ゛ or ゜.
std::u16string widenHalfWidthKatakana(std::u16string_view text);

// True when the drill can be finished on a reading: every character becomes
// romaji or ASCII in the kana-to-romaji conversion (kana, the marks it turns
// into ASCII, full-width signs, printable ASCII). Kanji, ♪, ゐ, ヵ or half-width
// katakana left in a reading make it false.
bool isTypeableReading(std::u16string_view reading, KanaToRomajiVariant variant = KanaToRomajiVariant::TypingEditor);

// True when every character of a romaji text (canonical or rewritten) has a
// key: printable ASCII only. A NUL, a control character or a kana in a file
// could never be typed, so a drill would wait on it for ever.
bool isTypeableRomaji(std::u16string_view romaji);

}  // namespace lk
