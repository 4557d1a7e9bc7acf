// Canonical romaji -> kana: the mirror of the forward list. っ is rebuilt
// while the letter after it is still romaji, markers before the syllables
// they contain, and protected vowel letters hide behind "＊1".."＊5" until the
// bare vowels have become kana.
#include "engine/romaji_to_kana.h"

#include <vector>

#include "engine/kana_tables.h"
#include "engine/kana_to_romaji.h"
#include "engine/text.h"
#include "engine/tracked_text.h"

namespace lk {

namespace {

constexpr Replacement kSmallTu[] = {{u"xtu", u"っ"}};
constexpr Replacement kSmallY[] = {{u"xya", u"ゃ"}, {u"xyu", u"ゅ"}, {u"xyo", u"ょ"}};
constexpr Replacement kVu[] = {{u"vu", u"ヴ"}};
constexpr Replacement kSmallVowels[] = {{u"xa", u"ぁ"}, {u"xi", u"ぃ"}, {u"xu", u"ぅ"}, {u"xe", u"ぇ"}, {u"xo", u"ぉ"}};
constexpr Replacement kPlaceholdersBack[] = {
    {u"＊1", u"a"}, {u"＊2", u"i"}, {u"＊3", u"u"}, {u"＊4", u"e"}, {u"＊5", u"o"}};

struct List {
  std::vector<Replacement> entries;
  std::vector<std::u16string> owned;  // backing store of the generated entries

  List() {
    owned.reserve(14 * 2 + 26 * 2);
    for (const char16_t* p = kana::kDoublingLetters; *p; ++p) {
      owned.push_back(std::u16string{*p, *p});
      owned.push_back(std::u16string{u'っ', *p});
    }
    for (char16_t c = u'a'; c <= u'z'; ++c) {
      owned.push_back(std::u16string{u'*', c, u'*'});
      const auto vowel = std::u16string_view(u"aiueo").find(c);
      // Placeholder digits follow the a-i-u-e-o order.
      owned.push_back(vowel == std::u16string_view::npos
                          ? std::u16string(1, c)
                          : std::u16string{u'＊', static_cast<char16_t>(u'1' + vowel)});
    }
    auto reversed = [this](std::span<const Replacement> part) {
      for (const auto& r : part) entries.push_back({r.repl, r.find});
    };
    auto add = [this](std::span<const Replacement> part) { entries.insert(entries.end(), part.begin(), part.end()); };
    for (std::size_t i = 0; i < 28; i += 2) entries.push_back({owned[i], owned[i + 1]});
    add(kSmallTu);
    add(kSmallY);
    add(kVu);
    for (const auto& group : kana::kNMarkerGroups)
      for (const auto& m : group) entries.push_back({m.marker, m.kana});
    reversed(kana::kContracted);
    reversed(std::span<const Replacement>(kana::kPlain).subspan(kana::kPlainVowelCount));
    add(kSmallVowels);
    for (std::size_t i = 28; i < owned.size(); i += 2) entries.push_back({owned[i], owned[i + 1]});
    reversed(std::span<const Replacement>(kana::kPlain).first(kana::kPlainVowelCount));
    add(kPlaceholdersBack);
  }
};

const List& list() {
  static const List l;
  return l;
}

}  // namespace

std::u16string romajiToKana(std::u16string_view canonical) {
  std::u16string s(canonical);
  for (const auto& r : list().entries) replaceAll(s, r.find, r.repl);
  return s;
}

void romajiToKanaTracked(TrackedText& text) {
  for (const auto& r : list().entries) {
    // A marker's "**n" is the ん, the rest the kana that follows it.
    if (r.find.starts_with(u"**n")) text.replaceAll(r.find, r.repl, 3, 1);
    else text.replaceAll(r.find, r.repl);
  }
}

}  // namespace lk
