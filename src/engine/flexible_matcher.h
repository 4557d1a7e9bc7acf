#pragma once

// Checks keys against every spelling an input method accepts for a problem,
// not only the one the key settings chose. The text is typed unit by unit
// (units.h); several spelling paths can be open at once ("s" may start "si"
// or "shi", an "n" after ん may finish it or be the first of "nn").
//
// っ is "xtu", "ltu", "xtsu" or "ltsu", or the first letter of the next
// kana's (or っ's, or ん's "xn") spelling doubled when that is a consonant
// other than n ("kka", "xxa" for っぁ, "xxn" for っん). ん is
// "nn", "xn", "n'", or a single "n" when the key after it is neither a
// vowel, "y" nor "n" (never at the end). Letters and signs are typed as they
// stand.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/key_settings.h"
#include "engine/rewrite.h"
#include "engine/units.h"

namespace lk {

class FlexibleMatcher {
 public:
  FlexibleMatcher() = default;
  FlexibleMatcher(std::u16string_view canonical, const KeySettings& settings, const RewriteOptions& options = {});

  // True (and the paths advance) when some open path accepts `key`; false
  // leaves everything as it was.
  bool type(char16_t key);

  // Every unit typed.
  bool finished() const;

  // What is still to type: the rest of the spelling the learner is on, then
  // each later unit's preferred spelling. Typing it finishes the text.
  std::u16string guide() const;

  // The units of the text and the index of the unit the next key belongs to
  // (the unit count once finished).
  const std::vector<KeyUnit>& units() const { return units_; }
  std::size_t currentUnit() const;

  // The unit the last accepted key belongs to on the learner's path, and
  // whether it was that unit's first key (the music drill sounds a unit's
  // note there, whatever spelling follows).
  struct KeyPlace {
    std::size_t unit = 0;
    bool first = false;
  };
  KeyPlace lastKey() const { return lastKey_; }

 private:
  enum class Kind : std::uint8_t { Kana, SmallTsu, N, Literal };
  // What the first key of a unit must be after the unit before it.
  static constexpr char16_t kAny = 0;
  static constexpr char16_t kNotNY = 1;  // after a single n: no vowel, y or n

  struct Slot {
    Kind kind = Kind::Literal;
    std::vector<std::u16string> spellings;  // fixed spellings; ん and っ add their context forms
    std::u16string preferred;               // what the guide shows at a fresh start of this unit
  };

  struct Path {
    std::uint32_t unit = 0;
    std::int16_t spelling = -1;  // -1: at the start of `unit`, nothing of it typed yet
    std::uint16_t offset = 0;
    char16_t need = kAny;        // only at the start of a unit
    // Where the key that led here went; not part of the state.
    std::uint32_t keyUnit = 0;
    bool keyFirst = false;
    bool operator==(const Path& o) const {
      return unit == o.unit && spelling == o.spelling && offset == o.offset && need == o.need;
    }
  };

  static bool allows(char16_t need, char16_t key);
  bool canStart(std::size_t unit, char16_t need) const;
  bool doublesInto(std::size_t unit) const;
  void finishUnit(std::uint32_t unit, char16_t needNext, bool first, std::vector<Path>& out) const;
  const Path& best() const;
  static void push(std::vector<Path>& out, const Path& p);
  std::u16string startSpelling(std::size_t unit, char16_t need) const;
  int rank(const Path& p) const;

  std::vector<KeyUnit> units_;
  std::vector<Slot> slots_;
  std::vector<std::size_t> guideFrom_;  // where unit u's preferred spelling starts in guideText_
  std::u16string guideText_;
  std::vector<Path> paths_;
  std::vector<Path> scratch_;
  KeyPlace lastKey_;
};

}  // namespace lk
