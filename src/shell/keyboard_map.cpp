#include "shell/keyboard_map.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lk {
namespace {

// The characters a key gives on one layout; {0, 0}: the layout has no
// character key there (JIS 半角/全角, US Backspace and Enter).
struct Chars {
  char16_t base;
  char16_t shifted;
};

struct PhysicalKey {
  std::string_view code;
  int row;
  double x;
  Finger finger;
  Chars jis;
  Chars us;
};

constexpr Finger LP = Finger::LeftPinky, LR = Finger::LeftRing, LM = Finger::LeftMiddle, LI = Finger::LeftIndex,
                 RI = Finger::RightIndex, RM = Finger::RightMiddle, RR = Finger::RightRing, RP = Finger::RightPinky;

// A Japanese 106/109 and a US 101/104 keyboard share their positions; where
// they differ one layout has no character key. JIS gives a backslash on two
// keys, the yen key (AE13) and the ろ key (AB11).
constexpr PhysicalKey kKeys[] = {
    {"TLDE", 0, 0.0, LP, {0, 0}, {u'`', u'~'}},
    {"AE01", 0, 1.0, LP, {u'1', u'!'}, {u'1', u'!'}},
    {"AE02", 0, 2.0, LR, {u'2', u'"'}, {u'2', u'@'}},
    {"AE03", 0, 3.0, LM, {u'3', u'#'}, {u'3', u'#'}},
    {"AE04", 0, 4.0, LI, {u'4', u'$'}, {u'4', u'$'}},
    {"AE05", 0, 5.0, LI, {u'5', u'%'}, {u'5', u'%'}},
    {"AE06", 0, 6.0, RI, {u'6', u'&'}, {u'6', u'^'}},
    {"AE07", 0, 7.0, RI, {u'7', u'\''}, {u'7', u'&'}},
    {"AE08", 0, 8.0, RM, {u'8', u'('}, {u'8', u'*'}},
    {"AE09", 0, 9.0, RR, {u'9', u')'}, {u'9', u'('}},
    {"AE10", 0, 10.0, RP, {u'0', 0}, {u'0', u')'}},
    {"AE11", 0, 11.0, RP, {u'-', u'='}, {u'-', u'_'}},
    {"AE12", 0, 12.0, RP, {u'^', u'~'}, {u'=', u'+'}},
    {"AE13", 0, 13.0, RP, {u'\\', u'|'}, {0, 0}},
    {"AD01", 1, 1.5, LP, {u'q', u'Q'}, {u'q', u'Q'}},
    {"AD02", 1, 2.5, LR, {u'w', u'W'}, {u'w', u'W'}},
    {"AD03", 1, 3.5, LM, {u'e', u'E'}, {u'e', u'E'}},
    {"AD04", 1, 4.5, LI, {u'r', u'R'}, {u'r', u'R'}},
    {"AD05", 1, 5.5, LI, {u't', u'T'}, {u't', u'T'}},
    {"AD06", 1, 6.5, RI, {u'y', u'Y'}, {u'y', u'Y'}},
    {"AD07", 1, 7.5, RI, {u'u', u'U'}, {u'u', u'U'}},
    {"AD08", 1, 8.5, RM, {u'i', u'I'}, {u'i', u'I'}},
    {"AD09", 1, 9.5, RR, {u'o', u'O'}, {u'o', u'O'}},
    {"AD10", 1, 10.5, RP, {u'p', u'P'}, {u'p', u'P'}},
    {"AD11", 1, 11.5, RP, {u'@', u'`'}, {u'[', u'{'}},
    {"AD12", 1, 12.5, RP, {u'[', u'{'}, {u']', u'}'}},
    {"BKSL", 1, 13.5, RP, {0, 0}, {u'\\', u'|'}},
    {"AC01", 2, 1.75, LP, {u'a', u'A'}, {u'a', u'A'}},
    {"AC02", 2, 2.75, LR, {u's', u'S'}, {u's', u'S'}},
    {"AC03", 2, 3.75, LM, {u'd', u'D'}, {u'd', u'D'}},
    {"AC04", 2, 4.75, LI, {u'f', u'F'}, {u'f', u'F'}},
    {"AC05", 2, 5.75, LI, {u'g', u'G'}, {u'g', u'G'}},
    {"AC06", 2, 6.75, RI, {u'h', u'H'}, {u'h', u'H'}},
    {"AC07", 2, 7.75, RI, {u'j', u'J'}, {u'j', u'J'}},
    {"AC08", 2, 8.75, RM, {u'k', u'K'}, {u'k', u'K'}},
    {"AC09", 2, 9.75, RR, {u'l', u'L'}, {u'l', u'L'}},
    {"AC10", 2, 10.75, RP, {u';', u'+'}, {u';', u':'}},
    {"AC11", 2, 11.75, RP, {u':', u'*'}, {u'\'', u'"'}},
    {"AC12", 2, 12.75, RP, {u']', u'}'}, {0, 0}},
    {"AB01", 3, 2.25, LP, {u'z', u'Z'}, {u'z', u'Z'}},
    {"AB02", 3, 3.25, LR, {u'x', u'X'}, {u'x', u'X'}},
    {"AB03", 3, 4.25, LM, {u'c', u'C'}, {u'c', u'C'}},
    {"AB04", 3, 5.25, LI, {u'v', u'V'}, {u'v', u'V'}},
    {"AB05", 3, 6.25, LI, {u'b', u'B'}, {u'b', u'B'}},
    {"AB06", 3, 7.25, RI, {u'n', u'N'}, {u'n', u'N'}},
    {"AB07", 3, 8.25, RI, {u'm', u'M'}, {u'm', u'M'}},
    {"AB08", 3, 9.25, RM, {u',', u'<'}, {u',', u'<'}},
    {"AB09", 3, 10.25, RR, {u'.', u'>'}, {u'.', u'>'}},
    {"AB10", 3, 11.25, RP, {u'/', u'?'}, {u'/', u'?'}},
    {"AB11", 3, 12.25, RP, {u'\\', u'_'}, {0, 0}},
};

constexpr std::u16string_view kHomeKeys = u"asdfjkl;";
constexpr double kWidth = 15.0;
constexpr double kShiftWidth = 2.25;  // the left Shift; the right one fills its row

struct SpaceBar {
  double x;
  double width;
};
constexpr SpaceBar kJisSpace{4.5, 5.0};  // shortened by 無変換 and 変換
constexpr SpaceBar kUsSpace{3.75, 6.25};

constexpr char16_t kFullWidthReverseSolidus = u'\uFF3C';
constexpr char16_t kYen = u'\u00A5';

char16_t legendOf(KeyboardLayout layout, std::string_view code, char16_t ch) {
  if (ch >= u'a' && ch <= u'z') return static_cast<char16_t>(ch - u'a' + u'A');
  if (ch == u'\\') return layout == KeyboardLayout::Jis && code == "AE13" ? kYen : kFullWidthReverseSolidus;
  return ch;
}

std::vector<GuideKey> build(KeyboardLayout layout) {
  const bool jis = layout == KeyboardLayout::Jis;
  std::vector<GuideKey> keys;
  double rowEnd = 0;
  for (const PhysicalKey& p : kKeys) {
    const Chars c = jis ? p.jis : p.us;
    if (!c.base) continue;
    if (p.row == 3 && keys.back().row == 2) {
      keys.push_back({KeyRole::LeftShift, "LFSH", 3, 0.0, kShiftWidth, 0, 0, 0, 0, Finger::LeftPinky, false});
    }
    keys.push_back({KeyRole::Character, p.code, p.row, p.x, 1.0, c.base, c.shifted, legendOf(layout, p.code, c.base),
                    c.shifted ? legendOf(layout, p.code, c.shifted) : char16_t{0}, p.finger,
                    kHomeKeys.find(c.base) != std::u16string_view::npos});
    rowEnd = p.x + 1.0;
  }
  keys.push_back({KeyRole::RightShift, "RTSH", 3, rowEnd, kWidth - rowEnd, 0, 0, 0, 0, Finger::RightPinky, false});
  const SpaceBar space = jis ? kJisSpace : kUsSpace;
  keys.push_back({KeyRole::Space, "SPCE", 4, space.x, space.width, u' ', 0, 0, 0, Finger::Thumb, false});
  return keys;
}

const std::vector<GuideKey>& keysOf(KeyboardLayout layout) {
  static const std::vector<GuideKey> jis = build(KeyboardLayout::Jis);
  static const std::vector<GuideKey> us = build(KeyboardLayout::Us);
  return layout == KeyboardLayout::Us ? us : jis;
}

const GuideKey* roleKey(const std::vector<GuideKey>& keys, KeyRole role) {
  auto it = std::find_if(keys.begin(), keys.end(), [role](const GuideKey& k) { return k.role == role; });
  return it == keys.end() ? nullptr : &*it;
}

bool leftHand(Finger f) { return f <= Finger::LeftIndex; }

}  // namespace

