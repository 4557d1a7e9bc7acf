#pragma once

// The one field rule every data file reader follows. Fields are separated by
// commas or line ends:
// - leading spaces are skipped;
// - a field that starts with a double quote runs to the next double quote
//   (or the line end when there is none), and whatever follows the closing
//   quote up to the next comma or line end is skipped;
// - any other field runs to the next comma or line end, as it stands.
// Reading past the last line is a read failure.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lk {

// A number field: optional spaces, an optional minus sign, decimal digits,
// optional spaces. Nothing for anything else, and for values outside int.
std::optional<int> parseNumberField(std::u16string_view field);

// The two ways numbers are written: bare digits ("6", typing problem files)
// and with a space before and after (" 6 "; a negative number has its minus
// sign in place of the leading space: "-25 ").
std::u16string bareNumberField(long long value);
std::u16string spacedNumberField(long long value);

// True when a text can stand inside a quoted field: no double quote (the
// formats have no escape for it) and no line break.
bool isWritableField(std::u16string_view text);

// A text between double quotes, unescaped (the caller keeps quotes out).
std::u16string quotedField(std::u16string_view text);

// A line read as one whole field, for files that keep one value per line
// (set.dat): leading spaces skipped, a quoted value up to its closing quote,
// anything else to the line end; a comma is part of the value.
std::u16string wholeLineField(std::u16string_view line);

class FieldReader {
 public:
  explicit FieldReader(std::vector<std::u16string> lines) : lines_(std::move(lines)) {}

  // The next field; nothing when no line is left.
  std::optional<std::u16string> next();

  // The next field as a number; nothing past the end or when it is not one.
  std::optional<int> nextNumber();

  // Lines not yet touched (a partly read line counts as read).
  std::size_t linesLeft() const { return lines_.size() - line_; }

 private:
  std::vector<std::u16string> lines_;
  std::size_t line_ = 0;
  std::size_t col_ = 0;  // position inside lines_[line_]; a comma leaves us on the same line
};

}  // namespace lk
