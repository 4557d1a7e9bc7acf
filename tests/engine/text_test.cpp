#include "engine/text.h"

#include <gtest/gtest.h>

namespace lk {
namespace {

TEST(ReplaceAll, NonOverlappingWithoutRescan) {
  struct Case { std::u16string_view in, find, repl, out; };
  const Case cases[] = {
      {u"aaa", u"aa", u"b", u"ba"},           // occurrences do not overlap
      {u"kka", u"k", u"kk", u"kkkka"},        // inserted text is not scanned again
      {u"nnnn", u"nn", u"n", u"nn"},
      {u"a b c", u" ", u"", u"abc"},          // empty replacement deletes
      {u"abc", u"", u"x", u"abc"},            // empty find is a no-op
      {u"ab", u"abc", u"x", u"ab"},
      {u"", u"a", u"b", u""},
      {u"しゃしゃ", u"しゃ", u"sya", u"syasya"},
  };
  for (const auto& c : cases) {
    std::u16string s(c.in);
    replaceAll(s, c.find, c.repl);
    EXPECT_EQ(s, c.out) << toUtf8(c.in) << " / " << toUtf8(c.find);
  }
}

TEST(ReplaceLongestFirst, LongestAtEachPositionThenResume) {
  const Replacement list[] = {{u"ixe", u"ye"}, {u"kixe", u"kye"}, {u"ye", u"YE"}, {u"k", u"c"}};
  struct Case { std::u16string_view in, out; };
  const Case cases[] = {
      {u"kixe", u"kye"},        // longer entry wins though listed later
      {u"ixe", u"ye"},          // written text is not re-read by "ye"
      {u"akixeixek", u"akyeyec"},
      {u"", u""},
  };
  for (const auto& c : cases) {
    std::u16string s(c.in);
    replaceLongestFirst(s, list);
    EXPECT_EQ(s, c.out) << toUtf8(c.in);
  }
}

TEST(Utf8, RoundTripAndInvalidInput) {
  const std::u16string sample = u"ルミナキー 初 級 a\U0001F600";
  EXPECT_EQ(fromUtf8(toUtf8(sample)), sample);
  EXPECT_EQ(fromUtf8("\xff" "a"), u"\uFFFDa");
  EXPECT_EQ(fromUtf8("\xe3\x81"), u"\uFFFD\uFFFD");  // truncated sequence
  EXPECT_EQ(toUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
  EXPECT_EQ(fromAscii("ka"), u"ka");
}

}  // namespace
}  // namespace lk
