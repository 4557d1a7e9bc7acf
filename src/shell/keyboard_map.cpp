#include "shell/keyboard_map.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lk {
namespace {

// One row of character keys: where it starts, what each key gives without
// and with Shift (a space: nothing), and each key's finger as a digit,
// 1 left pinky … 4 left index, 5 right index … 8 right pinky.
struct RowData {
  double x;
  std::u16string_view base;
  std::u16string_view shifted;
  std::string_view fingers;
};

struct LayoutData {
  std::array<RowData, 4> rows;
  double leftShiftWidth;
  double spaceX;
  double spaceWidth;
  double width;
};

// Japanese 106/109 keyboard; the ¥ key and the ろ key both give a backslash.
constexpr LayoutData kJis = {{{
                                 {1.0, u"1234567890-^\\", u"!\"#$%&'() =~|", "1234455678888"},
                                 {1.5, u"qwertyuiop@[", u"QWERTYUIOP`{", "123445567888"},
                                 {1.75, u"asdfghjkl;:]", u"ASDFGHJKL+*}", "123445567888"},
                                 {2.25, u"zxcvbnm,./\\", u"ZXCVBNM<>?_", "12344556788"},
                             }},
                             2.25,
                             4.5,
                             5.0,
                             15.0};

// US 101/104 keyboard.
constexpr LayoutData kUs = {{{
                                {0.0, u"`1234567890-=", u"~!@#$%^&*()_+", "1123445567888"},
                                {1.5, u"qwertyuiop[]\\", u"QWERTYUIOP{}|", "1234455678888"},
                                {1.75, u"asdfghjkl;'", u"ASDFGHJKL:\"", "12344556788"},
                                {2.25, u"zxcvbnm,./", u"ZXCVBNM<>?", "1234455678"},
                            }},
                            2.25,
                            3.75,
                            6.25,
                            15.0};

std::vector<GuideKey> build(const LayoutData& d) {
  std::vector<GuideKey> keys;
  for (int r = 0; r < 4; ++r) {
    const RowData& row = d.rows[static_cast<std::size_t>(r)];
    if (r == 3) keys.push_back({KeyRole::LeftShift, 3, 0.0, d.leftShiftWidth, 0, 0, Finger::LeftPinky});
    for (std::size_t i = 0; i < row.base.size(); ++i) {
      const char16_t s = row.shifted[i] == u' ' ? 0 : row.shifted[i];
      keys.push_back({KeyRole::Character, r, row.x + static_cast<double>(i), 1.0, row.base[i], s,
                      static_cast<Finger>(row.fingers[i] - '1')});
    }
    if (r == 3) {
      const double x = row.x + static_cast<double>(row.base.size());
      keys.push_back({KeyRole::RightShift, 3, x, d.width - x, 0, 0, Finger::RightPinky});
    }
  }
  keys.push_back({KeyRole::Space, 4, d.spaceX, d.spaceWidth, u' ', 0, Finger::Thumb});
  return keys;
}

const std::vector<GuideKey>& keysOf(KeyboardLayout layout) {
  static const std::vector<GuideKey> jis = build(kJis);
  static const std::vector<GuideKey> us = build(kUs);
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

std::u16string_view fingerName(Finger finger) {
  static constexpr std::array<std::u16string_view, kFingerCount> kNames = {
      u"左小指", u"左薬指", u"左中指", u"左人差し指", u"右人差し指", u"右中指", u"右薬指", u"右小指", u"親指"};
  return kNames[static_cast<std::size_t>(finger)];
}

}  // namespace lk
