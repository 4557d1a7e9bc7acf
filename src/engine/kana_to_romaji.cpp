// Kana -> canonical romaji: two character-class steps, one ordered list of
// literal replacements, and a final narrowing. The list order matters:
// longer kana groups before their parts, letters protected before any romaji
// exists, っ resolved only once the kana after it is romaji.
#include "engine/kana_to_romaji.h"

#include <vector>

#include "engine/kana_tables.h"
#include "engine/text.h"

namespace lk {

namespace {

constexpr Replacement kVu[] = {{u"ヴ", u"vu"}};
constexpr Replacement kSmall[] = {{u"ぁ", u"xa"}, {u"ぃ", u"xi"}, {u"ぅ", u"xu"},  {u"ぇ", u"xe"},
                                  {u"ぉ", u"xo"}, {u"ゃ", u"xya"}, {u"ゅ", u"xyu"}, {u"ょ", u"xyo"}};
constexpr Replacement kLoneSmallTu[] = {{u"っ", u"xtu"}};
constexpr Replacement kMarksTyping[] = {{u"・", u"/"}, {u"ー", u"-"}, {u"ｰ", u"-"}, {u"、", u","},
                                        {u"。", u"."}, {u"「", u"["}, {u"」", u"]"}};
constexpr Replacement kMarksMusic[] = {{u"・", u"/"}, {u"ー", u"-"}, {u"、", u","},
                                       {u"。", u"."}, {u"「", u"["}, {u"」", u"]"}};

struct Lists {
  std::vector<Replacement> typing;
  std::vector<Replacement> music;
  std::vector<std::u16string> owned;  // backing store of the generated entries

  Lists() {
    owned.reserve(26 * 2 + 14 * 2);
    std::vector<Replacement> protect, doubled;
    for (char16_t c = u'a'; c <= u'z'; ++c) {
      owned.push_back(std::u16string(1, c));
      owned.push_back(std::u16string{u'*', c, u'*'});
    }
    for (std::size_t i = 0; i < owned.size(); i += 2) protect.push_back({owned[i], owned[i + 1]});
    const std::size_t base = owned.size();
    for (const char16_t* p = kana::kDoublingLetters; *p; ++p) {
      owned.push_back(std::u16string{u'っ', *p});
      owned.push_back(std::u16string{*p, *p});
    }
    for (std::size_t i = base; i < owned.size(); i += 2) doubled.push_back({owned[i], owned[i + 1]});

    auto add = [](std::vector<Replacement>& list, std::span<const Replacement> part) {
      list.insert(list.end(), part.begin(), part.end());
    };
    auto addMarkers = [](std::vector<Replacement>& list, std::span<const kana::NMarker> part) {
      for (const auto& m : part) list.push_back({m.kana, m.marker});
    };
    for (int music = 0; music < 2; ++music) {
      auto& list = music ? this->music : typing;
      add(list, protect);
      addMarkers(list, kana::kNBeforeContractedN);
      add(list, kana::kContracted);
      add(list, kVu);
      addMarkers(list, kana::kNBeforeVowel);
      if (!music) addMarkers(list, kana::kNBeforeY);
      addMarkers(list, kana::kNBeforeN);
      if (music) addMarkers(list, kana::kNBeforeY);
      add(list, kana::kPlain);
      add(list, kSmall);
      add(list, doubled);
      add(list, kLoneSmallTu);
      add(list, music ? std::span<const Replacement>(kMarksMusic) : std::span<const Replacement>(kMarksTyping));
    }
  }
};

const Lists& lists() {
  static const Lists l;
  return l;
}

// Step 1: lower-case ASCII and full-width Latin letters.
// Step 2: full-width katakana with a hiragana counterpart become hiragana;
// ヴ ヵ ヶ and half-width katakana have none and stay.
void foldCaseAndKatakana(std::u16string& s) {
  for (char16_t& c : s) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 0x20);
    else if (c >= 0xFF21 && c <= 0xFF3A) c = static_cast<char16_t>(c + 0x20);
    else if (c >= 0x30A1 && c <= 0x30F3) c = static_cast<char16_t>(c - 0x60);  // ァ..ン
    else if (c == 0x30FD || c == 0x30FE) c = static_cast<char16_t>(c - 0x60);  // ヽヾ -> ゝゞ
  }
}

// Step 4: characters with a half-width form become it (full-width ASCII
// letters, digits and signs, and the ideographic space).
void narrow(std::u16string& s) {
  for (char16_t& c : s) {
    if (c >= 0xFF01 && c <= 0xFF5E) c = static_cast<char16_t>(c - 0xFEE0);
    else if (c == 0x3000) c = u' ';
  }
}

}  // namespace

std::u16string kanaToRomaji(std::u16string_view reading, KanaToRomajiVariant variant) {
  std::u16string s(reading);
  foldCaseAndKatakana(s);
  const auto& list = variant == KanaToRomajiVariant::MusicEditor ? lists().music : lists().typing;
  for (const auto& r : list) replaceAll(s, r.find, r.repl);
  narrow(s);
  return s;
}

}  // namespace lk
