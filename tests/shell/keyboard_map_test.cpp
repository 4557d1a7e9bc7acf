#include "shell/keyboard_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace lk {
namespace {

constexpr auto J = KeyboardLayout::Jis;
constexpr auto U = KeyboardLayout::Us;

std::string show(char16_t c) { return c < 0x80 ? std::string(1, static_cast<char>(c)) : "U+" + std::to_string(int(c)); }

struct StrokeCase {
  KeyboardLayout layout;
  char16_t ch;
  char16_t key;  // the unshifted character of the key to light
  int row;
  Finger finger;
  KeyRole shift;  // KeyRole::Character: no Shift
};

// Home row, reach keys, and the signs whose keys differ between the layouts.
const StrokeCase kStrokes[] = {
    {J, u'a', u'a', 2, Finger::LeftPinky, KeyRole::Character},
    {J, u's', u's', 2, Finger::LeftRing, KeyRole::Character},
    {J, u'd', u'd', 2, Finger::LeftMiddle, KeyRole::Character},
    {J, u'f', u'f', 2, Finger::LeftIndex, KeyRole::Character},
    {J, u'g', u'g', 2, Finger::LeftIndex, KeyRole::Character},
    {J, u'h', u'h', 2, Finger::RightIndex, KeyRole::Character},
    {J, u'j', u'j', 2, Finger::RightIndex, KeyRole::Character},
    {J, u'k', u'k', 2, Finger::RightMiddle, KeyRole::Character},
    {J, u'l', u'l', 2, Finger::RightRing, KeyRole::Character},
    {J, u';', u';', 2, Finger::RightPinky, KeyRole::Character},
    {J, u't', u't', 1, Finger::LeftIndex, KeyRole::Character},
    {J, u'y', u'y', 1, Finger::RightIndex, KeyRole::Character},
    {J, u'n', u'n', 3, Finger::RightIndex, KeyRole::Character},
    {J, u'b', u'b', 3, Finger::LeftIndex, KeyRole::Character},
    {J, u'5', u'5', 0, Finger::LeftIndex, KeyRole::Character},
    {J, u'6', u'6', 0, Finger::RightIndex, KeyRole::Character},
    {J, u'0', u'0', 0, Finger::RightPinky, KeyRole::Character},
    {J, u'-', u'-', 0, Finger::RightPinky, KeyRole::Character},
    {J, u'A', u'a', 2, Finger::LeftPinky, KeyRole::RightShift},
    {J, u'J', u'j', 2, Finger::RightIndex, KeyRole::LeftShift},
    {J, u':', u':', 2, Finger::RightPinky, KeyRole::Character},
    {J, u'+', u';', 2, Finger::RightPinky, KeyRole::LeftShift},
    {J, u'*', u':', 2, Finger::RightPinky, KeyRole::LeftShift},
    {J, u'@', u'@', 1, Finger::RightPinky, KeyRole::Character},
    {J, u'"', u'2', 0, Finger::LeftRing, KeyRole::RightShift},
    {J, u'(', u'8', 0, Finger::RightMiddle, KeyRole::LeftShift},
    {J, u')', u'9', 0, Finger::RightRing, KeyRole::LeftShift},
    {J, u'=', u'-', 0, Finger::RightPinky, KeyRole::LeftShift},
    {J, u'!', u'1', 0, Finger::LeftPinky, KeyRole::RightShift},
    {J, u'?', u'/', 3, Finger::RightPinky, KeyRole::LeftShift},
    {J, u'_', u'\\', 3, Finger::RightPinky, KeyRole::LeftShift},
    {J, u'\\', u'\\', 0, Finger::RightPinky, KeyRole::Character},
    {J, u' ', u' ', 4, Finger::Thumb, KeyRole::Character},
    {U, u'a', u'a', 2, Finger::LeftPinky, KeyRole::Character},
    {U, u'f', u'f', 2, Finger::LeftIndex, KeyRole::Character},
    {U, u'j', u'j', 2, Finger::RightIndex, KeyRole::Character},
    {U, u';', u';', 2, Finger::RightPinky, KeyRole::Character},
    {U, u'1', u'1', 0, Finger::LeftPinky, KeyRole::Character},
    {U, u'`', u'`', 0, Finger::LeftPinky, KeyRole::Character},
    {U, u'6', u'6', 0, Finger::RightIndex, KeyRole::Character},
    {U, u'Q', u'q', 1, Finger::LeftPinky, KeyRole::RightShift},
    {U, u'P', u'p', 1, Finger::RightPinky, KeyRole::LeftShift},
    {U, u':', u';', 2, Finger::RightPinky, KeyRole::LeftShift},
    {U, u'@', u'2', 0, Finger::LeftRing, KeyRole::RightShift},
    {U, u'"', u'\'', 2, Finger::RightPinky, KeyRole::LeftShift},
    {U, u'(', u'9', 0, Finger::RightRing, KeyRole::LeftShift},
    {U, u'=', u'=', 0, Finger::RightPinky, KeyRole::Character},
    {U, u'+', u'=', 0, Finger::RightPinky, KeyRole::LeftShift},
    {U, u'_', u'-', 0, Finger::RightPinky, KeyRole::LeftShift},
    {U, u'%', u'5', 0, Finger::LeftIndex, KeyRole::RightShift},
    {U, u'\\', u'\\', 1, Finger::RightPinky, KeyRole::Character},
    {U, u'?', u'/', 3, Finger::RightPinky, KeyRole::LeftShift},
    {U, u')', u'0', 0, Finger::RightPinky, KeyRole::LeftShift},
    {U, u'~', u'`', 0, Finger::LeftPinky, KeyRole::RightShift},
    {U, u'|', u'\\', 1, Finger::RightPinky, KeyRole::LeftShift},
    {J, u'|', u'\\', 0, Finger::RightPinky, KeyRole::LeftShift},
    {J, u'Q', u'q', 1, Finger::LeftPinky, KeyRole::RightShift},
};

TEST(KeyboardMap, LightsTheKeyFingerAndShiftOfEachCharacter) {
  for (const StrokeCase& c : kStrokes) {
    SCOPED_TRACE((c.layout == J ? "JIS '" : "US '") + show(c.ch) + "'");
    const auto s = strokeFor(c.layout, c.ch);
    ASSERT_TRUE(s.has_value());
    ASSERT_NE(s->key, nullptr);
    EXPECT_EQ(show(s->key->base), show(c.key));
    EXPECT_EQ(s->key->row, c.row);
    EXPECT_EQ(s->key->finger, c.finger);
    if (c.shift == KeyRole::Character) {
      EXPECT_EQ(s->shift, nullptr);
    } else {
      ASSERT_NE(s->shift, nullptr);
      EXPECT_EQ(s->shift->role, c.shift);
    }
  }
}

TEST(KeyboardMap, CharactersNoKeyGivesLightNothing) {
  for (KeyboardLayout layout : {J, U}) {
    for (char16_t c : {u'\0', u'\r', u'\b', u'\x1b', u'終', u'あ', u'ー'}) EXPECT_FALSE(strokeFor(layout, c).has_value()) << show(c);
  }
}

// Every sign a drill can ask (problem texts, the advanced one-character
// list) is on both keyboards, on a key that really gives it, and Shift
// comes from the other hand.
TEST(KeyboardMap, EveryPrintableAsciiCharacterHasAConsistentStroke) {
  for (KeyboardLayout layout : {J, U}) {
    for (char16_t c = 0x21; c <= 0x7e; ++c) {
      SCOPED_TRACE((layout == J ? "JIS '" : "US '") + show(c));
      const auto s = strokeFor(layout, c);
      ASSERT_TRUE(s.has_value());
      EXPECT_EQ(s->key->role, KeyRole::Character);
      if (s->shift) {
        EXPECT_EQ(s->key->shifted, c);
        EXPECT_NE(s->key->base, c);
        const bool leftKey = s->key->finger <= Finger::LeftIndex;
        EXPECT_EQ(s->shift->role, leftKey ? KeyRole::RightShift : KeyRole::LeftShift);
      } else {
        EXPECT_EQ(s->key->base, c);
      }
    }
  }
}

// Keys of one row sit side by side inside the keyboard, never overlapping.
TEST(KeyboardMap, KeysOfARowDoNotOverlap) {
  for (KeyboardLayout layout : {J, U}) {
    const auto keys = guideKeys(layout);
    EXPECT_DOUBLE_EQ(keyboardWidth(layout), 15.0);
    for (std::size_t i = 0; i < keys.size(); ++i) {
      EXPECT_GE(keys[i].x, 0.0);
      EXPECT_LE(keys[i].x + keys[i].width, keyboardWidth(layout) + 1e-9);
      if (i > 0 && keys[i - 1].row == keys[i].row) {
        EXPECT_LE(keys[i - 1].x + keys[i - 1].width, keys[i].x + 1e-9);
      }
    }
  }
}

const GuideKey* keyAt(KeyboardLayout layout, std::string_view code) {
  for (const GuideKey& k : guideKeys(layout)) {
    if (k.code == code) return &k;
  }
  return nullptr;
}

// What the keycaps show. A Japanese font draws U+005C as ¥: the JIS yen
// key shows ¥, the JIS ろ key and the US backslash key a backslash that no
// font turns into ¥, and US has its ` key where JIS has 半角/全角.
TEST(KeyboardMap, LegendsAreWhatEachLayoutPrints) {
  struct Case {
    KeyboardLayout layout;
    std::string_view code;
    char16_t base, shifted;
    char16_t legend, shiftedLegend;
  } cases[] = {
      {J, "AE13", u'\\', u'|', u'\u00A5', u'|'},
      {J, "AB11", u'\\', u'_', u'\uFF3C', u'_'},
      {U, "BKSL", u'\\', u'|', u'\uFF3C', u'|'},
      {U, "TLDE", u'`', u'~', u'`', u'~'},
      {J, "AD11", u'@', u'`', u'@', u'`'},
      {U, "AD11", u'[', u'{', u'[', u'{'},
      {J, "AC11", u':', u'*', u':', u'*'},
      {U, "AC11", u'\'', u'"', u'\'', u'"'},
      {J, "AC01", u'a', u'A', u'A', u'A'},
      {U, "AE02", u'2', u'@', u'2', u'@'},
      {J, "AE02", u'2', u'"', u'2', u'"'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.layout == J ? "JIS " : "US ") + std::string(c.code));
    const GuideKey* k = keyAt(c.layout, c.code);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(show(k->base), show(c.base));
    EXPECT_EQ(show(k->shifted), show(c.shifted));
    EXPECT_EQ(show(k->legend), show(c.legend));
    EXPECT_EQ(show(k->shiftedLegend), show(c.shiftedLegend));
  }
  // Keys one layout does not have.
  for (std::string_view code : {"TLDE", "BKSL"}) EXPECT_EQ(keyAt(J, code), nullptr) << code;
  for (std::string_view code : {"AE13", "AB11", "AC12"}) EXPECT_EQ(keyAt(U, code), nullptr) << code;
  // No keycap of US shows ¥.
  for (const GuideKey& k : guideKeys(U)) {
    EXPECT_NE(k.legend, u'\u00A5');
    EXPECT_NE(k.legend, u'\\') << "a Japanese font draws it as ¥";
  }
  EXPECT_EQ(show(displayedCharacter(U, u'\\')), show(u'\uFF3C'));
  EXPECT_EQ(show(displayedCharacter(J, u'\\')), show(u'\\'));
  EXPECT_EQ(show(displayedCharacter(U, u'a')), "a");
}

// One physical key is one key on both layouts: same place, same finger, and
// the home row is ASDF JKL; on both.
TEST(KeyboardMap, BothLayoutsShareThePhysicalKeys) {
  for (const GuideKey& j : guideKeys(J)) {
    const GuideKey* u = keyAt(U, j.code);
    if (!u) continue;
    SCOPED_TRACE(std::string(j.code));
    EXPECT_EQ(u->row, j.row);
    EXPECT_EQ(u->finger, j.finger);
    if (j.role == KeyRole::Character) EXPECT_DOUBLE_EQ(u->x, j.x);
  }
  for (KeyboardLayout layout : {J, U}) {
    std::u16string home;
    for (const GuideKey& k : guideKeys(layout)) {
      if (k.home) home += k.base;
      EXPECT_EQ(std::count_if(guideKeys(layout).begin(), guideKeys(layout).end(),
                              [&](const GuideKey& o) { return o.code == k.code; }),
                1)
          << k.code;
    }
    EXPECT_EQ(home, u"asdfjkl;");
  }
}

}  // namespace
}  // namespace lk
