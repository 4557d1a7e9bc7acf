#include "engine/key_settings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace lk {
namespace {

TEST(KeyOptionTable, RowsHaveWellFormedVariants) {
  const auto table = keyOptionTable();
  ASSERT_EQ(table.size(), 91u);
  std::set<std::string_view> fields;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const KeyOption& row = table[i];
    SCOPED_TRACE(std::string(row.field));
    EXPECT_TRUE(fields.insert(row.field).second) << "duplicate field";
    ASSERT_GE(row.variantCount, 2);
    ASSERT_LE(row.variantCount, 4);
    EXPECT_TRUE(row.offers(row.token)) << "canonical token must be offered";
    for (auto v : row.offered()) {
      ASSERT_GE(v.size(), 1u);
      ASSERT_LE(v.size(), 4u);
      for (char16_t c : v) EXPECT_TRUE(c >= u'a' && c <= u'z');
    }
    // Only にぇ lists another variant first.
    if (row.field == "nye") {
      EXPECT_EQ(row.variants[0], u"nye");
      EXPECT_EQ(row.token, u"nixe");
    } else {
      EXPECT_EQ(row.variants[0], row.token);
    }
  }
}

TEST(KeyOptionTable, FixedRowsAndGroups) {
  const auto table = keyOptionTable();
  struct Row { int index; std::string_view field; std::u16string_view label, token; int count; };
  const Row rows[] = {
      {0, "ka", u"か", u"ka", 2},       {3, "si", u"し", u"si", 3},     {8, "nn", u"ん", u"nn", 2},
      {10, "x", u"小文字", u"x", 2},    {11, "ye", u"いぇ", u"ixe", 2}, {18, "qa", u"くぁ", u"kuxa", 4},
      {41, "tso", u"つぉ", u"tuxo", 2}, {42, "thi", u"てぃ", u"texi", 2}, {50, "nye", u"にぇ", u"nixe", 2},
      {87, "va", u"ヴぁ", u"vuxa", 2},  {90, "vo", u"ヴぉ", u"vuxo", 2},
  };
  for (const auto& r : rows) {
    const auto& row = table[static_cast<std::size_t>(r.index)];
    EXPECT_EQ(row.field, r.field);
    EXPECT_EQ(row.kanaLabel, r.label);
    EXPECT_EQ(row.token, r.token);
    EXPECT_EQ(row.variantCount, r.count);
    EXPECT_EQ(keyOptionIndex(r.field), r.index);
    EXPECT_EQ(keyOptionIndexByToken(r.token), r.index);
  }
  EXPECT_EQ(table[10].offered()[1], u"l");
  EXPECT_EQ(keyOptionIndex("nope"), -1);
  EXPECT_EQ(keyOptionIndexByToken(u"xyz"), -1);

  const auto compounds = compoundKeyOptions();
  ASSERT_EQ(compounds.size(), 80u);
  EXPECT_EQ(compounds.front().field, "ye");
  EXPECT_EQ(compounds.back().field, "vo");
  EXPECT_EQ(compounds.data(), table.data() + 11) << "one table, not a copy";
}

TEST(KeySettingsRecord, DefaultsAreCanonicalTokens) {
  KeySettings s;
  s.koukaon = 1;
  s.saidai = 50;
  ASSERT_TRUE(s.set("nye", u"nye"));
  ASSERT_TRUE(s.set("x", u"l"));
  s.setDefaults();
  EXPECT_EQ(s.koukaon, 0);
  EXPECT_TRUE(s.soundOn());
  EXPECT_EQ(s.saidai, 30);
  for (int i = 0; i < kKeySettingCount; ++i) EXPECT_EQ(s.variant(i), keyOptionTable()[static_cast<std::size_t>(i)].token);
  EXPECT_EQ(s.variant("nye"), u"nixe") << "default is the token, not the first item";
  EXPECT_EQ(s, KeySettings());
}

TEST(KeySettingsRecord, SetAcceptsOnlyOfferedVariants) {
  KeySettings s;
  EXPECT_TRUE(s.set("si", u"shi"));
  EXPECT_EQ(s.variant("si"), u"shi");
  EXPECT_EQ(s.variant(3), u"shi");

  const KeySettings before = s;
  EXPECT_FALSE(s.set("si", u"chi"));   // belongs to another row
  EXPECT_FALSE(s.set("si", u""));
  EXPECT_FALSE(s.set("x", u"xx"));
  EXPECT_FALSE(s.set("shi", u"shi"));  // a variant, not a field
  EXPECT_FALSE(s.set("", u"ka"));
  EXPECT_EQ(s, before);
}

}  // namespace
}  // namespace lk
