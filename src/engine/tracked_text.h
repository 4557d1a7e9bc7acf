#pragma once

// A text that remembers, for every character, which characters of the
// canonical romaji it came from. Running the rewrite and the kana conversion
// on it tells which keys type which kana (units.h). Engine-internal.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/key_settings.h"
#include "engine/rewrite.h"

namespace lk {

// The canonical characters first..last (inclusive) a character came from.
struct SourceRange {
  int first = 0;
  int last = 0;
};

// One occurrence to replace at `pos`; what the stages of the rewrite hand to
// replaceSpans.
struct TextSpan {
  std::size_t pos = 0;
  std::size_t length = 0;
  std::u16string_view repl;
};

class TrackedText {
 public:
  explicit TrackedText(std::u16string_view canonical);

  const std::u16string& str() const { return text_; }
  const std::vector<SourceRange>& sources() const { return sources_; }

  // replaceAll's scan. A replacement of the same length keeps each
  // character's source (a doubled letter stays with its っ); any other
  // replacement makes every new character come from the whole occurrence.
  void replaceAll(std::u16string_view find, std::u16string_view repl);

  // A ん marker: the first `replHead` characters of `repl` come from the first
  // `findHead` characters of `find`, the rest from the rest, so ん and the
  // kana it carries stay apart.
  void replaceAll(std::u16string_view find, std::u16string_view repl, std::size_t findHead, std::size_t replHead);

  // Replaces the given non-overlapping occurrences (in order); each one's new
  // characters come from the whole occurrence, even when the text is the same.
  void replaceSpans(std::span<const TextSpan> spans);

  void erase(char16_t c);

  // Appends `c` as part of whatever the last character came from.
  void pushBackFromLast(char16_t c);

 private:
  void emitWhole(std::u16string& out, std::vector<SourceRange>& src, std::size_t pos, std::size_t length,
                 std::u16string_view repl) const;

  std::u16string text_;
  std::vector<SourceRange> sources_;
};

// The rewrite and the kana conversion run on a tracked text; each gives
// exactly what rewriteRomaji and romajiToKana give for the same canonical text.
void rewriteRomajiTracked(TrackedText& text, const KeySettings& settings, const RewriteOptions& options);
void romajiToKanaTracked(TrackedText& text);

}  // namespace lk
