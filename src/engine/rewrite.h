#pragma once

// Turns the canonical romaji of one problem into the expected keystroke
// string: exactly the keys the user must type with the current key settings.

#include <string>
#include <string_view>

#include "engine/key_settings.h"

namespace lk {

struct RewriteOptions {
  // The music drill turns every "x" into the small-kana variant, not only an
  // "x" before a vowel.
  bool replaceEveryX = false;
};

// Pure and total. Meant for canonical input only: the final-ん rule is not
// idempotent, so never feed it its own output.
std::u16string rewriteRomaji(std::u16string_view canonical, const KeySettings& settings);

// Same chain with the music drill's difference switchable. When
// `appendedFinalN` is given it tells whether the final-ん rule added an "n"
// (the melody then needs one more note-holding token).
std::u16string rewriteRomaji(std::u16string_view canonical, const KeySettings& settings,
                             const RewriteOptions& options, bool* appendedFinalN = nullptr);

}  // namespace lk
