#include "engine/flexible_matcher.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>

#include "engine/kana_to_romaji.h"
#include "engine/spellings.h"
#include "engine/text.h"
#include "music/songs.h"
#include "practice/word_lists.h"
#include "fakes/key_settings_fixtures.h"

namespace lk {
namespace {

using test::Changes;
using test::settingsWith;

bool isVowel(char16_t c) { return std::u16string_view(u"aiueo").find(c) != std::u16string_view::npos; }

// What `luminakey-tool match` prints for one typed string.
std::string verdict(const FlexibleMatcher& start, std::u16string_view typed) {
  FlexibleMatcher m = start;
  for (std::size_t i = 0; i < typed.size(); ++i)
    if (!m.type(typed[i])) return "miss " + std::to_string(i + 1);
  return m.finished() ? "ok" : "partial";
}

std::string verdict(std::u16string_view canonical, std::u16string_view typed, const KeySettings& settings = {}) {
  return verdict(FlexibleMatcher(canonical, settings), typed);
}

TEST(SpellingTable, EveryVariantTheSettingsOfferIsASpelling) {
  const auto table = keyOptionTable();
  for (int row = 0; row < kKeySettingCount; ++row) {
    const auto& option = table[static_cast<std::size_t>(row)];
    if (option.field == "nn" || option.field == "x") continue;  // ん and the small-kana prefix: the matcher's own
    const auto spellings = spellingsOf(option.kanaLabel);
    ASSERT_FALSE(spellings.empty()) << option.field;
    EXPECT_EQ(spellings.front(), option.token) << "the canonical token leads " << option.field;
    for (auto v : option.offered())
      EXPECT_NE(std::find(spellings.begin(), spellings.end(), v), spellings.end()) << option.field << " " << toUtf8(v);
  }
}

TEST(SpellingTable, InputMethodSpellingsOfCompounds) {
  struct Row {
    std::u16string_view kana;
    std::vector<std::u16string_view> spellings;
  };
  const Row cases[] = {
      {u"しゃ", {u"sya", u"sha", u"sixya", u"silya", u"shixya", u"shilya", u"cixya"}},
      {u"ちぇ", {u"tixe", u"che", u"cye", u"tye", u"chile", u"tixye"}},
      {u"ふぁ", {u"fa", u"fwa", u"huxa", u"fula"}},
      {u"くぁ", {u"qa", u"qwa", u"kwa", u"kuxa", u"qula", u"cuxa"}},
      {u"うぃ", {u"wi", u"whi", u"uxi", u"wuli", u"whuxi", u"yi"}},
      {u"ヴぇ", {u"ve", u"vye", u"vuxe", u"vule"}},
      {u"ぃ", {u"xi", u"li", u"xyi", u"lyi"}},
      {u"ゃ", {u"xya", u"lya"}},
      // h-w for ふ, the apostrophe forms and the w forms of て, と, で, ど.
      {u"ふぁ", {u"hwa"}}, {u"ふぃ", {u"hwi"}}, {u"ふぇ", {u"hwe"}}, {u"ふぉ", {u"hwo"}},
      {u"ふゅ", {u"hwyu", u"fyu", u"huxyu", u"fulyu"}},
      {u"てぃ", {u"t'i", u"thi"}}, {u"とぅ", {u"t'u", u"twu"}}, {u"でぃ", {u"d'i", u"dhi"}}, {u"どぅ", {u"d'u", u"dwu"}},
  };
  for (const auto& [kana, expected] : cases) {
    const auto spellings = spellingsOf(kana);
    for (auto s : expected) {
      const bool listed = std::find(spellings.begin(), spellings.end(), s) != spellings.end();
      // "yi" is い alone, not うぃ: the one negative row.
      EXPECT_EQ(listed, s != u"yi") << toUtf8(kana) << " " << toUtf8(s);
    }
  }
}

TEST(FlexibleMatcher, EverySpellingTypesItsKana) {
  for (const auto& kana : spelledKana()) {
    const std::u16string canonical = kanaToRomaji(kana);
    const FlexibleMatcher alone(canonical, {});
    const FlexibleMatcher doubled(kanaToRomaji(u"っ" + kana), {});
    for (const auto& s : spellingsOf(kana)) {
      EXPECT_EQ(verdict(alone, s), "ok") << toUtf8(kana) << " as " << toUtf8(s);
      if (!isVowel(s.front()) && s.front() != u'n') EXPECT_EQ(verdict(doubled, s.front() + s), "ok") << "っ" << toUtf8(kana) << " " << toUtf8(s);
    }
  }
}

struct ContextCase {
  std::u16string_view canonical;
  std::u16string_view typed;
  std::string_view expected;
};

TEST(FlexibleMatcher, SmallTsuAndNInEveryContext) {
  const ContextCase cases[] = {
      // ん before a vowel, a y-syllable and an n-syllable needs two n.
      {u"**na", u"nna", "ok"}, {u"**na", u"na", "miss 2"}, {u"**na", u"xna", "ok"}, {u"**na", u"n'a", "ok"},
      {u"**nya", u"nnya", "ok"}, {u"**nya", u"nya", "miss 2"},
      {u"**n1a", u"nnna", "ok"}, {u"**n1a", u"nna", "miss 3"}, {u"**n1a", u"xnna", "ok"},
      // One n is enough before any other consonant and before signs.
      {u"nnka", u"nka", "ok"}, {u"nnka", u"nnka", "ok"}, {u"nnwa", u"nwa", "ok"}, {u"nn-", u"n-", "ok"},
      {u"nnsya", u"nsha", "ok"}, {u"nnkka", u"nkka", "ok"},
      // Never a single n at the end.
      {u"pann", u"pan", "partial"}, {u"pann", u"pann", "ok"}, {u"pann", u"paxn", "ok"}, {u"pann", u"pan'", "ok"},
      // Before a protected letter the letter itself decides.
      {u"nn*k*", u"nk", "ok"}, {u"nn*a*", u"na", "miss 2"}, {u"nn*a*", u"nna", "ok"}, {u"nn*y*", u"ny", "miss 2"}, {u"nn*n*", u"nnn", "ok"},
      // Two ん in a row.
      {u"nnnn", u"nnnn", "ok"}, {u"nnnn", u"nxn", "ok"}, {u"nnnn", u"nnn", "partial"},
      // Paths that stay open: after "nnn" the な can still come.
      {u"**n1a", u"nnn", "partial"}, {u"sinnbunn", u"shinbun", "partial"}, {u"sinnbunn", u"shinbunn", "ok"},
      // っ doubles the next kana's first consonant, whichever spelling follows.
      {u"kka", u"kka", "ok"}, {u"kka", u"cca", "ok"}, {u"kka", u"xtuka", "ok"}, {u"kka", u"ltsuca", "ok"},
      {u"kka", u"kca", "miss 2"}, {u"tti", u"tti", "ok"}, {u"tti", u"cchi", "ok"}, {u"ssya", u"sshilya", "ok"},
      {u"yya", u"yya", "ok"}, {u"yya", u"ltuya", "ok"}, {u"xxa", u"lla", "ok"}, {u"xxa", u"xxa", "ok"}, {u"xtukka", u"kkka", "ok"}, {u"xtukka", u"xtukka", "ok"},
      // ... but never an n, a vowel, a letter or a sign, nor at the end.
      {u"xtuna", u"nna", "miss 1"}, {u"xtuna", u"xtuna", "ok"}, {u"xtua", u"aa", "miss 1"},
      {u"xtu*k*", u"kk", "miss 1"}, {u"xtu*k*", u"ltuk", "ok"}, {u"xtu-", u"xtu-", "ok"}, {u"xtu", u"xtsu", "ok"},
      {u"xtu", u"k", "miss 1"},
      // っ doubles the x of a small kana and of ん spelled "xn", never ん's n.
      {u"xxya", u"xxya", "ok"}, {u"xxya", u"xtuxya", "ok"}, {u"xtuxtu", u"xxtu", "ok"},
      {u"xtunn", u"xxn", "ok"}, {u"xtunn", u"nnn", "miss 1"}, {u"xtunn", u"kkn", "miss 1"},
      {u"xtunnka", u"xxnka", "ok"}, {u"xtunn", u"xtunn", "ok"},
      // Whole words with the newer spellings, doubled and after ん.
      {u"pa-texi-", u"pa-t'i-", "ok"}, {u"xtutexi", u"tt'i", "ok"},
      {u"nntexi", u"nt'i", "ok"}, {u"toxuru-", u"t'uru-", "ok"}, {u"doxu", u"dwu", "ok"},
      {u"huxairu", u"hwairu", "ok"}, {u"huxyu-zyonn", u"hwyu-jon", "partial"}, {u"huxyu-zyonn", u"fyu-jonn", "ok"},
      // Letters and signs as they stand; spaces are not typed.
      {u"*g**o* *u**p*!", u"goup!", "ok"}, {u"*s**i*", u"shi", "miss 2"}, {u"ima,nannzi?", u"ima,nanji?", "ok"},
      {u"", u"", "ok"}, {u"", u"a", "miss 1"}, {u"ka", u"kaa", "miss 3"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(verdict(c.canonical, c.typed), c.expected) << toUtf8(c.canonical) << " typed " << toUtf8(c.typed);
}

struct GuideCase {
  std::u16string_view canonical;
  Changes changes;
  std::u16string_view typed;
  std::u16string_view expected;
};

TEST(FlexibleMatcher, GuideShowsTheLearnersPathThenPreferredSpellings) {
  const GuideCase cases[] = {
      // Per kana: the compound keeps its own variant, no "sfu".
      {u"syuhu", {{"syu", u"shu"}, {"hu", u"fu"}}, u"", u"shufu"},
      {u"sixe", {{"si", u"shi"}, {"x", u"l"}}, u"", u"shile"},
      {u"tixe", {{"che", u"che"}, {"ti", u"chi"}}, u"", u"che"},
      {u"xya", {{"x", u"l"}}, u"", u"lya"},
      {u"sinnbunn", {{"nn", u"n"}}, u"", u"sinbunn"},
      {u"sinnbunn", {{"nn", u"n"}, {"si", u"si"}}, u"shi", u"nbunn"},
      {u"si", {}, u"sh", u"i"},
      {u"kka", {{"ka", u"ca"}}, u"", u"cca"},
      {u"kka", {{"ka", u"ca"}}, u"k", u"ka"},  // the doubled k binds the next kana
      {u"xtukka", {}, u"", u"xtukka"},
      // "k" for the first っ makes it "kkka": both later units keep the k.
      {u"xtukka", {{"ka", u"ca"}}, u"k", u"kka"},
      {u"xtu", {{"tu", u"tsu"}, {"x", u"l"}}, u"", u"ltsu"},
      {u"**n1a", {{"nn", u"n"}}, u"", u"nnna"},
      {u"nnka", {}, u"n", u"nka"},               // a learner of "nn" is shown the second n
      {u"nnka", {{"nn", u"n"}}, u"n", u"ka"},    // one of "n" has finished ん
      {u"nnka", {{"nn", u"n"}}, u"nn", u"ka"},
      {u"pann", {{"nn", u"n"}}, u"", u"pann"},
      {u"*g**o*", {{"ko", u"co"}}, u"", u"go"},
      {u"ka", {}, u"ka", u""},
      {u"xtunn", {}, u"x", u"tunn"},   // "xtu" is still the learner's way
      {u"xtunn", {}, u"xx", u"n"},     // a doubled x leaves ん to its "xn"
      {u"texi", {}, u"t'", u"i"},
      {u"huxyu", {{"hu", u"fu"}}, u"", u"fuxyu"},
      {u"huxyu", {}, u"hw", u"yu"},
  };
  for (const auto& c : cases) {
    FlexibleMatcher m(c.canonical, settingsWith(c.changes));
    for (char16_t k : c.typed) ASSERT_TRUE(m.type(k)) << toUtf8(c.canonical);
    EXPECT_EQ(toUtf8(m.guide()), toUtf8(c.expected)) << toUtf8(c.canonical) << " after " << toUtf8(c.typed);
  }
}

// --- properties over the built-in texts -------------------------------------

std::vector<std::u16string_view> builtInTexts() {
  std::vector<std::u16string_view> texts;
  for (int level = 1; level <= kBuiltInLevelCount; ++level)
    for (const auto& e : builtInList(level)) texts.push_back(e.romaji);
  for (int song = 1; song <= kBuiltInSongCount; ++song)
    for (const auto& line : builtInSong(static_cast<BuiltInSong>(song)).lines) texts.push_back(line.romaji);
  return texts;
}

KeySettings randomSettings(std::mt19937& rng) {
  KeySettings s;
  const auto table = keyOptionTable();
  for (std::size_t row = 0; row < table.size(); ++row) {
    const auto offered = table[row].offered();
    s.keys[row] = std::u16string(offered[std::uniform_int_distribution<std::size_t>(0, offered.size() - 1)(rng)]);
  }
  return s;
}

// Why the fixed expected string can be one no input method types: a main
// setting rewrote inside a compound ("sfu"), a single-n ん met a letter that
// joins it, or っ kept a letter its partner no longer starts with ("sce" for
// っせ with `se` = "ce").
std::string whyRewriteIsNoSpelling(const std::vector<KeyUnit>& units) {
  for (std::size_t i = 0; i < units.size(); ++i) {
    const auto spellings = spellingsOf(units[i].unit);
    if (!spellings.empty() && std::find(spellings.begin(), spellings.end(), units[i].keys) == spellings.end())
      return "main setting: inside " + toUtf8(units[i].unit) + " (" + toUtf8(units[i].keys) + ")";
    if (units[i].unit == u"ん" && units[i].keys == u"n" && i + 1 < units.size()) {
      const char16_t next = units[i + 1].keys.front();
      if (isVowel(next) || next == u'y' || next == u'n') return "single n: before " + toUtf8(units[i + 1].keys);
    }
    if (units[i].unit == u"っ" && units[i].keys.size() == 1 && i + 1 < units.size() &&
        units[i + 1].keys.front() != units[i].keys.front())
      return "doubled letter: " + toUtf8(units[i].keys + units[i + 1].keys);
  }
  return {};
}

TEST(FlexibleMatcher, TheRewriteIsAcceptedUnlessNoInputMethodTypesIt) {
  std::mt19937 rng(15);
  std::map<std::string, int> families;
  for (int round = 0; round < 30; ++round) {
    const KeySettings settings = round == 0 ? KeySettings{} : randomSettings(rng);
    for (const auto text : builtInTexts()) {
      const FlexibleMatcher m(text, settings);
      const std::string why = whyRewriteIsNoSpelling(m.units());
      const std::string got = verdict(m, rewriteRomaji(text, settings));
      if (why.empty()) EXPECT_EQ(got, "ok") << toUtf8(text);
      else ++families[why.substr(0, why.find(':'))];
      if (round == 0) EXPECT_TRUE(why.empty()) << toUtf8(text) << ": " << why;
    }
  }
  // Only these families ever lack a spelling.
  for (const auto& [family, count] : families)
    EXPECT_TRUE(family == "main setting" || family == "single n" || family == "doubled letter")
        << family << " x" << count;
}

// A random accepted spelling of the whole text, assembled unit by unit.
std::u16string randomSpelling(const std::vector<KeyUnit>& units, std::mt19937& rng) {
  auto pick = [&rng](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
  std::vector<std::u16string> chosen(units.size());
  for (std::size_t i = units.size(); i-- > 0;) {
    const auto& kana = units[i].unit;
    const std::u16string* next = i + 1 < units.size() ? &chosen[i + 1] : nullptr;
    const bool nextIsKana = i + 1 < units.size() && (!spellingsOf(units[i + 1].unit).empty() || units[i + 1].unit == u"っ");
    if (kana == u"っ") {
      const char16_t c = next ? next->front() : 0;
      const bool canDouble = nextIsKana && c >= u'a' && c <= u'z' && !isVowel(c) && c != u'n';
      const std::u16string_view alone[] = {u"xtu", u"ltu", u"xtsu", u"ltsu"};
      chosen[i] = canDouble && pick(2) ? std::u16string(1, c) : std::u16string(alone[pick(4)]);
    } else if (kana == u"ん") {
      const char16_t c = next ? next->front() : u'a';
      const bool single = !isVowel(c) && c != u'y' && c != u'n';
      const std::u16string_view forms[] = {u"nn", u"xn", u"n'", u"n"};
      chosen[i] = std::u16string(forms[pick(single ? 4 : 3)]);
    } else if (const auto spellings = spellingsOf(kana); !spellings.empty()) {
      chosen[i] = spellings[pick(spellings.size())];
    } else {
      chosen[i] = units[i].keys;
    }
  }
  std::u16string typed;
  for (const auto& c : chosen) typed += c;
  return typed;
}

TEST(FlexibleMatcher, RandomSpellingsAreAcceptedAndOneWrongKeyIsMissedThere) {
  std::mt19937 rng(2026);
  for (int round = 0; round < 20; ++round) {
    const KeySettings settings = randomSettings(rng);
    for (const auto text : builtInTexts()) {
      const FlexibleMatcher m(text, settings);
      const std::u16string typed = randomSpelling(m.units(), rng);
      EXPECT_EQ(verdict(m, typed), "ok") << toUtf8(text) << " typed " << toUtf8(typed);
      // The guide, typed from a random point, finishes the text.
      FlexibleMatcher part = m;
      const std::size_t cut = std::uniform_int_distribution<std::size_t>(0, typed.size())(rng);
      for (std::size_t i = 0; i < cut; ++i) part.type(typed[i]);
      EXPECT_EQ(verdict(part, part.guide()), "ok") << toUtf8(text) << " after " << toUtf8(typed.substr(0, cut));
      if (typed.empty()) continue;
      std::u16string wrong = typed;
      const std::size_t at = std::uniform_int_distribution<std::size_t>(0, typed.size() - 1)(rng);
      wrong[at] = u'@';
      EXPECT_EQ(verdict(m, wrong), "miss " + std::to_string(at + 1)) << toUtf8(text);
    }
  }
}

}  // namespace
}  // namespace lk
