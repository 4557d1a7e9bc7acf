#pragma once

// Proposes the kana reading of a display text, so the editors can fill their
// reading boxes ("ふりがな入力"). One string in, one string out: the empty
// string for an empty text or when no reading is known. Implementations never
// throw and never show anything; the caller writes the result into a box as
// it stands.

#include <string>
#include <string_view>
#include <vector>

namespace lk {

class ReadingLookup {
 public:
  virtual ~ReadingLookup() = default;
  // Not const: an implementation may open its dictionary on first use.
  virtual std::u16string hurigana(std::u16string_view text) = 0;
  // The text cut into dictionary words, which joined give the text again;
  // empty when the lookup knows no word boundaries. Long sentences of the
  // text practice are split here when they hold no 、.
  virtual std::vector<std::u16string> words(std::u16string_view text) {
    (void)text;
    return {};
  }
};

}  // namespace lk
