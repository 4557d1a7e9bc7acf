#include "music/songs.h"

#include <gtest/gtest.h>

#include <string>

#include "editors/melody_conversion.h"
#include "engine/kana_to_romaji.h"
#include "engine/text.h"
#include "music/melody.h"

namespace lk {
namespace {

TEST(BuiltInSongs, TitlesAndLineCounts) {
  struct Case {
    BuiltInSong which;
    std::u16string_view title;
    std::size_t lines;
  };
  const Case cases[] = {
      {BuiltInSong::M1, u"大きな古時計", 6},
      {BuiltInSong::M2, u"アルプス一万尺", 6},
      {BuiltInSong::M3, u"チューリップ", 3},
  };
  for (const auto& c : cases) {
    const Song& song = builtInSong(c.which);
    EXPECT_EQ(toUtf8(song.title), toUtf8(c.title));
    EXPECT_EQ(song.lines.size(), c.lines) << toUtf8(c.title);
  }
}

TEST(FillWithSong, ReplacesEveryArrayWithExactlyTheSongsLines) {
  ProblemSet set;
  set.count = 40;
  set.title = u"前の問題";
  set.text.assign(100, u"old");
  set.romaji.assign(100, u"old");
  set.reading.assign(100, u"old");
  set.melody.assign(100, u"old");

  fillWithSong(set, BuiltInSong::M2);
  EXPECT_EQ(set.count, 6);
  EXPECT_EQ(toUtf8(set.title), "アルプス一万尺");
  ASSERT_EQ(set.text.size(), 6u);
  ASSERT_EQ(set.romaji.size(), 6u);
  ASSERT_EQ(set.reading.size(), 6u);
  ASSERT_EQ(set.melody.size(), 6u);
  EXPECT_EQ(toUtf8(set.text[0]), "アルプス一万尺");
  EXPECT_EQ(toUtf8(set.reading[0]), "あ　る　ぷ　す　いち　まん　じゃ　く");
  EXPECT_EQ(toUtf8(set.romaji[0]), "arupusuitimannzyaku");
  EXPECT_EQ(toUtf8(set.melody[0]), "55x7x9x5x＊ち9xx＊ん7＊じゃ0x");
  EXPECT_EQ(toUtf8(set.text[2]), "アルペン踊りを　さあ踊りましょ");
  EXPECT_EQ(toUtf8(set.melody[2]), "55x7x9x\\109x7x5x4x024x5x5x5xx");
  EXPECT_EQ(toUtf8(set.reading[5]), "らん ら ら ら　ら ら ら ら　ら ら ら ら ら");
  EXPECT_EQ(toUtf8(set.melody[5]), "2xx＊ん4x2x0x2x4x5x2x0x5x4x7x5x");
}

// A drill rewrites and consumes the romaji in place; the next press of the
// button must play the song from its untouched data.
TEST(FillWithSong, RefillAfterADrillRestoresTheSong) {
  ProblemSet set;
  fillWithSong(set, BuiltInSong::M3);
  const ProblemSet fresh = set;
  for (int i = 0; i < set.count; ++i) {
    set.romaji[static_cast<std::size_t>(i)].clear();
    set.reading[static_cast<std::size_t>(i)] = normalizeReadingSpaces(set.reading[static_cast<std::size_t>(i)]);
  }
  fillWithSong(set, BuiltInSong::M3);
  EXPECT_EQ(set.romaji, fresh.romaji);
  EXPECT_EQ(set.reading, fresh.reading);
  EXPECT_EQ(set.melody, fresh.melody);
}

// The stored romaji is the reading's canonical romaji, and the stored melody
// is what the music editor makes of the reading and these note names: the
// songs could have been written with the editor.
TEST(BuiltInSongs, LinesAreWhatTheEditorWouldWrite) {
  struct Case {
    BuiltInSong which;
    std::size_t line;
    std::u16string_view notes;
  };
  const Case cases[] = {
      {BuiltInSong::M1, 0, u"ドファミファソファソラbシラ+レ"},
      {BuiltInSong::M1, 1, u"ソソファファミレミファ"},
      {BuiltInSong::M1, 2, u"ドファミファソファソラbシラ+レソ"},
      {BuiltInSong::M1, 3, u"ソソファファミレミファ"},
      {BuiltInSong::M1, 4, u"ファラ+ド+ド+レ+ドラbシ+ドラソファ"},
      {BuiltInSong::M1, 5, u"+ドbシラソファミソファ"},
      {BuiltInSong::M2, 0, u"ファファソラファラソド"},
      {BuiltInSong::M3, 0, u"ドレミドレミソミレドレミレ"},
      {BuiltInSong::M3, 1, u"ドレミドレミソミレドレミド"},
      {BuiltInSong::M3, 2, u"ソソミソララソミミレレド"},
  };
  for (const auto& c : cases) {
    const SongLine& line = builtInSong(c.which).lines[c.line];
    SCOPED_TRACE(toUtf8(line.text));
    const MusicPageConversion page = convertMusicPage(line.reading, c.notes);
    ASSERT_TRUE(page.ok) << toUtf8(page.error);
    EXPECT_EQ(toUtf8(page.romaji), toUtf8(line.romaji));
    EXPECT_EQ(toUtf8(page.melody), toUtf8(line.melody));
  }
}

TEST(BuiltInSongs, NotesStayInTheSongsRangeAndUseTheMarkers) {
  bool si = false, tu = false, nn = false, twoDigit = false;
  for (BuiltInSong which : {BuiltInSong::M1, BuiltInSong::M2, BuiltInSong::M3}) {
    for (const SongLine& line : builtInSong(which).lines) {
      const std::u16string melody(line.melody);
      si |= melody.find(u"＊し") != std::u16string::npos;
      tu |= melody.find(u"＊つ") != std::u16string::npos;
      nn |= melody.find(u"＊ん") != std::u16string::npos;
      twoDigit |= melody.find(u'\\') != std::u16string::npos;
      for (const auto& token : tokenize(expand_markers(melody, KeySettings{}))) {
        if (isHold(token)) continue;
        EXPECT_GE(noteValue(token), -3) << toUtf8(line.text);
        EXPECT_LE(noteValue(token), 14) << toUtf8(line.text);
      }
    }
  }
  EXPECT_TRUE(si && tu && nn && twoDigit);
}

}  // namespace
}  // namespace lk
