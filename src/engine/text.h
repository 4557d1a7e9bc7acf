#pragma once

// UTF-16 text helpers shared by the whole core. Every in-memory text is a
// std::u16string; UTF-8 appears only at the edges (the command-line tool,
// MeCab, Qt conversions happen in the screens).

#include <span>
#include <string>
#include <string_view>

namespace lk {

// Replaces every occurrence of `find` in `s` by `repl`, scanning from the
// left. After a replacement the scan resumes right after the replaced
// occurrence, so occurrences never overlap and text inserted by `repl` is not
// scanned again by the same call. An empty `find` leaves `s` unchanged.
void replaceAll(std::u16string& s, std::u16string_view find, std::u16string_view repl);

// A replacement list entry: every list of the engine is an ordered array of these.
struct Replacement {
  std::u16string_view find;
  std::u16string_view repl;
};

// One left-to-right pass over `s` with a whole list at once: at each position
// the longest `find` of `list` that starts there is replaced (among equally
// long ones the first in the list), and the scan resumes after it, so
// replacement text is never scanned again. Used where a list must not let a
// short entry eat into a longer one (the compound kana tokens).
void replaceLongestFirst(std::u16string& s, std::span<const Replacement> list);

// Strict conversions; invalid input (lone surrogates, bad UTF-8) becomes U+FFFD.
std::u16string fromUtf8(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);

// ASCII-only widening, for literals and short tokens ("ka" -> u"ka").
std::u16string fromAscii(std::string_view ascii);

}  // namespace lk
