#include "music/music_drill.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/text.h"
#include "fakes/fake_midi.h"
#include "fakes/fake_services.h"

namespace lk {
namespace {

using test::FakeMidi;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Kind = FakeMidi::Kind;

struct Line {
  std::u16string text, reading, romaji, melody;
};

ProblemSet makeSet(std::u16string title, const std::vector<Line>& lines) {
  ProblemSet s;
  s.count = static_cast<int>(lines.size());
  s.title = std::move(title);
  for (const auto& l : lines) {
    s.text.push_back(l.text);
    s.reading.push_back(l.reading);
    s.romaji.push_back(l.romaji);
    s.melody.push_back(l.melody);
  }
  return s;
}

// Two lines of アルプス一万尺.
const Line kAlps0{u"アルプス一万尺", u"あ　る　ぷ　す　いち　まん　じゃ　く", u"arupusuitimannzyaku",
                  u"55x7x9x5x＊ち9xx＊ん7＊じゃ0x"};
const Line kRanra{u"ランラララ　ラララ", u"らん　ら　ら　ら　ら　ら　ら", u"rannrararararara",
                  u"0xx＊ん2x0x-2x-3x-2x0x"};

// The bytes of striking a note after `old` had sounded.
std::vector<std::uint8_t> strike(int oldKey, int newKey) {
  return {0x90, static_cast<std::uint8_t>(oldKey), 0x00, 0x90, static_cast<std::uint8_t>(newKey), 0x7F};
}

class MusicDrillTest : public ::testing::Test {
 protected:
  std::unique_ptr<MusicDrill> load(std::vector<Line> lines) {
    set = makeSet(u"曲", lines);
    return std::make_unique<MusicDrill>(set, keys, result, &midi, &messages);
  }
  // Types the whole of what is left on the current line.
  void typeLine(MusicDrill& d) {
    const std::u16string rest(d.remaining());
    for (char16_t c : rest) ASSERT_EQ(d.type(c).verdict, MusicDrill::Verdict::Hit);
  }

