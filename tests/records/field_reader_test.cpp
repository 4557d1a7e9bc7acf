#include "records/field_reader.h"

#include <gtest/gtest.h>

namespace lk {
namespace {

using Fields = std::vector<std::u16string>;

Fields readAll(std::vector<std::u16string> lines) {
  FieldReader in(std::move(lines));
  Fields out;
  while (auto f = in.next()) out.push_back(*f);
  return out;
}

TEST(FieldReader, FollowsTheFieldRule) {
  struct Case {
    const char* what;
    std::vector<std::u16string> lines;
    Fields fields;
  } cases[] = {
      {"quoted keeps commas and spaces", {u"\"a, b \""}, {u"a, b "}},
      {"leading spaces skipped", {u"   \"x\"", u"  y"}, {u"x", u"y"}},
      {"unquoted runs to the comma", {u"a,b"}, {u"a", u"b"}},
      {"unquoted keeps trailing spaces and inner quotes", {u"a\"b "}, {u"a\"b "}},
      {"rest after the closing quote skipped", {u"\"ab\"cd", u"\"e\" junk,\"f\""}, {u"ab", u"e", u"f"}},
      {"extra quotes end the field early", {u"\"a\"b\"c\""}, {u"a"}},
      {"unclosed quote runs to the line end", {u"\"abc", u"d"}, {u"abc", u"d"}},
      {"empty line and two quotes are empty fields", {u"", u"\"\""}, {u"", u""}},
      {"trailing comma leaves one empty field", {u"a,", u"b"}, {u"a", u"", u"b"}},
      {"full-width spaces are text", {u"　\"x\""}, {u"　\"x\""}},
  };
  for (const auto& c : cases) EXPECT_EQ(readAll(c.lines), c.fields) << c.what;
}

TEST(FieldReader, ReadingPastTheEndFails) {
  FieldReader in({u"\"only\""});
  EXPECT_TRUE(in.next().has_value());
  EXPECT_FALSE(in.next().has_value());
  EXPECT_FALSE(in.nextNumber().has_value());
}

TEST(FieldReader, Numbers) {
  struct Case {
    std::u16string field;
    std::optional<int> value;
  } cases[] = {
      {u" 6 ", 6}, {u"6", 6}, {u"-25 ", -25}, {u"0", 0}, {u"2147483647", 2147483647},
      {u"", std::nullopt}, {u"  ", std::nullopt}, {u"-", std::nullopt}, {u"6a", std::nullopt},
      {u"6 7", std::nullopt}, {u"+6", std::nullopt}, {u"2147483648", std::nullopt},
      {u"99999999999999999999", std::nullopt}, {u"６", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(parseNumberField(c.field), c.value);
  FieldReader in({u" 6 ", u"\"7\"", u"x"});
  EXPECT_EQ(in.nextNumber(), 6);
  EXPECT_EQ(in.nextNumber(), 7);  // a quoted number still reads as one
  EXPECT_EQ(in.nextNumber(), std::nullopt);
}

TEST(FieldForms, NumbersAndQuotes) {
  EXPECT_EQ(bareNumberField(12), u"12");
  EXPECT_EQ(spacedNumberField(267), u" 267 ");
  EXPECT_EQ(spacedNumberField(-25), u"-25 ");
  EXPECT_EQ(quotedField(u"a,b"), u"\"a,b\"");
  EXPECT_TRUE(isWritableField(u"カンマ, も可"));
  for (std::u16string bad : {u"a\"b", u"a\nb", u"a\rb"}) EXPECT_FALSE(isWritableField(bad));
}

}  // namespace
}  // namespace lk
