#pragma once

// The one model of the keyboard that the drills' guide, the one-character
// drill and the analysis picture all read: every physical key by its
// position (named as XKB names it, "AE13", "AB11"), the finger that types
// it in standard touch typing (home row ASDF JKL;) and the characters it
// gives with and without Shift on the JIS and on the US layout, with the
// legend printed on its cap. A character is typed with the Shift key of the
// other hand, as touch typing teaches.

#include <optional>
#include <span>
#include <string_view>

#include "records/app_options.h"

namespace lk {

enum class Finger { LeftPinky, LeftRing, LeftMiddle, LeftIndex, RightIndex, RightMiddle, RightRing, RightPinky, Thumb };
inline constexpr int kFingerCount = 9;

enum class KeyRole { Character, LeftShift, RightShift, Space };

struct GuideKey {
  KeyRole role = KeyRole::Character;
  std::string_view code;  // the physical key ("AC01" is A on both layouts)
  int row = 0;            // 0 number row … 3 bottom row, 4 the space bar
  double x = 0;           // left edge and width in key widths
  double width = 1;
  char16_t base = 0;     // the character without Shift (0 for the shifts)
  char16_t shifted = 0;  // with Shift; 0 when Shift gives nothing
  // What the keycap shows for base and shifted: letters in capitals, and a
  // backslash as the layout prints it (¥ on the JIS yen key).
  char16_t legend = 0;
  char16_t shiftedLegend = 0;
  Finger finger = Finger::LeftPinky;
  bool home = false;  // a home position key (ASDF JKL;)
};

// How one character is typed: its key, and the Shift key held with it.
struct GuideStroke {
  const GuideKey* key = nullptr;
  const GuideKey* shift = nullptr;  // nullptr when no Shift is needed
};

// Every key of `layout`, in rows from the top, left to right.
std::span<const GuideKey> guideKeys(KeyboardLayout layout);

// The key for `ch` in `layout`; nothing for characters no key gives
// (kana, control characters). A character two keys give (the backslash
// of JIS) is on the first of them.
std::optional<GuideStroke> strokeFor(KeyboardLayout layout, char16_t ch);

// Width of the widest row, in key widths.
double keyboardWidth(KeyboardLayout layout);

// `ch` as a Japanese font must be given it to look like the key that types
// it: Japanese fonts draw the backslash as ¥, right for JIS and wrong for US,
// whose backslash is drawn with the full-width reverse solidus instead.
char16_t displayedCharacter(KeyboardLayout layout, char16_t ch);

// The finger's name as the guide writes it ("左人差し指" …).
std::u16string_view fingerName(Finger finger);

}  // namespace lk
