#pragma once

// The expected keystroke string split by unit: which keys type which kana
// (or compound kana, っ, ん, protected letter, sign) of a reading. The drill
// record files every key under its unit, and the flexible matcher types a
// reading unit by unit.

#include <string>
#include <string_view>
#include <vector>

#include "engine/key_settings.h"
#include "engine/rewrite.h"

namespace lk {

struct KeyUnit {
  std::u16string keys;  // the keys of this unit in the expected keystroke string
  std::u16string unit;  // what they type: "し", "しゃ", "っ", "ん", "h", "-"
  std::u16string canonical;  // the canonical romaji it stands for: "si", "sya", "k", "nn", "*h*"
};

// Concatenating `keys` gives exactly rewriteRomaji(canonical, settings,
// options); concatenating `unit` gives the reading in kana (romajiToKana),
// protected letters as themselves.
std::vector<KeyUnit> rewriteByUnit(std::u16string_view canonical, const KeySettings& settings,
                                   const RewriteOptions& options = {});

}  // namespace lk