  ProblemSet set;
  KeySettings keys;
  DrillResult result;
  FakeMidi midi;
  test::FakeMessageBoxes messages;
};

TEST_F(MusicDrillTest, PlaysTheMelodyNoteByNoteWithTheExactBytes) {
  auto d = load({kAlps0, kRanra});
  ASSERT_TRUE(d->loaded());
  EXPECT_THAT(midi.events, ElementsAre(FakeMidi::Event{Kind::Open, {}}));
  EXPECT_EQ(d->remaining(), u"arupusuitimannzyaku");

  // First note: the velocity-0 message for key 60, then key 65.
  d->type(u'a');
  EXPECT_EQ(midi.bytes(), strike(60, 65));
  // The same key struck again: ended and started anew.
  midi.clear();
  d->type(u'r');
  EXPECT_EQ(midi.bytes(), strike(65, 65));
  // A hold sends nothing.
  midi.clear();
  EXPECT_EQ(d->type(u'u').verdict, MusicDrill::Verdict::Hit);
  EXPECT_TRUE(midi.events.empty());

  // The rest of line 0: p=67 s=69 i=65 m=69 z=67 k=60, all else holds.
  typeLine(*d);
  std::vector<std::uint8_t> expected;
  for (auto [o, n] : {std::pair{65, 67}, {67, 69}, {69, 65}, {65, 69}, {69, 67}, {67, 60}}) {
    auto b = strike(o, n);
    expected.insert(expected.end(), b.begin(), b.end());
  }
  EXPECT_EQ(midi.bytes(), expected);
  EXPECT_EQ(d->currentLine(), 1);

  // Line 1 begins with a note on "r" and holds over "an" (the ん marker).
  midi.clear();
  d->type(u'r');
  d->type(u'a');
  d->type(u'n');
  d->type(u'n');
  EXPECT_EQ(midi.bytes(), strike(60, 60));
  typeLine(*d);
  EXPECT_TRUE(d->cleared());
  EXPECT_EQ(d->soundingNote(), 0);

  // The last note keeps sounding until the drill is left; leaving resets
  // and closes, once.
  const auto before = midi.events.size();
  d->close();
  d.reset();
  ASSERT_EQ(midi.events.size(), before + 2);
  EXPECT_EQ(midi.events[before].kind, Kind::Reset);
  EXPECT_EQ(midi.events[before + 1].kind, Kind::Close);
}

TEST_F(MusicDrillTest, NegativeNotesSoundBelowMiddleC) {
  auto d = load({kRanra});
  typeLine(*d);
  // "r"s sound 60, 62, 60, 58, 57, 58, 60.
  std::vector<std::uint8_t> ons;
  for (const auto& m : midi.sent())
    if (m.data2 == 0x7F) ons.push_back(m.data1);
  EXPECT_THAT(ons, ElementsAre(60, 62, 60, 58, 57, 58, 60));
}

TEST_F(MusicDrillTest, MissesAreCountedSilentAndLeaveTheExpectedKey) {
  result.missCount = 9;  // left over from an earlier drill
  auto d = load({kAlps0});
  EXPECT_EQ(d->missCount(), 0);
  midi.clear();
  for (char16_t k : {u'A', u'\r', u' ', u'\b', u'x'}) {
    EXPECT_EQ(d->type(k).verdict, MusicDrill::Verdict::Miss) << int(k);
  }
  EXPECT_EQ(d->missCount(), 5);
  EXPECT_EQ(result.missCount, 5);
  EXPECT_TRUE(midi.events.empty());
  EXPECT_EQ(d->remaining(), u"arupusuitimannzyaku");
  EXPECT_EQ(d->type(u'a').verdict, MusicDrill::Verdict::Hit);
  EXPECT_EQ(d->remaining(), u"rupusuitimannzyaku");
}

TEST_F(MusicDrillTest, KeysAfterTheClearAreIgnored) {
  auto d = load({kRanra});
  typeLine(*d);
  ASSERT_TRUE(d->cleared());
  midi.clear();
  for (char16_t k : {u'r', u'a', u'Z'}) EXPECT_EQ(d->type(k).verdict, MusicDrill::Verdict::Ignored);
  EXPECT_EQ(d->missCount(), 0);
  EXPECT_TRUE(midi.events.empty());
  EXPECT_EQ(d->reading(), u"クリア！");
  EXPECT_TRUE(d->lineText().empty());
  EXPECT_TRUE(d->remaining().empty());
}

TEST_F(MusicDrillTest, KeySettingsChangeTheKeysButKeepTheNotesAligned) {
  ASSERT_TRUE(keys.set("ti", u"chi"));
  ASSERT_TRUE(keys.set("nn", u"n"));
  ASSERT_TRUE(keys.set("ja", u"ja"));
  auto d = load({kAlps0});
  ASSERT_EQ(d->remaining(), u"arupusuichimanjaku");
  typeLine(*d);
  std::vector<std::uint8_t> ons;
  for (const auto& m : midi.sent())
    if (m.data2 == 0x7F) ons.push_back(m.data1);
  EXPECT_THAT(ons, ElementsAre(65, 65, 67, 69, 65, 69, 67, 60));
}

TEST_F(MusicDrillTest, FinalNWithSingleNSettingStillExpectsNnAndHolds) {
  ASSERT_TRUE(keys.set("nn", u"n"));
  auto d = load({{u"みかん", u"み　か　ん", u"mikann", u"0x2x＊ん4"}});
  // "mikan" plus the appended "n"; the extra keystroke holds the note.
  ASSERT_EQ(d->remaining(), u"mikann");
  for (char16_t c : std::u16string(u"mika")) d->type(c);
  midi.clear();
  d->type(u'n');
  EXPECT_EQ(midi.bytes(), strike(62, 64));
  midi.clear();
  const auto last = d->type(u'n');
  EXPECT_EQ(last.verdict, MusicDrill::Verdict::Hit);
  EXPECT_FALSE(last.noteStruck);
  EXPECT_TRUE(midi.events.empty());
  EXPECT_TRUE(last.cleared);
}

TEST_F(MusicDrillTest, ReadingsShowWithSingleHalfWidthSpaces) {
  auto d = load({{u"a", u"らん ら ら ら　ら ら ら ら　ら ら ら ら ら", u"a", u"0"},
                 {u"b", u"らん　ら　ら　ら　ら　ら　ら", u"b", u"0"}});
  EXPECT_EQ(d->reading(), u"らん ら ら ら ら ら ら ら ら ら ら ら ら");
  d->type(u'a');
  EXPECT_EQ(d->reading(), u"らん ら ら ら ら ら ら");
}

TEST_F(MusicDrillTest, ExhaustedMelodyStrikesMiddleCOnEachFurtherKey) {
  auto d = load({{u"t", u"t", u"abc", u"4"}});
  typeLine(*d);
  auto expected = strike(60, 64);
  for (auto b : strike(64, 60)) expected.push_back(b);
  for (auto b : strike(60, 60)) expected.push_back(b);
  EXPECT_EQ(midi.bytes(), expected);
}

TEST_F(MusicDrillTest, NoteWithoutMidiKeySendsNothingButTheKeyCounts) {
  auto d = load({{u"t", u"t", u"ab", u"\\99" u"3"}});
  const auto r = d->type(u'a');  // 99 semitones above middle C: no key
  EXPECT_EQ(r.verdict, MusicDrill::Verdict::Hit);
  EXPECT_FALSE(r.noteStruck);
  EXPECT_THAT(midi.sent(), ::testing::IsEmpty());
  d->type(u'b');
  EXPECT_EQ(midi.bytes(), strike(60, 63));
}

TEST_F(MusicDrillTest, LineWithNothingToTypeIgnoresEveryKey) {
  auto d = load({{u"t", u"t", u"", u""}});
  for (char16_t k : {u'a', u' ', u'\r'}) EXPECT_EQ(d->type(k).verdict, MusicDrill::Verdict::Ignored);
  EXPECT_EQ(d->missCount(), 0);
  EXPECT_FALSE(d->cleared());
}

// A line holding a character no key types (from a damaged file) counts as
// typed when it comes up, in both judgements; the song never waits on it.
TEST_F(MusicDrillTest, LinesNoKeyTypesCountAsTypedWhenTheyComeUp) {
  struct Case {
    const char* name;
    std::vector<std::u16string> romaji;
    std::u16string keys;
    int lineAfterLoad;
  } cases[] = {
      {"NUL in the middle line", {u"a", std::u16string(u"k\0a", 3), u"i"}, u"ai", 0},
      {"control byte in the first line", {u"\x01", u"a"}, u"a", 1},
      {"kana in the last line", {u"a", u"aか"}, u"a", 0},
      {"two in a row", {u"a", u"\x7f", u"\x1b", u"u"}, u"au", 0},
      {"only untypeable: cleared at the load", {u"ka\x1b"}, u"", 1},
  };
  for (const bool flexible : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (flexible ? " (any spelling)" : ""));
      std::vector<Line> lines;
      for (const auto& r : c.romaji) lines.push_back({u"l", u"", r, u"0"});
      set = makeSet(u"曲", lines);
      MusicDrill d(set, keys, result, &midi, &messages, flexible);
      ASSERT_TRUE(d.loaded());
      EXPECT_EQ(d.currentLine(), c.lineAfterLoad);
      for (int i = 0; i < c.lineAfterLoad; ++i) EXPECT_TRUE(d.markDone(i));
      MusicDrill::KeyResult last;
      for (char16_t k : c.keys) {
        last = d.type(k);
        EXPECT_EQ(last.verdict, MusicDrill::Verdict::Hit);
      }
      EXPECT_TRUE(d.cleared());
      EXPECT_EQ(d.missCount(), 0);
      if (!c.keys.empty()) EXPECT_TRUE(last.cleared) << "the key of the last typeable line ends the song";
    }
  }
}

