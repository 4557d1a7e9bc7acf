#pragma once

// The keyboard the guide draws: where each key sits in the JIS and US
// layouts, which finger types it in standard touch typing (home row ASDF
// JKL;) and which characters it gives with and without Shift. A character
// is typed with the Shift key of the other hand, as touch typing teaches.

#include <optional>
#include <span>
#include <string_view>

#include "shell/app_options.h"

namespace lk {

enum class Finger { LeftPinky, LeftRing, LeftMiddle, LeftIndex, RightIndex, RightMiddle, RightRing, RightPinky, Thumb };
inline constexpr int kFingerCount = 9;

enum class KeyRole { Character, LeftShift, RightShift, Space };

struct GuideKey {
  KeyRole role = KeyRole::Character;
  int row = 0;         // 0 number row … 3 bottom row, 4 the space bar
  double x = 0;        // left edge and width in key widths
  double width = 1;
  char16_t base = 0;     // the character without Shift (0 for the shifts)
  char16_t shifted = 0;  // with Shift; 0 when Shift gives nothing
  Finger finger = Finger::LeftPinky;
};

// How one character is typed: its key, and the Shift key held with it.
struct GuideStroke {
  const GuideKey* key = nullptr;
  const GuideKey* shift = nullptr;  // nullptr when no Shift is needed
};

// Every key the guide draws, in rows from the top, left to right.
std::span<const GuideKey> guideKeys(KeyboardLayout layout);

// The key for `ch` in `layout`; nothing for characters no key gives
// (kana, control characters).
std::optional<GuideStroke> strokeFor(KeyboardLayout layout, char16_t ch);

// Width of the widest row, in key widths.
double keyboardWidth(KeyboardLayout layout);

// The finger's name as the guide writes it ("左人差し指" …).
std::u16string_view fingerName(Finger finger);

}  // namespace lk
