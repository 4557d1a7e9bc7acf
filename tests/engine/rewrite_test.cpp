#include "engine/rewrite.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "engine/text.h"
#include "practice/word_lists.h"
#include "fakes/key_settings_fixtures.h"

namespace lk {
namespace {

using test::Changes;
using test::settingsWith;

struct Case {
  std::u16string_view canonical;
  Changes changes;
  std::u16string_view expected;
};

void runCases(std::span<const Case> cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(toUtf8(rewriteRomaji(c.canonical, settingsWith(c.changes))), toUtf8(c.expected))
        << "input " << toUtf8(c.canonical);
  }
}

TEST(RewriteRomaji, WorkedExamples) {
  const Case cases[] = {
      {u"hokkaidou", {{"ka", u"ca"}}, u"hoccaidou"},
      {u"ninnzinn", {{"zi", u"ji"}, {"nn", u"n"}}, u"ninjinn"},
      {u"akusyo**neiganoka-tixeisu", {{"syo", u"sho"}, {"che", u"che"}, {"nn", u"n"}}, u"akushonneiganoka-cheisu"},
      {u"rounyakuna**n1yo", {{"nn", u"n"}}, u"rounyakunannnyo"},
      {u"tyokore-topahuxe", {{"x", u"l"}}, u"tyokore-topahule"},
      {u"hyakkatennnobutexikku", {{"nn", u"n"}}, u"hyakkatennobutexikku"},
      {u"kyabetu", {{"tu", u"tsu"}}, u"kyabetsu"},
      {u"gakkou", {{"ko", u"co"}}, u"gaccou"},
      {u"zixera-to", {{"je", u"je"}}, u"jera-to"},
      {u"", {{"nn", u"n"}}, u""},
  };
  runCases(cases);
}

TEST(RewriteRomaji, FinalNAndProtectedLetters) {
  const Case cases[] = {
      {u"pann", {{"nn", u"n"}}, u"pann"},  // "pan", then the final n is doubled
      {u"pann", {}, u"pann"},
      {u"pa*n*", {{"nn", u"n"}}, u"pan"},  // a protected n never gets the extra n
      {u"ninnzinn", {{"nn", u"n"}}, u"ninzinn"},
      {u"nnnn", {{"nn", u"n"}}, u"nnn"},   // two ん: "nn", plus the final one
      // ん markers keep two n whatever the ん setting.
      {u"**na**ni**nu**ne**no", {{"nn", u"n"}}, u"nnanninnunnenno"},
      {u"**nya**nyu**nyo", {{"nn", u"n"}}, u"nnyannyunnyo"},
      {u"**n1a**n1i**n1u**n1e**n1o", {{"nn", u"n"}}, u"nnnannninnnunnnennno"},
      {u"**n1ya**n1yu**n1yo", {{"nn", u"n"}}, u"nnnyannnyunnnyo"},
      {u"*g**o**o**d* *m**o**r**n**i**n**g*!", {}, u"goodmorning!"},
      // No rule reaches between asterisks, whatever the settings.
      {u"*w**h**a**t* *t**i**m**e* *i**s* *i**t* *n**o**w*?",
       {{"ka", u"ca"}, {"si", u"shi"}, {"ti", u"chi"}, {"nn", u"n"}, {"x", u"l"}, {"hu", u"fu"}},
       u"whattimeisitnow?"},
      {u"*s**h**i* *x**a*", {{"si", u"ci"}, {"x", u"l"}}, u"shixa"},
  };
  runCases(cases);
}

TEST(RewriteRomaji, DoubledConsonantsFollowTheChangedSyllable) {
  const Case cases[] = {
      {u"kka", {{"ka", u"ca"}}, u"cca"},
      {u"kku", {{"ku", u"qu"}}, u"qqu"},
      {u"kku", {{"ku", u"cu"}}, u"ccu"},
      {u"kko", {{"ko", u"co"}}, u"cco"},
      {u"tti", {{"ti", u"chi"}}, u"cchi"},
      {u"ttu", {{"tu", u"tsu"}}, u"ttsu"},
      {u"hhu", {{"hu", u"fu"}}, u"ffu"},
      {u"zzi", {{"zi", u"ji"}}, u"jji"},
      {u"xxa", {{"x", u"l"}}, u"lla"},
      {u"ttya", {{"cha", u"cha"}}, u"ccha"},
      {u"ttya", {{"cha", u"cya"}}, u"ccya"},
      {u"zzya", {{"ja", u"ja"}}, u"jja"},
  };
  runCases(cases);
}

TEST(RewriteRomaji, MainSettingsActOnCompoundOutput) {
  const Case cases[] = {
      {u"syu", {{"syu", u"shu"}, {"hu", u"fu"}}, u"sfu"},
      {u"tuxe", {{"tse", u"tse"}, {"se", u"ce"}}, u"cce"},  // "tce", then the doubled-letter fix
      {u"uxa", {{"x", u"l"}}, u"ula"},                      // the settings screen's example
      {u"uxa", {{"wha", u"wha"}, {"x", u"l"}}, u"wha"},
      {u"xya", {{"x", u"l"}}, u"xya"},                      // only x before a vowel
      {u"xtu", {{"x", u"l"}}, u"xtu"},
      {u"sixe", {{"she", u"she"}}, u"she"},
      {u"sixe", {{"si", u"shi"}}, u"shixe"},
  };
  runCases(cases);
}

// Each compound kana takes its own key setting: a short token (ixe, uxa ...)
// must not rewrite the inside of a longer one, and what the compound stage
// wrote is not read again.
TEST(RewriteRomaji, CompoundKanaTakeTheirOwnSetting) {
  const Case cases[] = {
      {u"huxa", {{"wha", u"wha"}}, u"huxa"},
      {u"huxa", {{"wha", u"wha"}, {"fa", u"fa"}}, u"fa"},
      {u"kixe", {{"ye", u"ye"}}, u"kixe"},
      {u"kixe", {{"ye", u"ye"}, {"kye", u"kye"}}, u"kye"},
      {u"suxixe", {{"swi", u"swi"}, {"ye", u"ye"}}, u"swixe"},
      {u"suxixe", {{"ye", u"ye"}}, u"suxixe"},
      {u"ixe", {{"ye", u"ye"}}, u"ye"},
      {u"vuxixe", {{"vi", u"vi"}, {"ye", u"ye"}}, u"vixe"},
      {u"uxinndousyoppinngu", {{"wi", u"whi"}, {"syo", u"sho"}}, u"whinndoushoppinngu"},
      {u"nixe", {{"nye", u"nye"}}, u"nye"},
      {u"dexi", {{"dhi", u"dhi"}}, u"dhi"},
      {u"mo-tuxaruto", {{"tsa", u"tsa"}}, u"mo-tsaruto"},
      {u"vuxo", {{"vo", u"vo"}}, u"vo"},
      // The vowel of a ん marker is not the start of a compound: ん い ぇ and
      // ん う ぁ keep their two n and their own small kana.
      {u"**nixe", {{"nye", u"nye"}, {"ye", u"ye"}, {"nn", u"n"}}, u"nnixe"},
      {u"**nuxa", {{"wha", u"wha"}}, u"nnuxa"},
      {u"**n1ixe", {{"nye", u"nye"}}, u"nnnixe"},
      {u"**nixe**nya", {{"x", u"l"}}, u"nnilennya"},
  };
  runCases(cases);
}

TEST(RewriteRomaji, EveryCompoundRowReplacesItsToken) {
  for (const auto& row : compoundKeyOptions()) {
    for (auto variant : row.offered()) {
      KeySettings s;
      ASSERT_TRUE(s.set(row.field, variant));
      const std::u16string in = u"a" + std::u16string(row.token) + u"a";
      EXPECT_EQ(toUtf8(rewriteRomaji(in, s)), "a" + toUtf8(variant) + "a") << row.field;
    }
  }
}

TEST(RewriteRomaji, MusicOptionReplacesEveryX) {
  const KeySettings l = settingsWith({{"x", u"l"}});
  const RewriteOptions music{.replaceEveryX = true};
  struct MusicCase { std::u16string_view in, out; };
  const MusicCase cases[] = {
      {u"xtu", u"ltu"}, {u"xya", u"lya"}, {u"*x*", u"l"}, {u"xxa", u"lla"}, {u"uxa", u"ula"},
  };
  for (const auto& c : cases) EXPECT_EQ(rewriteRomaji(c.in, l, music), c.out) << toUtf8(c.in);
  EXPECT_EQ(rewriteRomaji(u"xtu", KeySettings(), music), u"xtu");
}

TEST(RewriteRomaji, ReportsTheAppendedFinalN) {
  const KeySettings n = settingsWith({{"nn", u"n"}});
  struct FlagCase { std::u16string_view in; const KeySettings* settings; bool appended; };
  const KeySettings defaults;
  const FlagCase cases[] = {
      {u"pann", &n, true}, {u"pa*n*", &n, false}, {u"pann", &defaults, false}, {u"", &n, false}, {u"pa", &n, false},
  };
  for (const auto& c : cases) {
    bool appended = !c.appended;
    rewriteRomaji(c.in, *c.settings, RewriteOptions{}, &appended);
    EXPECT_EQ(appended, c.appended) << toUtf8(c.in);
  }
}

// With every setting at its canonical token the rewrite only drops spaces and
// asterisks and spells out the ん markers.
TEST(RewriteRomaji, DefaultsOnlyResolveNotation) {
  const KeySettings defaults;
  for (int level = 1; level <= kBuiltInLevelCount; ++level) {
    for (const auto& e : builtInList(level)) {
      // A marker is "**n" followed by "1", a vowel or "y"; a protected n is
      // always followed by its closing asterisk.
      std::u16string expected;
      const std::u16string_view in = e.romaji;
      for (std::size_t i = 0; i < in.size(); ++i) {
        if (in.substr(i).starts_with(u"**n") && i + 3 < in.size() &&
            std::u16string_view(u"1aiueoy").find(in[i + 3]) != std::u16string_view::npos) {
          expected += in[i + 3] == u'1' ? u"nnn" : u"nn";
          i += in[i + 3] == u'1' ? 3 : 2;
        } else if (in[i] != u' ' && in[i] != u'*') {
          expected += in[i];
        }
      }
      EXPECT_EQ(toUtf8(rewriteRomaji(e.romaji, defaults)), toUtf8(expected));
    }
  }
}

bool typable(std::u16string_view s) {
  for (char16_t c : s)
    if (c <= 0x20 || c >= 0x7F || c == u'*') return false;
  return true;
}

TEST(RewriteRomaji, EverySingleSettingChangeGivesTypableAscii) {
  const auto table = keyOptionTable();
  for (std::size_t row = 0; row < table.size(); ++row) {
    for (auto variant : table[row].offered()) {
      KeySettings s;
      ASSERT_TRUE(s.set(table[row].field, variant));
      for (int level = 1; level <= kBuiltInLevelCount; ++level) {
        for (const auto& e : builtInList(level)) {
          const std::u16string out = rewriteRomaji(e.romaji, s);
          EXPECT_FALSE(out.empty());
          EXPECT_TRUE(typable(out)) << table[row].field << "=" << toUtf8(variant) << ": " << toUtf8(e.romaji)
                                    << " -> " << toUtf8(out);
        }
      }
    }
  }
}

}  // namespace
}  // namespace lk