TEST_F(MusicDrillTest, MarksFollowTheLinesAndVanishAtTheClear) {
  auto d = load({{u"1", u"", u"a", u"0"}, {u"2", u"", u"b", u"0"}, {u"3", u"", u"c", u"0"}});
  for (int i = 0; i < MusicDrill::kMarkCount; ++i) EXPECT_EQ(d->markVisible(i), i < 3) << i;
  EXPECT_FALSE(d->markDone(0));
  EXPECT_TRUE(d->type(u'a').lineDone);
  EXPECT_TRUE(d->markDone(0));
  EXPECT_FALSE(d->markDone(1));
  EXPECT_EQ(d->lineText(), u"2");
  d->type(u'b');
  const auto last = d->type(u'c');
  EXPECT_TRUE(last.lineDone && last.cleared);
  for (int i = 0; i < MusicDrill::kMarkCount; ++i) EXPECT_FALSE(d->markVisible(i));
}

TEST_F(MusicDrillTest, WithoutMidiOutputTheDrillShowsTheMessageAndCannotStart) {
  midi.devices = 0;
  result.missCount = 4;
  auto d = load({kAlps0});
  EXPECT_FALSE(d->loaded());
  EXPECT_THAT(messages.shown, ElementsAre(u"MIDI音源を利用できません"));
  // Nothing is prepared and nothing counts.
  EXPECT_EQ(set.romaji[0], u"arupusuitimannzyaku");
  EXPECT_EQ(set.reading[0], kAlps0.reading);
  EXPECT_EQ(d->type(u'a').verdict, MusicDrill::Verdict::Ignored);
  EXPECT_EQ(result.missCount, 4);
  EXPECT_TRUE(d->title().empty() && d->reading().empty() && d->remaining().empty());
  EXPECT_FALSE(d->markVisible(0));
  d.reset();
  EXPECT_TRUE(midi.events.empty());  // never opened, so never reset or closed
}

