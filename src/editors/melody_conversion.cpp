// Note names, the melody keyboard and the conversion of a music page into a
// melody string.
#include "editors/melody_conversion.h"

#include <algorithm>
#include <array>

#include "engine/kana_tables.h"
#include "engine/kana_to_romaji.h"
#include "engine/key_settings.h"
#include "engine/text.h"
#include "music/melody.h"

namespace lk {

namespace {

constexpr std::array<std::u16string_view, 12> kOctaveNames = {
    u"ド", u"#ド", u"レ", u"bミ", u"ミ", u"ファ", u"#ファ", u"ソ", u"#ソ", u"ラ", u"bシ", u"シ",
};
constexpr std::array<bool, 12> kBlack = {false, true, false, true, false, false, true, false, true, false, true, false};

constexpr int kKeyboardLeft = 5400;
constexpr int kKeyboardTop = 4200;
constexpr int kWhiteStep = 240;

struct NameValue {
  char16_t name;
  int value;
};
// Names as parsing stores them: only the first character of ファ, ﾌｧ and ﾄﾞ.
constexpr NameValue kNames[] = {
    {u'ド', 0}, {u'ﾄ', 0}, {u'レ', 2}, {u'ﾚ', 2},  {u'ミ', 4}, {u'ﾐ', 4},  {u'フ', 5},
    {u'ﾌ', 5},  {u'ソ', 7}, {u'ｿ', 7}, {u'ラ', 9}, {u'ﾗ', 9}, {u'シ', 11}, {u'ｼ', 11},
};

bool isPrefix(char16_t c) { return c == u'-' || c == u'+' || c == u'#' || c == u'b'; }

// ---- Template steps ----

constexpr std::u16string_view kDoubledLetters = u"ksthmyrwgzdbpx";

// Compound rows, longest token first, so the template splits a reading into
// compounds exactly as the rewrite of the drill does (leftmost, longest).
const std::vector<int>& compoundRowsLongestFirst() {
  static const std::vector<int> rows = [] {
    std::vector<int> r;
    for (int row = kMainKeySettingCount; row < kKeySettingCount; ++row) r.push_back(row);
    const auto table = keyOptionTable();
    std::stable_sort(r.begin(), r.end(), [&](int a, int b) {
      return table[static_cast<std::size_t>(a)].token.size() > table[static_cast<std::size_t>(b)].token.size();
    });
    return r;
  }();
  return rows;
}

// Each compound whose variants differ in length becomes "x" + its marker;
// the others are kept as they are (their letters become holds in step 9).
std::u16string markCompounds(std::u16string_view s) {
  const auto table = keyOptionTable();
  std::u16string out;
  out.reserve(s.size() + 8);
  std::size_t i = 0;
  while (i < s.size()) {
    int hit = -1;
    for (int row : compoundRowsLongestFirst()) {
      if (s.substr(i).starts_with(table[static_cast<std::size_t>(row)].token)) {
        hit = row;
        break;
      }
    }
    if (hit < 0) {
      out.push_back(s[i]);
      ++i;
      continue;
    }
    const std::u16string_view token = table[static_cast<std::size_t>(hit)].token;
    const std::u16string marker = markerOfRow(hit);
    if (marker.empty()) {
      out.append(token);
    } else {
      out.push_back(u'x');
      out.append(marker);
    }
    i += token.size();
  }
  return out;
}

constexpr Replacement kNnBeforeNGroup[] = {
    {u"nn na", u"xx xx"}, {u"nn ni", u"xx xx"}, {u"nn nu", u"xx xx"},
    {u"nn ne", u"xx xx"}, {u"nn no", u"xx xx"}, {u"nn ny", u"xx xx"},
};
constexpr Replacement kNnBeforeVowelGroup[] = {
    {u"nn a", u"xx x"}, {u"nn i", u"xx x"}, {u"nn u", u"xx x"},
    {u"nn e", u"xx x"}, {u"nn o", u"xx x"}, {u"nn y", u"xx x"},
};
constexpr Replacement kShortMarkers[] = {
    {u"nn", u"x＊ん"}, {u"si", u"x＊し"}, {u"ti", u"x＊ち"}, {u"tu", u"x＊つ"},
};
constexpr std::u16string_view kKeystrokeCharacters = u"abcdefghijklmnopqrstuvwyz1234567890?!-/~.,+=;:()'";

}  // namespace

std::u16string keyboardNoteName(int index) {
  if (index < 0 || index >= kKeyboardKeyCount) return {};
  std::u16string name;
  if (index < 12) name = u"-";
  else if (index >= 24) name = u"+";
  name.append(kOctaveNames[static_cast<std::size_t>(index % 12)]);
  return name;
}

KeyboardKey keyboardKey(int index) {
  if (index < 0 || index >= kKeyboardKeyCount) return {};
  // White keys before this one, across octaves.
  int whites = 0;
  for (int i = 0; i < index; ++i)
    if (!kBlack[static_cast<std::size_t>(i % 12)]) ++whites;
  if (!kBlack[static_cast<std::size_t>(index % 12)])
    return {kKeyboardLeft + kWhiteStep * whites, kKeyboardTop, 255, 855, false};
  // A black key stands 165 right of the white key before it.
  return {kKeyboardLeft + kWhiteStep * (whites - 1) + 165, kKeyboardTop, 160, 495, true};
}

std::optional<NoteRow> parse_notes(std::u16string_view text) {
  NoteRow row;
  std::u16string slot;
  std::size_t i = 0;
  while (i < text.size()) {
    const char16_t c = text[i];
    if (isPrefix(c)) {
      slot.push_back(c);
      ++i;
    } else if (c == u' ' || c == u'\u3000') {
      ++i;
    } else if (c == u'フ' || c == u'ﾌ' || c == u'ﾄ') {
      // ファ, ﾌｧ and ﾄﾞ: the second character is not looked at.
      slot.push_back(c);
      row.push_back(std::move(slot));
      slot.clear();
      i += 2;
    } else if (std::u16string_view(u"ドレミソラシﾚﾐｿﾗｼ").find(c) != std::u16string_view::npos) {
      slot.push_back(c);
      row.push_back(std::move(slot));
      slot.clear();
      ++i;
    } else {
      return std::nullopt;
    }
  }
  if (!slot.empty()) row.push_back(std::move(slot));
  return row;
}

int noteSlotValue(std::u16string_view slotText) {
  std::u16string t(slotText);
  int value = 0;
  const std::pair<char16_t, int> prefixes[] = {{u'-', -12}, {u'+', 12}, {u'#', 1}, {u'b', -1}};
  for (const auto& [sign, step] : prefixes) {
    if (!t.empty() && t.front() == sign) {
      value += step;
      std::erase(t, sign);
    }
  }
  if (t.size() == 1)
    for (const auto& n : kNames)
      if (n.name == t.front()) value += n.value;
  return value;
}

std::u16string noteToken(int value) {
  std::u16string digits = fromAscii(std::to_string(value));
  if (value >= -9 && value <= 9) return digits;
  return u"\\" + digits;
}

std::u16string melodyTemplate(std::u16string_view spacedRomaji) {
  // 1. Single half-width spaces between the groups.
  std::u16string s = normalizeReadingSpaces(spacedRomaji);

  // 2. っ at the end of a group: the doubled letter of the next kana joins it.
  for (char16_t l : kDoubledLetters) {
    const char16_t find[5] = {u'x', u't', u'u', u' ', l};
    const char16_t repl[3] = {l, l, u' '};
    replaceAll(s, std::u16string_view(find, 5), std::u16string_view(repl, 3));
  }

  // 3. Compounds whose typed length depends on the settings get their marker.
  s = markCompounds(s);

  // 4.-6. ん: across a group boundary and inside markers its letters are fixed.
  for (const auto& r : kNnBeforeNGroup) replaceAll(s, r.find, r.repl);
  for (const auto& r : kNnBeforeVowelGroup) replaceAll(s, r.find, r.repl);
  // As many holds as the rewrite types letters for each ん marker.
  for (const auto& group : kana::kNMarkerGroups)
    for (const auto& m : group) replaceAll(s, m.marker, std::u16string(m.typed.size(), u'x'));

  // 7. ん, し, ち, つ depend on their main settings.
  for (const auto& r : kShortMarkers) replaceAll(s, r.find, r.repl);

  // 8. Protected letters are typed as they stand.
  std::erase(s, u'*');

  // 9. Every remaining keystroke is a hold for now.
  for (char16_t& c : s)
    if (kKeystrokeCharacters.find(c) != std::u16string_view::npos) c = u'x';
  return s;
}

std::optional<std::u16string> make_melody(std::u16string_view spacedRomaji, const NoteRow& notes) {
  if (notes.size() > static_cast<std::size_t>(kNoteRowSlots)) return std::nullopt;
  std::u16string s = melodyTemplate(spacedRomaji);

  auto tokenOf = [&](std::size_t k) {
    // A group without a note of its own holds the note before it, so the
    // melody keeps one token per keystroke.
    if (k >= notes.size()) return std::u16string(kHoldToken);
    return noteToken(noteSlotValue(notes[k]));
  };

  const std::size_t groups = static_cast<std::size_t>(std::count(s.begin(), s.end(), u' ')) + 1;
  if (groups > static_cast<std::size_t>(kNoteRowSlots)) return std::nullopt;

  if (const auto first = s.find(u'x'); first != std::u16string::npos) s.replace(first, 1, tokenOf(0));
  for (std::size_t k = 1; s.find(u' ') != std::u16string::npos; ++k) {
    const auto at = s.find(u" x");
    // A space that never meets a keystroke: the reading began or ended with
    // a space, or a group starts with a character that is not typed.
    if (at == std::u16string::npos) return std::nullopt;
    s.replace(at, 2, tokenOf(k));
  }
  return s;
}

MusicPageConversion convertMusicPage(std::u16string_view reading, std::u16string_view noteNames) {
  MusicPageConversion result;
  if (reading.find(u'*') != std::u16string_view::npos || reading.find(u'＊') != std::u16string_view::npos) {
    result.error = kUnusableCharacterMessage;
    return result;
  }
  const auto notes = parse_notes(noteNames);
  if (!notes) {
    result.error = kMelodyDataErrorMessage;
    return result;
  }
  std::u16string unspaced(reading);
  std::erase(unspaced, u' ');
  std::erase(unspaced, u'\u3000');
  result.romaji = kanaToRomaji(unspaced, KanaToRomajiVariant::MusicEditor);
  auto melody = make_melody(kanaToRomaji(reading, KanaToRomajiVariant::MusicEditor), *notes);
  if (!melody) {
    result.error = kMusicSaveFailedMessage;
    result.romaji.clear();
    return result;
  }
  result.melody = std::move(*melody);
  result.ok = true;
  return result;
}

}  // namespace lk
