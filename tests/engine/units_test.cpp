#include "engine/units.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <string>
#include <utility>

#include "engine/romaji_to_kana.h"
#include "engine/text.h"
#include "music/songs.h"
#include "practice/word_lists.h"
#include "fakes/key_settings_fixtures.h"

namespace lk {
namespace {

using test::Changes;
using test::settingsWith;

// The tool's form: KEYS=UNIT pairs joined by one space.
std::string pairs(const std::vector<KeyUnit>& units) {
  std::string out;
  for (const auto& u : units) {
    if (!out.empty()) out += ' ';
    out += toUtf8(u.keys) + "=" + toUtf8(u.unit);
  }
  return out;
}

struct Case {
  std::u16string_view canonical;
  Changes changes;
  std::string_view expected;
};

TEST(RewriteByUnit, SplitsTheExpectedKeysByKana) {
  const Case cases[] = {
      {u"sinnbunn", {}, "si=し nn=ん bu=ぶ nn=ん"},
      // The doubled letter follows its partner's change and stays with っ.
      {u"hokkaidou", {{"ka", u"ca"}}, "ho=ほ c=っ ca=か i=い do=ど u=う"},
      {u"*h*", {}, "h=h"},
      {u"", {}, ""},
      // The final-ん rule's extra n belongs to the ん.
      {u"ninnzinn", {{"zi", u"ji"}, {"nn", u"n"}}, "ni=に n=ん ji=じ nn=ん"},
      // A marker splits into its ん (always two n) and the kana it carries.
      {u"akusyo**neiganoka-tixeisu", {{"syo", u"sho"}, {"che", u"che"}, {"nn", u"n"}},
       "a=あ ku=く sho=しょ nn=ん e=え i=い ga=が no=の ka=か -=- che=ちぇ i=い su=す"},
      {u"rounyakuna**n1yo", {{"nn", u"n"}}, "ro=ろ u=う nya=にゃ ku=く na=な nn=ん nyo=にょ"},
      {u"tyokore-topahuxe", {{"x", u"l"}}, "tyo=ちょ ko=こ re=れ -=- to=と pa=ぱ hule=ふぇ"},
      {u"hyakkatennnobutexikku", {{"nn", u"n"}},
       "hya=ひゃ k=っ ka=か te=て n=ん no=の bu=ぶ texi=てぃ k=っ ku=く"},
      // A compound is one unit even where a main setting rewrote inside it.
      {u"syuhu", {{"syu", u"shu"}, {"hu", u"fu"}}, "sfu=しゅ fu=ふ"},
      {u"sixe", {}, "sixe=しぇ"},
      {u"xxa", {{"x", u"l"}}, "l=っ la=ぁ"},
      {u"xtukka", {{"ka", u"ca"}}, "xtu=っ c=っ ca=か"},
      {u"zixera-to", {{"je", u"je"}}, "je=じぇ ra=ら -=- to=と"},
      // A space is not typed: it rides along with the letter before it.
      {u"*i**t* *i**s*", {}, "i=i t=t  i=i s=s"},
      {u"ima,nannzi?", {}, "i=い ma=ま ,=, na=な nn=ん zi=じ ?=?"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(pairs(rewriteByUnit(c.canonical, settingsWith(c.changes))), c.expected)
        << "input " << toUtf8(c.canonical);
}

// A random choice for each of the 91 key settings.
KeySettings randomSettings(std::mt19937& rng) {
  KeySettings s;
  const auto table = keyOptionTable();
  for (std::size_t row = 0; row < table.size(); ++row) {
    const auto offered = table[row].offered();
    std::uniform_int_distribution<std::size_t> pick(0, offered.size() - 1);
    s.keys[row] = std::u16string(offered[pick(rng)]);
  }
  return s;
}

void expectConcatenations(std::u16string_view canonical, const KeySettings& settings, const RewriteOptions& options) {
  std::u16string keys, kana, source;
  for (const auto& u : rewriteByUnit(canonical, settings, options)) {
    EXPECT_FALSE(u.keys.empty()) << "a unit without keys in " << toUtf8(canonical);
    keys += u.keys;
    kana += u.unit;
    source += u.canonical;
  }
  EXPECT_EQ(toUtf8(keys), toUtf8(rewriteRomaji(canonical, settings, options))) << toUtf8(canonical);
  EXPECT_EQ(toUtf8(kana), toUtf8(romajiToKana(canonical))) << toUtf8(canonical);
  EXPECT_EQ(toUtf8(source), toUtf8(canonical));
}

TEST(RewriteByUnit, EveryBuiltInTextConcatenatesToTheRewriteAndTheKana) {
  std::mt19937 rng(20261210);
  std::vector<std::u16string_view> texts;
  for (int level = 1; level <= kBuiltInLevelCount; ++level)
    for (const auto& e : builtInList(level)) texts.push_back(e.romaji);
  for (int song = 1; song <= kBuiltInSongCount; ++song)
    for (const auto& line : builtInSong(static_cast<BuiltInSong>(song)).lines) texts.push_back(line.romaji);
  // Notation corners the lists do not hold: bare letters, kana-less signs,
  // っ before everything, ん pairs, a misread protected vowel.
  for (std::u16string_view extra : {u"kaxtu", u"xtukka", u"nnnn**na", u" *a* ", u"k a", u"*m*e*y*", u"ゐ漢字", u"xxa",
                                    u"uxixe", u"**n1yaxya", u"sssi", u"n", u"*n*", u"tchi"})
    texts.push_back(extra);
  for (int round = 0; round < 40; ++round) {
    const KeySettings settings = round == 0 ? KeySettings{} : randomSettings(rng);
    for (const auto text : texts) {
      expectConcatenations(text, settings, {});
      expectConcatenations(text, settings, RewriteOptions{.replaceEveryX = true});
    }
  }
}

}  // namespace
}  // namespace lk
