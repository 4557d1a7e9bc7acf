// Melody notation: marker resolution, tokens, note values and the
// preparation of one song line for the music drill.
#include "music/melody.h"

#include <array>

#include "engine/rewrite.h"
#include "engine/text.h"

namespace lk {

namespace {

constexpr int kRowNn = 8;

// The order in which markers are resolved. Only the longer-before-shorter
// pairs (しぃ/しぇ before し, and so on) matter; the rest is kept stable.
constexpr std::array<std::u16string_view, 75> kMarkerOrder = {
    u"＊じぃ", u"＊じぇ", u"＊じゃ", u"＊いぇ", u"＊うぃ", u"＊うぇ", u"＊きぃ", u"＊きぇ", u"＊くぁ", u"＊くぃ",
    u"＊くぅ", u"＊くぇ", u"＊くぉ", u"＊しぃ", u"＊しぇ", u"＊すぁ", u"＊すぃ", u"＊すぅ", u"＊すぇ", u"＊すぉ",
    u"＊ちぃ", u"＊ちぇ", u"＊つぁ", u"＊つぃ", u"＊つぇ", u"＊つぉ", u"＊てぃ", u"＊てぇ", u"＊とぁ", u"＊とぃ",
    u"＊とぅ", u"＊とぇ", u"＊とぉ", u"＊にぃ", u"＊にぇ", u"＊ひぃ", u"＊ひぇ", u"＊ふぁ", u"＊ふぃ", u"＊ふぅ",
    u"＊ふぇ", u"＊ふぉ", u"＊みぃ", u"＊みぇ", u"＊りぃ", u"＊りぇ", u"＊ぎぃ", u"＊ぎぇ", u"＊ぐぁ", u"＊ぐぃ",
    u"＊ぐぅ", u"＊ぐぇ", u"＊ぐぉ", u"＊し",   u"＊ち",   u"＊つ",   u"＊じゅ", u"＊じょ", u"＊ぢぃ", u"＊ぢぇ",
    u"＊でぃ", u"＊でぇ", u"＊どぁ", u"＊どぃ", u"＊どぅ", u"＊どぇ", u"＊どぉ", u"＊びぃ", u"＊びぇ", u"＊ぴぃ",
    u"＊ぴぇ", u"＊ヴぁ", u"＊ヴぃ", u"＊ヴぇ", u"＊ヴぉ",
};

bool variantsDifferInLength(const KeyOption& option) {
  const auto offered = option.offered();
  for (const auto& v : offered)
    if (v.size() != offered.front().size()) return true;
  return false;
}

// Marker -> row, resolved once from the kana labels of the option table so
// the table stays the one copy of the kana of every row.
struct MarkerTable {
  std::array<VariantMarker, kMarkerOrder.size()> markers{};
  MarkerTable() {
    const auto table = keyOptionTable();
    for (std::size_t i = 0; i < kMarkerOrder.size(); ++i) {
      const std::u16string_view kana = kMarkerOrder[i].substr(1);
      int row = -1;
      for (std::size_t r = 0; r < table.size(); ++r)
        if (table[r].kanaLabel == kana) row = static_cast<int>(r);
      markers[i] = {kMarkerOrder[i], row};
    }
  }
};

const MarkerTable& markerTable() {
  static const MarkerTable t;
  return t;
}

}  // namespace

std::span<const VariantMarker> variantMarkers() { return markerTable().markers; }

std::u16string markerOfRow(int row) {
  const auto table = keyOptionTable();
  if (row < 0 || row >= static_cast<int>(table.size()) || row == kRowNn) return {};
  const KeyOption& option = table[static_cast<std::size_t>(row)];
  if (!variantsDifferInLength(option)) return {};
  std::u16string m(1, kMarkerSign);
  m.append(option.kanaLabel);
  return m;
}

std::size_t markerHoldCount(int row, const KeySettings& settings) {
  const auto table = keyOptionTable();
  if (row < 0 || row >= static_cast<int>(table.size())) return 0;
  const std::u16string typed =
      rewriteRomaji(table[static_cast<std::size_t>(row)].token, settings, RewriteOptions{.replaceEveryX = true});
  return typed.empty() ? 0 : typed.size() - 1;
}

std::u16string expand_markers(std::u16string_view melody, const KeySettings& settings) {
  std::u16string s(melody);
  if (s.find(kMarkerSign) == std::u16string::npos) return s;

  // ん typed "nn" holds its second n; typed "n" it has no letter after the first.
  const std::size_t nnHolds = settings.variant(kRowNn).size() > 0 ? settings.variant(kRowNn).size() - 1 : 0;
  replaceAll(s, kNnMarker, std::u16string(nnHolds, u'x'));

  for (const VariantMarker& m : variantMarkers()) {
    if (m.row < 0 || s.find(m.marker) == std::u16string::npos) continue;
    replaceAll(s, m.marker, std::u16string(markerHoldCount(m.row, settings), u'x'));
  }
  return s;
}

std::vector<std::u16string> tokenize(std::u16string_view melody) {
  std::vector<std::u16string> tokens;
  std::size_t i = 0;
  const std::size_t n = melody.size();
  auto take = [&](std::size_t from, std::size_t len) {
    from = std::min(from, n);
    std::u16string t(melody.substr(from, len));
    // A backslash at the very end takes nothing; an empty slot already reads 0.
    if (!t.empty()) tokens.push_back(std::move(t));
  };
  while (i < n) {
    const char16_t c = melody[i];
    if (c == u'-') {
      take(i, 2);
      i += 2;
    } else if (c == u'\\' && i + 1 < n && melody[i + 1] == u'-') {
      take(i + 1, 3);
      i += 4;
    } else if (c == u'\\') {
      take(i + 1, 2);
      i += 3;
    } else {
      take(i, 1);
      i += 1;
    }
  }
  return tokens;
}

int noteValue(std::u16string_view token) {
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && token[i] == u'-') {
    negative = true;
    ++i;
  }
  int value = 0;
  for (; i < token.size() && token[i] >= u'0' && token[i] <= u'9'; ++i) {
    // Tokens hold at most two digits; saturate rather than overflow on anything longer.
    if (value < 100000) value = value * 10 + (token[i] - u'0');
  }
  return negative ? -value : value;
}

PreparedLine prepare_line(std::u16string_view canonicalRomaji, std::u16string_view melody,
                          const KeySettings& settings) {
  PreparedLine line;
  bool appendedFinalN = false;
  line.romaji = rewriteRomaji(canonicalRomaji, settings, RewriteOptions{.replaceEveryX = true}, &appendedFinalN);
  std::u16string m(melody);
  // The "n" added after a final ん is one more keystroke; it holds the note.
  if (appendedFinalN) m.append(kHoldToken);
  line.tokens = tokenize(expand_markers(m, settings));
  return line;
}

std::u16string normalizeReadingSpaces(std::u16string_view reading) {
  std::u16string s;
  s.reserve(reading.size());
  for (char16_t c : reading) {
    if (c == u'\u3000') c = u' ';
    if (c == u' ' && !s.empty() && s.back() == u' ') continue;
    s.push_back(c);
  }
  return s;
}

}  // namespace lk