TEST_F(MusicDrillTest, PartlyFilledSetPlaysOnlyTheLinesItHas) {
  ProblemSet partial;
  partial.count = 3;
  partial.title = u"途中";
  partial.romaji = {u"ka", u"ki"};  // text, reading and melody missing
  MusicDrill d(partial, keys, result, &midi, &messages);
  ASSERT_TRUE(d.loaded());
  EXPECT_EQ(d.lineCount(), 2);
  EXPECT_TRUE(d.lineText().empty());
  for (char16_t c : std::u16string(u"kaki")) EXPECT_EQ(d.type(c).verdict, MusicDrill::Verdict::Hit);
  EXPECT_TRUE(d.cleared());
}

TEST_F(MusicDrillTest, RomajiIsRewrittenInPlaceAndSmallKanaFollowTheXSetting) {
  ASSERT_TRUE(keys.set("x", u"l"));
  auto d = load({{u"t", u"", u"kixyatto", u"0xxx1xxx"}});
  EXPECT_EQ(set.romaji[0], u"kilyatto");
  EXPECT_EQ(d->remaining(), u"kilyatto");
}

// Flexible judgement: the notes stay tied to the kana, so two spellings of
// the same line send the same notes, each on its kana's first key.
TEST_F(MusicDrillTest, FlexibleSpellingsSendTheSameNotes) {
  const std::u16string_view spellings[] = {u"arupusuitimannzyaku", u"arupusuichimanjaku", u"arupusuicchimannjilyaku"};
  std::vector<std::vector<std::uint8_t>> sent;
  for (auto typed : spellings) {
    midi.clear();
    set = makeSet(u"曲", {kAlps0});
    MusicDrill d(set, keys, result, &midi, &messages, true);
    ASSERT_TRUE(d.flexible());
    midi.clear();
    int misses = 0;
    std::vector<bool> struck;
    for (char16_t k : typed) {
      const auto r = d.type(k);
      if (r.verdict != MusicDrill::Verdict::Hit) ++misses;
      struck.push_back(r.noteStruck);
    }
    if (typed == spellings[2]) {
      // "cchi" is not いち: the extra c is a miss, nothing else changes.
      EXPECT_EQ(misses, 1) << toUtf8(typed);
    } else {
      EXPECT_EQ(misses, 0) << toUtf8(typed);
      EXPECT_TRUE(d.cleared()) << toUtf8(typed);
    }
    if (typed == spellings[1]) {
      // a r u p u s u i c h i m a n j a k u: notes on a r p s i m j k (the
      // melody holds over ち).
      const std::vector<bool> expected = {true,  true,  false, true, false, true, false, true, false,
                                          false, false, true,  false, false, true, false, true, false};
      EXPECT_EQ(struck, expected);
    }
    sent.push_back(midi.bytes());
  }
  EXPECT_EQ(sent[0], sent[1]);
  EXPECT_EQ(sent[0], sent[2]);
  // The default judgement on the canonical keys sends the same melody.
  midi.clear();
  set = makeSet(u"曲", {kAlps0});
  MusicDrill plain(set, keys, result, &midi, &messages);
  midi.clear();
  for (char16_t k : spellings[0]) plain.type(k);
  EXPECT_EQ(midi.bytes(), sent[0]);
}

TEST_F(MusicDrillTest, FlexibleRemainingIsTheGuide) {
  keys.set("ti", u"chi");
  set = makeSet(u"曲", {kAlps0});
  MusicDrill d(set, keys, result, &midi, &messages, true);
  EXPECT_EQ(d.remaining(), u"arupusuichimannzyaku");
  for (char16_t k : std::u16string_view(u"arupusuit")) d.type(k);
  EXPECT_EQ(d.remaining(), u"imannzyaku");  // the learner's "ti" path
}

}  // namespace
}  // namespace lk
