#include "records/field_reader.h"

#include <climits>
#include <string>

namespace lk {

std::optional<int> parseNumberField(std::u16string_view field) {
  std::size_t i = 0;
  std::size_t end = field.size();
  while (i < end && field[i] == u' ') ++i;
  while (end > i && field[end - 1] == u' ') --end;
  bool negative = false;
  if (i < end && field[i] == u'-') {
    negative = true;
    ++i;
  }
  if (i == end) return std::nullopt;
  long long value = 0;
  for (; i < end; ++i) {
    const char16_t c = field[i];
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
    if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT_MIN || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

std::u16string bareNumberField(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string spacedNumberField(long long value) {
  std::u16string out = value < 0 ? u"" : u" ";
  out += bareNumberField(value);
  out += u' ';
  return out;
}

bool isWritableField(std::u16string_view text) {
  return text.find_first_of(u"\"\r\n") == std::u16string_view::npos;
}

std::u16string quotedField(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + 2);
  out += u'"';
  out += text;
  out += u'"';
  return out;
}

std::u16string wholeLineField(std::u16string_view line) {
  std::size_t i = 0;
  while (i < line.size() && line[i] == u' ') ++i;
  if (i < line.size() && line[i] == u'"') {
    const std::size_t close = line.find(u'"', i + 1);
    return std::u16string(line.substr(i + 1, close == std::u16string_view::npos ? std::u16string_view::npos : close - i - 1));
  }
  return std::u16string(line.substr(i));
}

std::optional<std::u16string> FieldReader::next() {
  if (line_ >= lines_.size()) return std::nullopt;
  const std::u16string& line = lines_[line_];
  std::size_t i = col_;
  while (i < line.size() && line[i] == u' ') ++i;

  std::u16string field;
  if (i < line.size() && line[i] == u'"') {
    const std::size_t close = line.find(u'"', i + 1);
    if (close == std::u16string::npos) {
      field = line.substr(i + 1);
      i = line.size();
    } else {
      field = line.substr(i + 1, close - i - 1);
      i = close + 1;
    }
    const std::size_t comma = line.find(u',', i);
    i = comma == std::u16string::npos ? line.size() : comma;
  } else {
    const std::size_t comma = line.find(u',', i);
    const std::size_t stop = comma == std::u16string::npos ? line.size() : comma;
    field = line.substr(i, stop - i);
    i = stop;
  }

  if (i < line.size()) {
    col_ = i + 1;  // past the comma: the next field starts on this line
  } else {
    ++line_;
    col_ = 0;
  }
  return field;
}

std::optional<int> FieldReader::nextNumber() {
  auto field = next();
  if (!field) return std::nullopt;
  return parseNumberField(*field);
}

}  // namespace lk
