#pragma once

// The melody notation of the music mode. A melody string holds one token per
// keystroke of its lyric line:
//   "0".."9"        a note that many semitones above middle C
//   "x"             hold: nothing new sounds
//   "-2"            a note below middle C (a "-" and one more character)
//   "\11", "\-12"   a two-digit note (the backslash is not part of the token)
//   "＊し" ...      a variant marker: the letters after the first one of a
//                   kana whose typing length depends on the key settings
// Preparing a line resolves the markers for the current key settings and
// lines the tokens up with the romaji exactly as the user types it.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/key_settings.h"

namespace lk {

inline constexpr char16_t kMarkerSign = u'＊';
inline constexpr std::u16string_view kHoldToken = u"x";
inline constexpr std::u16string_view kNnMarker = u"＊ん";

// The 75 markers governed by the key setting of their own kana, in the order
// they are resolved: a longer marker always before a shorter one it starts
// with ("＊しぇ" before "＊し").
struct VariantMarker {
  std::u16string_view marker;  // "＊しぇ"
  int row;                     // 0-based row of the key option table
};
std::span<const VariantMarker> variantMarkers();

// The marker of a key setting row ("＊" + its kana), or empty when the row
// needs none (its variants all have one length, or it is ん, which has
// "＊ん" with a rule of its own).
std::u16string markerOfRow(int row);

// How many holds a marker stands for: its kana's canonical token rewritten
// with the settings (as the music drill rewrites a line), minus the first
// letter, which keeps its own token in front of the marker. Counting the
// rewritten token rather than the variant alone keeps a compound left at its
// canonical token aligned when a main setting lengthens it ("sixe" with
// `si` = "shi" is typed "shixe").
std::size_t markerHoldCount(int row, const KeySettings& settings);

// Resolves every marker: "＊ん" becomes one hold with `nn` = "nn" and
// vanishes with "n"; each of the 75 others becomes markerHoldCount holds.
// A "＊" followed by anything else is left alone.
std::u16string expand_markers(std::u16string_view melody, const KeySettings& settings);

// Splits a melody string without markers into its tokens.
std::vector<std::u16string> tokenize(std::u16string_view melody);

// The value of a note token: an optional "-" and the digits after it; a
// token that does not begin with a number (the empty slot of an exhausted
// line included) reads 0. Only called for tokens that are not holds.
int noteValue(std::u16string_view token);

inline bool isHold(std::u16string_view token) { return token == kHoldToken; }

struct PreparedLine {
  std::u16string romaji;               // exactly the keys to type
  std::vector<std::u16string> tokens;  // token k belongs to keystroke k
};

// Prepares one line of a song for the music drill: the rewrite with the
// music drill's small-kana rule (every "x" follows the `x` setting), the
// markers resolved, and one more hold when the final-ん rule adds an "n".
// Tokens are only lined up from the front; their count is never checked.
PreparedLine prepare_line(std::u16string_view canonicalRomaji, std::u16string_view melody,
                          const KeySettings& settings);

// A reading as the drill shows it: full-width spaces become half-width ones
// and runs of spaces shrink to one.
std::u16string normalizeReadingSpaces(std::u16string_view reading);

// The tokens of one line as the drill consumes them: front() is the token of
// the next keystroke. An exhausted line offers an empty slot, which sounds
// middle C (value 0) on every further keystroke.
class NoteQueue {
 public:
  NoteQueue() = default;
  explicit NoteQueue(std::vector<std::u16string> tokens) : tokens_(std::move(tokens)) {}

  std::u16string_view front() const {
    return next_ < tokens_.size() ? std::u16string_view(tokens_[next_]) : std::u16string_view();
  }
  bool empty() const { return next_ >= tokens_.size(); }
  std::size_t remaining() const { return empty() ? 0 : tokens_.size() - next_; }

  // Takes the front token: the note value to strike, or nothing for a hold.
  std::optional<int> consume() {
    const std::u16string_view t = front();
    if (next_ < tokens_.size()) ++next_;
    if (isHold(t)) return std::nullopt;
    return noteValue(t);
  }

 private:
  std::vector<std::u16string> tokens_;
  std::size_t next_ = 0;
};

}  // namespace lk