std::span<const GuideKey> guideKeys(KeyboardLayout layout) { return keysOf(layout); }

std::optional<GuideStroke> strokeFor(KeyboardLayout layout, char16_t ch) {
  if (ch == 0) return std::nullopt;
  const std::vector<GuideKey>& keys = keysOf(layout);
  // A key that gives the character unshifted wins over one that needs Shift.
  for (const GuideKey& k : keys) {
    if (k.base == ch) return GuideStroke{&k, nullptr};
  }
  for (const GuideKey& k : keys) {
    if (k.shifted == ch) {
      // Shift is held by the little finger of the other hand.
      const GuideKey* shift = roleKey(keys, leftHand(k.finger) ? KeyRole::RightShift : KeyRole::LeftShift);
      return GuideStroke{&k, shift};
    }
  }
  return std::nullopt;
}

double keyboardWidth(KeyboardLayout layout) {
  double w = 0;
  for (const GuideKey& k : keysOf(layout)) w = std::max(w, k.x + k.width);
  return w;
}

char16_t displayedCharacter(KeyboardLayout layout, char16_t ch) {
  return layout == KeyboardLayout::Us && ch == u'\\' ? kFullWidthReverseSolidus : ch;
}

std::u16string_view fingerName(Finger finger) {
  static constexpr std::array<std::u16string_view, kFingerCount> kNames = {
      u"左小指", u"左薬指", u"左中指", u"左人差し指", u"右人差し指", u"右中指", u"右薬指", u"右小指", u"親指"};
  return kNames[static_cast<std::size_t>(finger)];
}

}  // namespace lk
