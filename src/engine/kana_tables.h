#pragma once

// Kana and canonical romaji of the syllables, shared by both conversion
// directions so the two can never disagree. `find` is the kana, `repl` the
// romaji; the romaji-to-kana list reads them the other way round.

#include <span>
#include <string_view>

#include "engine/text.h"

namespace lk::kana {

// Plain kana in the order the forward conversion applies them.
inline constexpr Replacement kPlain[] = {
    {u"あ", u"a"}, {u"い", u"i"}, {u"う", u"u"}, {u"え", u"e"}, {u"お", u"o"},
    {u"か", u"ka"}, {u"き", u"ki"}, {u"く", u"ku"}, {u"け", u"ke"}, {u"こ", u"ko"},
    {u"さ", u"sa"}, {u"し", u"si"}, {u"す", u"su"}, {u"せ", u"se"}, {u"そ", u"so"},
    {u"た", u"ta"}, {u"ち", u"ti"}, {u"つ", u"tu"}, {u"て", u"te"}, {u"と", u"to"},
    {u"な", u"na"}, {u"に", u"ni"}, {u"ぬ", u"nu"}, {u"ね", u"ne"}, {u"の", u"no"},
    {u"は", u"ha"}, {u"ひ", u"hi"}, {u"ふ", u"hu"}, {u"へ", u"he"}, {u"ほ", u"ho"},
    {u"ま", u"ma"}, {u"み", u"mi"}, {u"む", u"mu"}, {u"め", u"me"}, {u"も", u"mo"},
    {u"や", u"ya"}, {u"ゆ", u"yu"}, {u"よ", u"yo"}, {u"ら", u"ra"}, {u"り", u"ri"},
    {u"る", u"ru"}, {u"れ", u"re"}, {u"ろ", u"ro"}, {u"わ", u"wa"}, {u"を", u"wo"},
    {u"ん", u"nn"}, {u"が", u"ga"}, {u"ぎ", u"gi"}, {u"ぐ", u"gu"}, {u"げ", u"ge"},
    {u"ご", u"go"}, {u"ざ", u"za"}, {u"じ", u"zi"}, {u"ず", u"zu"}, {u"ぜ", u"ze"},
    {u"ぞ", u"zo"}, {u"だ", u"da"}, {u"ぢ", u"di"}, {u"づ", u"du"}, {u"で", u"de"},
    {u"ど", u"do"}, {u"ば", u"ba"}, {u"び", u"bi"}, {u"ぶ", u"bu"}, {u"べ", u"be"},
    {u"ぼ", u"bo"}, {u"ぱ", u"pa"}, {u"ぴ", u"pi"}, {u"ぷ", u"pu"}, {u"ぺ", u"pe"},
    {u"ぽ", u"po"},
};
inline constexpr int kPlainVowelCount = 5;  // あいうえお lead kPlain

// Kana of the i-column joined with a small ゃ, ゅ or ょ.
inline constexpr Replacement kContracted[] = {
    {u"きゃ", u"kya"}, {u"きゅ", u"kyu"}, {u"きょ", u"kyo"},
    {u"くゃ", u"qya"}, {u"くゅ", u"qyu"}, {u"くょ", u"qyo"},
    {u"しゃ", u"sya"}, {u"しゅ", u"syu"}, {u"しょ", u"syo"},
    {u"ちゃ", u"tya"}, {u"ちゅ", u"tyu"}, {u"ちょ", u"tyo"},
    {u"にゃ", u"nya"}, {u"にゅ", u"nyu"}, {u"にょ", u"nyo"},
    {u"ひゃ", u"hya"}, {u"ひゅ", u"hyu"}, {u"ひょ", u"hyo"},
    {u"みゃ", u"mya"}, {u"みゅ", u"myu"}, {u"みょ", u"myo"},
    {u"りゃ", u"rya"}, {u"りゅ", u"ryu"}, {u"りょ", u"ryo"},
    {u"ぎゃ", u"gya"}, {u"ぎゅ", u"gyu"}, {u"ぎょ", u"gyo"},
    {u"じゃ", u"zya"}, {u"じゅ", u"zyu"}, {u"じょ", u"zyo"},
    {u"ぢゃ", u"dya"}, {u"ぢゅ", u"dyu"}, {u"ぢょ", u"dyo"},
    {u"びゃ", u"bya"}, {u"びゅ", u"byu"}, {u"びょ", u"byo"},
    {u"ぴゃ", u"pya"}, {u"ぴゅ", u"pyu"}, {u"ぴょ", u"pyo"},
};

// Lower-case ASCII letters that a っ doubles; in the order of the lists.
inline constexpr char16_t kDoublingLetters[] = u"ksthmyrwgzdbpx";

// The ん markers: an ん before a vowel, a y- or an n-syllable, which typing
// always needs as "nn". Each row: the marker, the kana it stands for, and
// the letters the rewrite types for it.
struct NMarker {
  std::u16string_view marker;
  std::u16string_view kana;
  std::u16string_view typed;
};
inline constexpr NMarker kNBeforeContractedN[] = {
    {u"**n1ya", u"んにゃ", u"nnnya"}, {u"**n1yu", u"んにゅ", u"nnnyu"}, {u"**n1yo", u"んにょ", u"nnnyo"}};
inline constexpr NMarker kNBeforeVowel[] = {{u"**na", u"んあ", u"nna"},
                                            {u"**ni", u"んい", u"nni"},
                                            {u"**nu", u"んう", u"nnu"},
                                            {u"**ne", u"んえ", u"nne"},
                                            {u"**no", u"んお", u"nno"}};
inline constexpr NMarker kNBeforeY[] = {
    {u"**nya", u"んや", u"nnya"}, {u"**nyu", u"んゆ", u"nnyu"}, {u"**nyo", u"んよ", u"nnyo"}};
inline constexpr NMarker kNBeforeN[] = {{u"**n1a", u"んな", u"nnna"},
                                        {u"**n1i", u"んに", u"nnni"},
                                        {u"**n1u", u"んぬ", u"nnnu"},
                                        {u"**n1e", u"んね", u"nnne"},
                                        {u"**n1o", u"んの", u"nnno"}};
// All of them; no marker is the start of another, so their order is free.
inline constexpr std::span<const NMarker> kNMarkerGroups[] = {kNBeforeContractedN, kNBeforeVowel, kNBeforeY,
                                                              kNBeforeN};

}  // namespace lk::kana
