#include "progress/history_export.h"

#include <array>

#include "engine/text.h"

namespace lk {

namespace {

constexpr std::array<std::u16string_view, 4> kUsRows = {u"1234567890-=", u"qwertyuiop[]\\", u"asdfghjkl;'",
                                                        u"zxcvbnm,./"};
constexpr std::array<std::u16string_view, 4> kJisRows = {u"1234567890-^\\", u"qwertyuiop@[", u"asdfghjkl;:]",
                                                         u"zxcvbnm,./_"};

// Shifted characters and the key they are on: "shifted, unshifted" pairs.
constexpr std::u16string_view kUsShifted = u"!1@2#3$4%5^6&7*8(9)0_-+={[}]|\\:;\"'<,>.?/~`";
constexpr std::u16string_view kJisShifted = u"!1\"2#3$4%5&6'7(8)9=-~^|\\`@{[+;*:}]<,>.?/";

}  // namespace

std::span<const std::u16string_view> keyboardRows(KeyboardLayout layout) {
  return layout == KeyboardLayout::Us ? std::span<const std::u16string_view>(kUsRows)
                                      : std::span<const std::u16string_view>(kJisRows);
}

char16_t keyOfCharacter(char16_t c, KeyboardLayout layout) {
  if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  for (std::u16string_view row : keyboardRows(layout)) {
    if (row.find(c) != std::u16string_view::npos) return c;
  }
  const std::u16string_view shifted = layout == KeyboardLayout::Us ? kUsShifted : kJisShifted;
  for (std::size_t i = 0; i + 1 < shifted.size(); i += 2) {
    if (shifted[i] == c) return shifted[i + 1];
  }
  return 0;
}

namespace {

void field(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += text;
    return;
  }
  out.push_back('"');
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

}  // namespace

std::string historyCsv(const std::vector<RunSummary>& runs) {
  std::string out = "\xEF\xBB\xBF";
  out += "id,started,mode,title,questions,chars,misses,seconds,speed,accuracy\r\n";
  for (const RunSummary& r : runs) {
    out += std::to_string(r.id) + ',' + formatDateTime(r.started) + ',' + std::string(drillModeName(r.mode)) + ',';
    field(out, toUtf8(r.title));
    for (int v : {r.questions, r.chars, r.misses, r.seconds, r.speed, r.accuracy}) out += ',' + std::to_string(v);
    out += "\r\n";
  }
  return out;
}

}  // namespace lk
