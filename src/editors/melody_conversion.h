#pragma once

// The music editor's side of the melody notation: note names as the user
// enters them (on the on-screen keyboard or typed), and the conversion of a
// page's reading and note names into a melody string that lines up with the
// keystrokes of the page's romaji.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lk {

inline constexpr std::u16string_view kMelodyDataErrorMessage = u"メロディーデータに間違いがあります。";
inline constexpr std::u16string_view kMusicSaveFailedMessage = u"問題の保存に失敗しました。";
inline constexpr std::u16string_view kUnusableCharacterMessage = u"使用できない文字が含まれています。";

// A page holds at most this many notes and note groups.
inline constexpr int kNoteRowSlots = 51;

// ---- The melody keyboard: three octaves, lowest C at index 0. ----
inline constexpr int kKeyboardKeyCount = 36;

// Note name a key click appends: "-" before the lower octave (0..11), "+"
// before the upper one (24..35): index 0 "-ド", 13 "#ド", 27 "+bミ".
std::u16string keyboardNoteName(int index);
// Note value of a key: index - 12.
inline int keyboardNoteValue(int index) { return index - 12; }

// Key geometry in twips (window coordinates). Black keys lie on top of the
// white ones.
struct KeyboardKey {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool black = false;
};
KeyboardKey keyboardKey(int index);

// ---- Note names ----
// One note per slot: its prefixes ("-", "+", "#", "b") and the first
// character of its name ("ド", "フ" for ファ, "ﾄ" for ﾄﾞ). Prefixes after the
// last name make one more slot.
using NoteRow = std::vector<std::u16string>;

// Parses a note-name text. Spaces (half- and full-width) are skipped; after
// "フ", "ﾌ" and "ﾄ" the next character is skipped unseen. nullopt on any
// other character (kMelodyDataErrorMessage). The row is not limited here.
std::optional<NoteRow> parse_notes(std::u16string_view noteNames);

// Value of one slot: prefixes are taken in the order "-", "+", "#", "b"
// (each at most once, and only at the front), then the name.
int noteSlotValue(std::u16string_view slot);

// A value as a melody token: "-9".."9" as they are, others behind "\".
std::u16string noteToken(int value);

// ---- Conversion ----
// One "x" per keystroke, spaces between the note groups, and a variant
// marker after the first letter of every kana whose typed length depends on
// the key settings. Input: the reading converted to canonical romaji with
// its spaces kept.
std::u16string melodyTemplate(std::u16string_view spacedRomaji);

// Places note k on the first keystroke of note group k. A group without a
// note holds the previous one. nullopt (kMusicSaveFailedMessage) when the
// reading begins or ends with a space, a group begins with a character that
// has no keystroke, or there are more than kNoteRowSlots notes or groups.
std::optional<std::u16string> make_melody(std::u16string_view spacedRomaji, const NoteRow& notes);

// A whole page as the save converts it.
struct MusicPageConversion {
  bool ok = false;
  std::u16string_view error;  // one of the messages above when !ok
  std::u16string romaji;      // canonical, without spaces
  std::u16string melody;
};
MusicPageConversion convertMusicPage(std::u16string_view reading, std::u16string_view noteNames);

}  // namespace lk
