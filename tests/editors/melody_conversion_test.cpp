#include "editors/melody_conversion.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/kana_to_romaji.h"
#include "engine/key_settings.h"
#include "engine/text.h"
#include "music/melody.h"

namespace lk {
namespace {

std::vector<std::string> utf8(const NoteRow& row) {
  std::vector<std::string> out;
  for (const auto& s : row) out.push_back(toUtf8(s));
  return out;
}

std::u16string spacedRomaji(std::u16string_view reading) {
  return kanaToRomaji(reading, KanaToRomajiVariant::MusicEditor);
}

TEST(MelodyKeyboard, NamesOfTheThreeOctaves) {
  struct Case {
    int index;
    std::u16string_view name;
  };
  const Case cases[] = {{0, u"-ド"},   {1, u"-#ド"}, {2, u"-レ"},  {3, u"-bミ"}, {5, u"-ファ"},  {11, u"-シ"},
                        {12, u"ド"},   {13, u"#ド"}, {18, u"#ファ"}, {22, u"bシ"}, {23, u"シ"}, {24, u"+ド"},
                        {25, u"+#ド"}, {35, u"+シ"}};
  for (const auto& c : cases) EXPECT_EQ(toUtf8(keyboardNoteName(c.index)), toUtf8(c.name)) << c.index;

  // Every key's name parses back to the key's own value.
  for (int i = 0; i < kKeyboardKeyCount; ++i) {
    const auto row = parse_notes(keyboardNoteName(i));
    ASSERT_TRUE(row && row->size() == 1) << i;
    EXPECT_EQ(noteSlotValue(row->front()), keyboardNoteValue(i)) << i;
  }
  // Clicks append without a separator.
  EXPECT_EQ(toUtf8(keyboardNoteName(0) + keyboardNoteName(14) + keyboardNoteName(25)), "-ドレ+#ド");
}

TEST(MelodyKeyboard, Geometry) {
  struct Case {
    int index;
    KeyboardKey key;
  };
  const Case cases[] = {
      {0, {5400, 4200, 255, 855, false}},  {1, {5565, 4200, 160, 495, true}},  {2, {5640, 4200, 255, 855, false}},
      {3, {5805, 4200, 160, 495, true}},   {6, {6285, 4200, 160, 495, true}},  {8, {6525, 4200, 160, 495, true}},
      {10, {6765, 4200, 160, 495, true}},  {12, {7080, 4200, 255, 855, false}}, {13, {7245, 4200, 160, 495, true}},
      {35, {8760 + 6 * 240, 4200, 255, 855, false}},
  };
  for (const auto& c : cases) {
    const KeyboardKey k = keyboardKey(c.index);
    EXPECT_EQ(k.left, c.key.left) << c.index;
    EXPECT_EQ(k.top, c.key.top) << c.index;
    EXPECT_EQ(k.width, c.key.width) << c.index;
    EXPECT_EQ(k.height, c.key.height) << c.index;
    EXPECT_EQ(k.black, c.key.black) << c.index;
  }
}

TEST(ParseNotes, SlotsOfPrefixesAndNames) {
  struct Case {
    std::u16string_view text;
    std::vector<std::string> slots;
  };
  const Case cases[] = {
      {u"ファファソラファラソド", {"フ", "フ", "ソ", "ラ", "フ", "ラ", "ソ", "ド"}},
      {u"-ドレ+#ド", {"-ド", "レ", "+#ド"}},
      {u" ド　レ  ミ ", {"ド", "レ", "ミ"}},
      // Half-width names: only the first character of ﾄﾞ and ﾌｧ is kept.
      {u"ﾄﾞﾚﾐﾌｧｿﾗｼ", {"ﾄ", "ﾚ", "ﾐ", "ﾌ", "ｿ", "ﾗ", "ｼ"}},
      // The character after フ is skipped unseen, whatever it is.
      {u"フ%ド", {"フ", "ド"}},
      // Prefixes after the last name are one more note.
      {u"ド+", {"ド", "+"}},
      {u"", {}},
  };
  for (const auto& c : cases) {
    const auto row = parse_notes(c.text);
    ASSERT_TRUE(row) << toUtf8(c.text);
    EXPECT_EQ(utf8(*row), c.slots) << toUtf8(c.text);
  }
  for (std::u16string_view bad : {u"ドa", u"ド1", u"ど", u"C", u"ド\tレ"}) EXPECT_FALSE(parse_notes(bad)) << toUtf8(bad);
}

TEST(NoteSlotValue, PrefixesInTheirFixedOrderThenTheName) {
  struct Case {
    std::u16string_view slot;
    int value;
    std::u16string_view token;
  };
  const Case cases[] = {
      {u"ド", 0, u"0"},      {u"レ", 2, u"2"},        {u"ミ", 4, u"4"},      {u"フ", 5, u"5"},
      {u"ソ", 7, u"7"},      {u"ラ", 9, u"9"},        {u"シ", 11, u"\\11"},  {u"ﾄ", 0, u"0"},
      {u"ｼ", 11, u"\\11"},   {u"-レ", -10, u"\\-10"}, {u"-ド", -12, u"\\-12"}, {u"-bド", -13, u"\\-13"},
      {u"+#シ", 24, u"\\24"}, {u"+", 12, u"\\12"},    {u"#-ド", 1, u"1"},     {u"-ラ", -3, u"-3"},
      {u"--ド", -12, u"\\-12"}, {u"b", -1, u"-1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(noteSlotValue(c.slot), c.value) << toUtf8(c.slot);
    EXPECT_EQ(toUtf8(noteToken(noteSlotValue(c.slot))), toUtf8(c.token)) << toUtf8(c.slot);
  }
}

TEST(MelodyTemplate, OneHoldPerKeystrokeWithMarkers) {
  struct Case {
    std::u16string_view reading;
    std::u16string_view templ;
  };
  const Case cases[] = {
      {u"あ　る　ぷ　す　いち　まん　じゃ　く", u"x xx xx xx xx＊ち xxx＊ん x＊じゃ xx"},
      // ん before な across a space always takes two keystrokes.
      {u"らん な", u"xxxx xx"},
      {u"らん あ", u"xxxx x"},
      {u"らん や", u"xxxx xx"},
      {u"らんな", u"xxxxxx"},
      // っ at the end of a group takes the doubled letter along.
      {u"あっ　て", u"xxx x"},
      {u"りっ ぷ", u"xxxx x"},
      {u"まっ", u"xxxx＊つ"},
      // Compounds keep a marker of their own, also when they contain a shorter one.
      {u"しぇ", u"x＊しぇ"},
      {u"きぇ", u"x＊きぇ"},
      {u"いぇ", u"x＊いぇ"},
      {u"しゃ", u"xxx"},
      {u"ちゅー", u"xxxx"},
      {u"Ｏｋ", u"xx"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(toUtf8(melodyTemplate(spacedRomaji(c.reading))), toUtf8(c.templ)) << toUtf8(c.reading);
}

TEST(MakeMelody, LineZeroOfAlpsFromNoteNames) {
  const auto notes = parse_notes(u"ファファソラファラソド");
  ASSERT_TRUE(notes);
  const auto melody = make_melody(spacedRomaji(u"あ　る　ぷ　す　いち　まん　じゃ　く"), *notes);
  ASSERT_TRUE(melody);
  EXPECT_EQ(toUtf8(*melody), "55x7x9x5x＊ち9xx＊ん7＊じゃ0x");
}

TEST(MakeMelody, PlacingTheNotes) {
  struct Case {
    std::u16string_view reading;
    std::u16string_view notes;
    std::u16string_view melody;
  };
  const Case cases[] = {
      {u"あっ　て", u"ドレ", u"0xx2"},
      {u"らん な", u"ドレ", u"0xxx2x"},
      {u"ど", u"-レ", u"\\-10x"},
      {u"ど れ", u"ド+", u"0x\\12x"},
      // One group: only note 0 is used, surplus notes are ignored.
      {u"どれみ", u"ドレミ", u"0xxxxx"},
      // Fewer notes than groups: the missing ones hold.
      {u"ど れ み", u"ド", u"0xxxxx"},
      {u"ど れ み", u"", u"xxxxxx"},
      {u"", u"ド", u""},
  };
  for (const auto& c : cases) {
    const MusicPageConversion page = convertMusicPage(c.reading, c.notes);
    ASSERT_TRUE(page.ok) << toUtf8(c.reading) << " " << toUtf8(page.error);
    EXPECT_EQ(toUtf8(page.melody), toUtf8(c.melody)) << toUtf8(c.reading);
  }
}

TEST(ConvertMusicPage, FailuresGiveTheirMessages) {
  struct Case {
    std::u16string_view reading;
    std::u16string_view notes;
    std::u16string_view error;
  };
  const std::u16string manyNotes(52, u'ド');
  std::u16string manyGroups;
  for (int i = 0; i < 52; ++i) manyGroups += i ? u" あ" : u"あ";
  const Case cases[] = {
      {u"あ*", u"ド", kUnusableCharacterMessage},
      {u"あ＊", u"ド", kUnusableCharacterMessage},
      {u"あ", u"ドX", kMelodyDataErrorMessage},
      {u" あ い", u"ドレ", kMusicSaveFailedMessage},
      {u"あ い ", u"ドレ", kMusicSaveFailedMessage},
      {u"あ %い", u"ドレ", kMusicSaveFailedMessage},
      {u"あ 漢", u"ドレ", kMusicSaveFailedMessage},
      {u"あ", manyNotes, kMusicSaveFailedMessage},
      {manyGroups, u"ド", kMusicSaveFailedMessage},
  };
  for (const auto& c : cases) {
    const MusicPageConversion page = convertMusicPage(c.reading, c.notes);
    EXPECT_FALSE(page.ok) << toUtf8(c.reading);
    EXPECT_EQ(toUtf8(page.error), toUtf8(c.error)) << toUtf8(c.reading);
  }
  // The limits themselves still convert.
  EXPECT_TRUE(convertMusicPage(u"あ", std::u16string(51, u'ド')).ok);
  EXPECT_TRUE(convertMusicPage(manyGroups.substr(2), u"ド").ok);
}

// ---- Alignment of generated pages over many key settings ----

// Kana units a generated reading is made of. Groups never split a unit.
const std::u16string_view kPlain[] = {
    u"あ", u"い", u"う", u"え", u"お", u"か", u"き", u"く", u"け", u"こ", u"さ", u"し", u"す", u"せ", u"そ",
    u"た", u"ち", u"つ", u"て", u"と", u"な", u"に", u"ぬ", u"ね", u"の", u"は", u"ひ", u"ふ", u"へ", u"ほ",
    u"ま", u"み", u"や", u"ゆ", u"よ", u"ら", u"り", u"わ", u"を", u"が", u"じ", u"ず", u"ぢ", u"づ", u"ば",
    u"ぴ", u"ヴ", u"ー", u"きゃ", u"しゃ", u"しょ", u"ちゃ", u"ちゅ", u"にゃ", u"じゃ", u"じゅ", u"じょ", u"りょ",
};
// Every kana joined to a small kana that has a key setting of its own.
std::vector<std::u16string> compoundUnits() {
  std::vector<std::u16string> units;
  const auto table = keyOptionTable();
  for (int row = kMainKeySettingCount; row < kKeySettingCount; ++row) {
    const auto kana = table[static_cast<std::size_t>(row)].kanaLabel;
    if (kana.size() == 2 && kana[1] != u'ゃ' && kana[1] != u'ゅ' && kana[1] != u'ょ') units.emplace_back(kana);
  }
  return units;
}

bool startsNnMarker(std::u16string_view unit) {
  // Kana after which ん becomes a marker ("**na", "**n1a", "**nya").
  return std::u16string_view(u"あいうえおなにぬねのやゆよ").find(unit.front()) != std::u16string_view::npos;
}

// A random reading: units, sometimes ん or っ, spaces between note groups.
// Left out are the two cases the notation cannot mark: ん directly before a
// kana joined to a small kana, and っ ending a group.
std::u16string randomReading(std::mt19937& rng, const std::vector<std::u16string>& compounds) {
  std::uniform_int_distribution<int> groupCount(1, 8), unitsPerGroup(1, 3), pick(0, 99);
  std::u16string reading;
  const int groups = groupCount(rng);
  std::u16string previous;
  for (int g = 0; g < groups; ++g) {
    if (g) reading += pick(rng) < 50 ? u"　" : u" ";
    const int n = unitsPerGroup(rng);
    for (int u = 0; u < n; ++u) {
      const int r = pick(rng);
      std::u16string unit;
      if (r < 12) unit = u"ん";
      else if (r < 20 && u + 1 < n) unit = u"っ";
      else if (r < 45) unit = compounds[static_cast<std::size_t>(rng() % compounds.size())];
      else unit = kPlain[rng() % std::size(kPlain)];
      if (previous == u"っ" && (unit == u"ん" || unit == u"っ" || startsNnMarker(unit) ||
                                unit == u"ー" || unit.front() == u'あ' || unit.front() == u'ヴ'))
        unit = u"か";
      if (previous == u"ん" && unit.size() == 2 && startsNnMarker(unit)) unit = u"ま";
      reading += unit;
      previous = unit;
    }
  }
  return reading;
}

KeySettings randomSettings(std::mt19937& rng) {
  KeySettings s;
  const auto table = keyOptionTable();
  for (int row = 0; row < kKeySettingCount; ++row) {
    const auto& option = table[static_cast<std::size_t>(row)];
    s.keys[static_cast<std::size_t>(row)] =
        std::u16string(option.variants[rng() % static_cast<std::size_t>(option.variantCount)]);
  }
  return s;
}

TEST(MelodyAlignment, GeneratedPagesLineUpForRandomSettings) {
  std::mt19937 rng(20240611);
  const auto compounds = compoundUnits();
  ASSERT_EQ(compounds.size(), 71u);
  std::vector<KeySettings> settings(40);
  for (auto& s : settings) s = randomSettings(rng);
  settings[0] = KeySettings{};
  // The main settings at their longest with every compound at its canonical
  // token: the combination that needs the typed length of each marker's kana.
  settings[1].set("si", u"shi");
  settings[1].set("ti", u"chi");
  settings[1].set("tu", u"tsu");
  settings[1].set("nn", u"n");
  settings[1].set("x", u"l");

  for (int page = 0; page < 600; ++page) {
    const std::u16string reading = randomReading(rng, compounds);
    std::u16string notes;
    for (int k = 0; k < 10; ++k) notes += keyboardNoteName(static_cast<int>(rng() % kKeyboardKeyCount));
    const MusicPageConversion converted = convertMusicPage(reading, notes);
    ASSERT_TRUE(converted.ok) << toUtf8(reading) << ": " << toUtf8(converted.error);
    for (const KeySettings& s : settings) {
      const PreparedLine line = prepare_line(converted.romaji, converted.melody, s);
      ASSERT_EQ(line.tokens.size(), line.romaji.size())
          << "reading " << toUtf8(reading) << " romaji " << toUtf8(converted.romaji) << " melody "
          << toUtf8(converted.melody) << " typed " << toUtf8(line.romaji);
    }
  }
}

// Each compound alone, under every variant of its own row combined with every
// variant of the main rows it may contain and of the small-kana prefix.
TEST(MelodyAlignment, EveryCompoundUnderItsOwnAndTheMainSettings) {
  const auto table = keyOptionTable();
  const char* mainRows[] = {"si", "ti", "tu", "x", "ye", "wi", "we"};
  for (int row = kMainKeySettingCount; row < kKeySettingCount; ++row) {
    const auto& option = table[static_cast<std::size_t>(row)];
    const std::u16string reading = u"あ" + std::u16string(option.kanaLabel) + u" ら";
    const MusicPageConversion page = convertMusicPage(reading, u"ドレ");
    ASSERT_TRUE(page.ok);
    for (int v = 0; v < option.variantCount; ++v) {
      for (int mask = 0; mask < (1 << std::size(mainRows)); ++mask) {
        KeySettings s;
        s.keys[static_cast<std::size_t>(row)] = std::u16string(option.variants[static_cast<std::size_t>(v)]);
        for (std::size_t m = 0; m < std::size(mainRows); ++m) {
          if (!(mask & (1 << m)) || table[static_cast<std::size_t>(keyOptionIndex(mainRows[m]))].field == option.field) continue;
          const auto& main = table[static_cast<std::size_t>(keyOptionIndex(mainRows[m]))];
          s.keys[static_cast<std::size_t>(keyOptionIndex(mainRows[m]))] = std::u16string(main.variants[1]);
        }
        const PreparedLine line = prepare_line(page.romaji, page.melody, s);
        ASSERT_EQ(line.tokens.size(), line.romaji.size())
            << toUtf8(option.kanaLabel) << "=" << toUtf8(s.variant(row)) << " mask " << mask << " typed "
            << toUtf8(line.romaji) << " melody " << toUtf8(page.melody);
        // The second note still sits on the first letter of ら.
        EXPECT_EQ(line.tokens[line.romaji.size() - 2], u"2");
      }
    }
  }
}

}  // namespace
}  // namespace lk
