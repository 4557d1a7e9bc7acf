#pragma once

// The user's key settings: which romaji variant the drills expect for each of
// the 91 kana and kana groups, plus the sound switch and the question limit.
// The option table is static data; KeySettings holds the current choices.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lk {

inline constexpr int kKeySettingCount = 91;
// Rows 0..10 (0-based) are the main settings, 11..90 the detailed ones.
inline constexpr int kMainKeySettingCount = 11;
// Rows 0..41 are edited on the first settings page, 42..90 on the second.
inline constexpr int kFirstPageKeySettingCount = 42;

struct KeyOption {
  std::string_view field;        // KeySettings member name ("ka", "nye"); the control is field + "_c"
  std::u16string_view kanaLabel; // caption beside the list ("か", "小文字")
  std::u16string_view token;     // canonical token, also the default ("ka", "nixe")
  std::array<std::u16string_view, 4> variants;  // in list order; the first `variantCount` are used
  int variantCount;

  std::span<const std::u16string_view> offered() const { return {variants.data(), static_cast<std::size_t>(variantCount)}; }
  bool offers(std::u16string_view v) const;
};

// The 91 rows in their fixed order (the order of set.dat and the settings screens).
std::span<const KeyOption> keyOptionTable();

// Rows 12..91 (0-based 11..90): the kana combinations with a small vowel or
// small ya/yu/yo. The rewrite and the melody template share this one table.
std::span<const KeyOption> compoundKeyOptions();

// 0-based row of a field name, or -1.
int keyOptionIndex(std::string_view field);

// 0-based row whose canonical token is `token` ("sya" -> 25), or -1.
int keyOptionIndexByToken(std::u16string_view token);

// Choices of the question limit and of the sound switch, in list order.
inline constexpr std::array<std::int16_t, 5> kSaidaiChoices = {10, 20, 30, 40, 50};
inline constexpr std::int16_t kSaidaiDefault = 30;
inline constexpr std::array<std::u16string_view, 2> kKoukaonChoices = {u"On", u"Off"};

struct KeySettings {
  std::int16_t koukaon = 0;  // 0 = sound effects on, 1 = off
  std::int16_t saidai = kSaidaiDefault;
  std::array<std::u16string, kKeySettingCount> keys;  // current variant of each row

  KeySettings();  // starts at the defaults

  // Every key setting to its canonical token, saidai 30, koukaon 0.
  void setDefaults();

  // Current variant of a row, by 0-based index or field name (field must exist).
  const std::u16string& variant(int row) const { return keys[static_cast<std::size_t>(row)]; }
  const std::u16string& variant(std::string_view field) const;

  // Sets a row's variant; false (and no change) when the field is unknown or
  // its row does not offer that variant.
  bool set(std::string_view field, std::u16string_view variant);

  bool soundOn() const { return koukaon == 0; }
  bool operator==(const KeySettings&) const = default;
};

}  // namespace lk
