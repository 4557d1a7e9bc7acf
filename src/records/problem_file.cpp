#include "records/problem_file.h"

#include "records/text_file.h"

namespace lk {

namespace {

bool equalsAscii(std::string_view bytes, std::u16string_view word) {
  if (bytes.size() != word.size()) return false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (static_cast<unsigned char>(bytes[i]) != word[i]) return false;
  }
  return true;
}

// The first field by the field rule, on bytes, without leaving the first line.
std::string_view firstField(std::string_view bytes) {
  const std::string_view line = bytes.substr(0, bytes.find_first_of("\r\n"));
  std::size_t i = line.find_first_not_of(' ');
  if (i == std::string_view::npos) return {};
  if (line[i] == '"') {
    const std::size_t close = line.find('"', i + 1);
    return line.substr(i + 1, close == std::string_view::npos ? std::string_view::npos : close - i - 1);
  }
  return line.substr(i, line.find(',', i) - i);
}

}  // namespace

ProblemFileLines readProblemFileLines(const std::filesystem::path& file, std::u16string_view completeMagic,
                                      std::u16string_view unfinishedMagic) {
  ProblemFileLines out;
  const std::optional<std::string> bytes = readFileBytes(file);
  if (!bytes) return out;
  if (!bytes->empty()) {
    const std::string_view magic = firstField(*bytes);
    if (!equalsAscii(magic, completeMagic) && !equalsAscii(magic, unfinishedMagic)) {
      out.foreign = true;
      return out;
    }
  }
  if (auto text = decodeCp932(*bytes)) out.lines = splitLines(*text);
  return out;
}

std::u16string numberedMessage(std::u16string_view message, int number) {
  std::u16string out(message);
  out += u"（";
  for (char c : std::to_string(number)) out += static_cast<char16_t>(c);
  out += u"番）";
  return out;
}

}  // namespace lk
