#include "music/melody.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/text.h"
#include "music/songs.h"
#include "fakes/key_settings_fixtures.h"

namespace lk {
namespace {

using test::Changes;
using test::settingsWith;

std::vector<std::string> utf8(const std::vector<std::u16string>& tokens) {
  std::vector<std::string> out;
  for (const auto& t : tokens) out.push_back(toUtf8(t));
  return out;
}

TEST(Tokenize, SplitsNotesHoldsAndTwoDigitNotes) {
  struct Case {
    std::u16string_view melody;
    std::vector<std::string> tokens;
  };
  const Case cases[] = {
      {u"\\11x", {"11", "x"}},
      {u"11x", {"1", "1", "x"}},
      {u"\\-12", {"-12"}},
      {u"-2", {"-2"}},
      {u"\\109", {"10", "9"}},
      {u"0x-2x\\-10x", {"0", "x", "-2", "x", "-10", "x"}},
      // Near the end a token takes what is left.
      {u"5-", {"5", "-"}},
      {u"5\\1", {"5", "1"}},
      {u"5\\-1", {"5", "-1"}},
      {u"5\\", {"5"}},
      // Characters of an unknown marker are tokens of their own.
      {u"2＊の", {"2", "＊", "の"}},
      {u"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8(tokenize(c.melody)), c.tokens) << toUtf8(c.melody);
}

TEST(NoteValue, ReadsOptionalMinusAndDigits) {
  struct Case {
    std::u16string_view token;
    int value;
  };
  const Case cases[] = {{u"0", 0},   {u"9", 9},     {u"11", 11}, {u"-2", -2}, {u"-12", -12}, {u"-", 0},
                        {u"", 0},    {u"＊", 0},    {u"1a", 1},  {u"a1", 0},  {u"--1", 0},   {u"+5", 0},
                        {u"-a", 0},  {u"99", 99}};
  for (const auto& c : cases) EXPECT_EQ(noteValue(c.token), c.value) << toUtf8(c.token);
}

TEST(VariantMarkers, OneMarkerForEveryRowWhoseVariantsDifferInLength) {
  const auto markers = variantMarkers();
  ASSERT_EQ(markers.size(), 75u);
  std::set<int> rows;
  for (const auto& m : markers) {
    ASSERT_GE(m.row, 0) << toUtf8(m.marker);
    EXPECT_EQ(toUtf8(markerOfRow(m.row)), toUtf8(m.marker));
    rows.insert(m.row);
  }
  EXPECT_EQ(rows.size(), 75u);
  int withMarker = 0;
  for (int row = 0; row < kKeySettingCount; ++row)
    if (!markerOfRow(row).empty()) ++withMarker;
  EXPECT_EQ(withMarker, 75);
  EXPECT_EQ(markerOfRow(keyOptionIndex("nn")), u"");
  EXPECT_EQ(markerOfRow(keyOptionIndex("sya")), u"");
  // A longer marker is resolved before the shorter one it begins with.
  auto pos = [&](std::u16string_view m) {
    for (std::size_t i = 0; i < markers.size(); ++i)
      if (markers[i].marker == m) return i;
    return markers.size();
  };
  EXPECT_LT(pos(u"＊しぇ"), pos(u"＊し"));
  EXPECT_LT(pos(u"＊ちぃ"), pos(u"＊ち"));
  EXPECT_LT(pos(u"＊つぉ"), pos(u"＊つ"));
}

TEST(ExpandMarkers, HoldsFollowTheKeySettings) {
  struct Case {
    std::u16string_view melody;
    Changes changes;
    std::u16string_view expanded;
  };
  const Case cases[] = {
      {u"55x＊ち9xx＊ん7＊じゃ0x", {}, u"55xx9xxx7xx0x"},
      {u"55x＊ち9xx＊ん7＊じゃ0x", {{"ti", u"chi"}, {"nn", u"n"}, {"ja", u"ja"}}, u"55xxx9xx7x0x"},
      {u"2＊し", {{"si", u"shi"}}, u"2xx"},
      {u"2＊し", {{"si", u"ci"}}, u"2x"},
      {u"2＊つ", {{"tu", u"tsu"}}, u"2xx"},
      {u"1＊きぇ", {{"kye", u"kixe"}}, u"1xxx"},
      {u"1＊きぇ", {{"kye", u"kye"}}, u"1xx"},
      {u"1＊ヴぇ", {{"ve", u"vuxe"}}, u"1xxx"},
      {u"1＊ヴぇ", {{"ve", u"ve"}}, u"1x"},
      // The longer marker is not broken up by the shorter one.
      {u"3＊しぇ", {{"she", u"she"}}, u"3xx"},
      {u"3＊ちぃ＊ち", {{"cyi", u"cyi"}, {"ti", u"chi"}}, u"3xxxx"},
      // A compound left at its canonical token is typed with the main
      // setting inside it: "sixe" with si = "shi" is five letters.
      {u"3＊しぇ", {{"si", u"shi"}}, u"3xxxx"},
      {u"3＊つぁ", {{"tu", u"tsu"}}, u"3xxxx"},
      {u"3＊つぁ", {{"tu", u"tsu"}, {"tsa", u"tsa"}}, u"3xx"},
      // Not a marker: left for the tokenizer.
      {u"2＊の1", {}, u"2＊の1"},
      {u"2＊", {}, u"2＊"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(toUtf8(expand_markers(c.melody, settingsWith(c.changes))), toUtf8(c.expanded)) << toUtf8(c.melody);
}

TEST(PrepareLine, WorkedLinesOfAlps) {
  struct Case {
    std::u16string_view romaji;
    std::u16string_view melody;
    Changes changes;
    std::u16string_view typed;
    std::vector<std::string> tokens;
  };
  const Case cases[] = {
      {u"arupusuitimannzyaku", u"55x7x9x5x＊ち9xx＊ん7＊じゃ0x", {}, u"arupusuitimannzyaku",
       {"5", "5", "x", "7", "x", "9", "x", "5", "x", "x", "9", "x", "x", "x", "7", "x", "x", "0", "x"}},
      {u"arupusuitimannzyaku", u"55x7x9x5x＊ち9xx＊ん7＊じゃ0x", {{"ti", u"chi"}, {"nn", u"n"}, {"ja", u"ja"}},
       u"arupusuichimanjaku",
       {"5", "5", "x", "7", "x", "9", "x", "5", "x", "x", "x", "9", "x", "x", "7", "x", "0", "x"}},
      {u"arupe**nodoriwosaaodorimasyo", u"55x7x9x\\109x7x5x4x024x5x5x5xx", {}, u"arupennodoriwosaaodorimasyo",
       {"5", "5", "x", "7", "x", "9", "x", "10", "9", "x", "7", "x", "5", "x",
        "4", "x", "0", "2", "4", "x", "5", "x", "5", "x", "5", "x", "x"}},
      {u"rannrararararara", u"0xx＊ん2x0x-2x-3x-2x0x", {}, u"rannrararararara",
       {"0", "x", "x", "x", "2", "x", "0", "x", "-2", "x", "-3", "x", "-2", "x", "0", "x"}},
      // A final ん typed "n" still needs "nn"; the added letter holds.
      {u"rann", u"2xx＊ん", {{"nn", u"n"}}, u"rann", {"2", "x", "x", "x"}},
      {u"rann", u"2xx＊ん", {}, u"rann", {"2", "x", "x", "x"}},
      {u"ranra", u"2xx＊ん3x", {{"nn", u"n"}}, u"ranra", {"2", "x", "x", "3", "x"}},
      // Every "x" follows the small-kana setting, not only one before a vowel.
      {u"axtu*x*xya", u"1x2＊つ34xx", {{"x", u"l"}}, u"altullya", {"1", "x", "2", "x", "3", "4", "x", "x"}},
  };
  for (const auto& c : cases) {
    const PreparedLine line = prepare_line(c.romaji, c.melody, settingsWith(c.changes));
    EXPECT_EQ(toUtf8(line.romaji), toUtf8(c.typed)) << toUtf8(c.romaji);
    EXPECT_EQ(utf8(line.tokens), c.tokens) << toUtf8(c.romaji);
  }
}

TEST(PrepareLine, NegativeNotesOfAlpsLineFourOnTheRs) {
  const PreparedLine line = prepare_line(u"rannrararararara", u"0xx＊ん2x0x-2x-3x-2x0x", KeySettings{});
  std::vector<int> keys;
  for (std::size_t k = 0; k < line.romaji.size(); ++k)
    if (line.romaji[k] == u'r') keys.push_back(60 + noteValue(line.tokens[k]));
  EXPECT_EQ(keys, (std::vector<int>{60, 62, 60, 58, 57, 58, 60}));
}

TEST(NoteQueue, ConsumesFrontToBackThenSoundsMiddleC) {
  NoteQueue q(tokenize(u"5x\\-12"));
  EXPECT_EQ(q.remaining(), 3u);
  EXPECT_EQ(q.front(), u"5");
  EXPECT_EQ(q.consume(), 5);
  EXPECT_EQ(q.consume(), std::nullopt);  // hold
  EXPECT_EQ(q.consume(), -12);
  EXPECT_TRUE(q.empty());
  EXPECT_EQ(q.front(), u"");
  // Every surplus keystroke strikes middle C again.
  EXPECT_EQ(q.consume(), 0);
  EXPECT_EQ(q.consume(), 0);
  EXPECT_EQ(q.remaining(), 0u);
}

TEST(NoteQueue, LongLinesAreNotCut) {
  std::u16string melody(120, u'x');
  melody[119] = u'7';
  NoteQueue q(tokenize(melody));
  for (int i = 0; i < 119; ++i) ASSERT_EQ(q.consume(), std::nullopt);
  EXPECT_EQ(q.consume(), 7);
}

TEST(NormalizeReadingSpaces, MixedAndRepeatedSpacesBecomeSingleSpaces) {
  EXPECT_EQ(toUtf8(normalizeReadingSpaces(u"らん ら ら ら　ら ら ら ら　ら ら ら ら ら")),
            "らん ら ら ら ら ら ら ら ら ら ら ら ら");
  EXPECT_EQ(toUtf8(normalizeReadingSpaces(u"らん　ら　ら　ら　ら　ら　ら")), "らん ら ら ら ら ら ら");
  EXPECT_EQ(toUtf8(normalizeReadingSpaces(u"あ 　　 る")), "あ る");
}

// ---- Alignment of the built-in songs over every setting their lines touch ----

// Rows whose variants the line can feel: every row whose canonical token
// occurs in it (which also brings in "ixe" for "sixe", "tu" for "tuxa" and so
// on), plus the rows the music drill always consults.
std::vector<int> touchedRows(std::u16string_view romaji) {
  std::vector<int> rows;
  const auto table = keyOptionTable();
  for (int row = 0; row < kKeySettingCount; ++row) {
    const auto& option = table[static_cast<std::size_t>(row)];
    const bool always = option.field == "nn" || option.field == "si" || option.field == "ti" ||
                        option.field == "tu" || option.field == "x" || option.field == "ja" ||
                        option.field == "ju" || option.field == "jo";
    if (option.variantCount > 1 && (always || romaji.find(option.token) != std::u16string_view::npos))
      rows.push_back(row);
  }
  return rows;
}

// Calls `check` for every combination of the variants of `rows`.
template <typename Fn>
void forEachCombination(const std::vector<int>& rows, Fn check) {
  const auto table = keyOptionTable();
  std::vector<int> choice(rows.size(), 0);
  KeySettings settings;
  while (true) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const auto& option = table[static_cast<std::size_t>(rows[i])];
      settings.keys[static_cast<std::size_t>(rows[i])] = std::u16string(option.variants[static_cast<std::size_t>(choice[i])]);
    }
    check(settings);
    std::size_t i = 0;
    for (; i < rows.size(); ++i) {
      if (++choice[i] < table[static_cast<std::size_t>(rows[i])].variantCount) break;
      choice[i] = 0;
    }
    if (i == rows.size()) return;
  }
}

std::string describe(const std::vector<int>& rows, const KeySettings& settings) {
  std::string s;
  for (int row : rows)
    s += std::string(keyOptionTable()[static_cast<std::size_t>(row)].field) + "=" + toUtf8(settings.variant(row)) + " ";
  return s;
}

TEST(SongAlignment, EveryLineHasOneTokenPerTypedLetterForEverySetting) {
  for (BuiltInSong which : {BuiltInSong::M1, BuiltInSong::M2, BuiltInSong::M3}) {
    const Song& song = builtInSong(which);
    for (std::size_t i = 0; i < song.lines.size(); ++i) {
      const SongLine& line = song.lines[i];
      const auto rows = touchedRows(line.romaji);
      int combinations = 0;
      forEachCombination(rows, [&](const KeySettings& settings) {
        ++combinations;
        const PreparedLine p = prepare_line(line.romaji, line.melody, settings);
        ASSERT_EQ(p.tokens.size(), p.romaji.size())
            << toUtf8(song.title) << " line " << i << " typed " << toUtf8(p.romaji) << " with " << describe(rows, settings);
      });
      EXPECT_GE(combinations, 2 * 3 * 2 * 2 * 2 * 3 * 3 * 3) << toUtf8(song.title) << " line " << i;
    }
  }
}

}  // namespace
}  // namespace lk
