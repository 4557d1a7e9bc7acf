#include "records/music_problem_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_services.h"
#include "fakes/test_data.h"
#include "records/text_file.h"

namespace lk {
namespace {

using Texts = std::vector<std::u16string>;

std::string fixture(const std::string& name) { return test::dataPath("records/data/" + name); }

MusicRecord rec(std::u16string text, std::u16string reading, std::u16string romaji, std::u16string melody,
                std::u16string notes) {
  return {std::move(text), std::move(reading), std::move(romaji), std::move(melody), std::move(notes)};
}

// The song of music_golden.txt: two counted lines, a shown but empty page,
// a page beyond the count, 96 pages never set.
MusicProblemFile goldenSong() {
  MusicProblemFile f;
  f.complete = true;
  f.count = 2;
  f.title = u"歌の題, 副題";
  f.records.push_back(rec(u"アルプス一万尺", u"あ　る　ぷ　す　いち　まん　じゃ　く", u"arupusuitimannzyaku",
                          u"55x7x9x5x＊ち9xx＊ん7＊じゃ0x", u"ソソラシドソ"));
  f.records.push_back(rec(u"ランラララ, ラ", u"らん ら ら", u"rannrara", u"\\10x2x0x", u"+ド-シ#ド"));
  f.records.push_back(rec(u"", u"", u"", u"", u""));
  MusicRecord beyond = rec(u"数えない", u"かぞえない", u"かぞえない", u"", u"");
  beyond.melody.reset();
  f.records.push_back(beyond);
  return f;
}

class MusicProblemFileTest : public ::testing::Test {
 protected:
  test::FakeProgramFolder folder;
  std::filesystem::path file() const { return folder.root / "song.txt"; }
  std::filesystem::path put(const std::string& bytes) const {
    folder.write("song.txt", bytes);
    return file();
  }
};

TEST_F(MusicProblemFileTest, WriterOutputEqualsTheHandMadeFile) {
  ASSERT_TRUE(writeMusicProblemFile(file(), goldenSong()).ok);
  const std::string bytes = folder.read("song.txt");
  EXPECT_EQ(bytes, test::readBytes(fixture("music_golden.txt")));
  // The melody's backslash is the single byte 0x5C.
  EXPECT_NE(bytes.find("\"\\10x2x0x\""), std::string::npos);
}

TEST_F(MusicProblemFileTest, MenuReadsTheCountedLinesOnly) {
  const auto m = readMusicProblemFileForMenu(fixture("music_golden.txt"));
  ASSERT_TRUE(m.loaded());
  EXPECT_EQ(m.count, 2);
  EXPECT_EQ(m.title, u"歌の題, 副題");
  EXPECT_EQ(m.text, (Texts{u"アルプス一万尺", u"ランラララ, ラ"}));
  EXPECT_EQ(m.reading, (Texts{u"あ　る　ぷ　す　いち　まん　じゃ　く", u"らん ら ら"}));
  EXPECT_EQ(m.romaji, (Texts{u"arupusuitimannzyaku", u"rannrara"}));
  EXPECT_EQ(m.melody, (Texts{u"55x7x9x5x＊ち9xx＊ん7＊じゃ0x", u"\\10x2x0x"}));
  EXPECT_TRUE(m.noteNames.empty());

  // Unquoted magic, "2" without spaces, empty lines as empty texts, nothing after the records.
  const auto s = readMusicProblemFileForMenu(fixture("music_menu_only.txt"));
  ASSERT_TRUE(s.loaded());
  EXPECT_EQ(s.reading, (Texts{u"いち ぎょう め", u""}));
  EXPECT_EQ(s.melody, (Texts{u"0x2x4x5x", u"5x4x2x0x"}));
}

TEST_F(MusicProblemFileTest, MenuRefusesAReadingNoKeyTypes) {
  // Two counted lines; the second carries `reading` and `romaji`.
  const auto song = [](const std::string& reading, const std::string& romaji) {
    std::string s = "\"miditrafile\"\r\n 2 \r\n\"t\"\r\n";
    s += "\"l0\"\r\n\"a\"\r\n\"a\"\r\n\"0x\"\r\n\"\"\r\n";
    s += "\"l1\"\r\n\"" + reading + "\"\r\n\"" + romaji + "\"\r\n\"0x\"\r\n\"\"\r\n";
    return s;
  };
  struct Case {
    const char* name;
    std::string reading, romaji;
    bool loads;
  } cases[] = {
      {"kana and spaces", *encodeCp932(u"か き"), "kaki", true},
      {"NUL in the romaji", *encodeCp932(u"かき"), std::string("ka\0ki", 5), false},
      {"control byte in the romaji", *encodeCp932(u"かき"), "kaki\x1b", false},
      {"kana left in the romaji", *encodeCp932(u"かき"), *encodeCp932(u"kaき"), false},
      {"control byte in the reading", "\x07", "a", false},
      {"kanji in the reading", *encodeCp932(u"漢"), "kann", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto m = readMusicProblemFileForMenu(put(song(c.reading, c.romaji)));
    EXPECT_EQ(m.loaded(), c.loads);
    if (c.loads) continue;
    EXPECT_EQ(m.message, u"読み込みに失敗しました。");
    // The line before it was read; the bad line stays out.
    EXPECT_EQ(m.text, (Texts{u"l0"}));
    EXPECT_EQ(m.romaji, (Texts{u"a"}));
    EXPECT_TRUE(readMusicProblemFileForEditor(file()).loaded()) << "the editor opens it to mend it";
  }
}

TEST_F(MusicProblemFileTest, EditorReadsTextReadingAndNoteNames) {
  const auto e = readMusicProblemFileForEditor(fixture("music_golden.txt"));
  ASSERT_TRUE(e.loaded());
  EXPECT_EQ(e.text, (Texts{u"アルプス一万尺", u"ランラララ, ラ"}));
  EXPECT_EQ(e.noteNames, (Texts{u"ソソラシドソ", u"+ド-シ#ド"}));
  EXPECT_TRUE(e.romaji.empty());
  EXPECT_TRUE(e.melody.empty());

  const auto u = readMusicProblemFileForEditor(fixture("music_unfinished.txt"));
  EXPECT_FALSE(u.complete);
  EXPECT_EQ(u.text, (Texts{u"読みなし"}));
}

TEST_F(MusicProblemFileTest, CountLimits) {
  auto song = [](int count, int records) {
    std::string s = "\"miditrafile\"\r\n " + std::to_string(count) + " \r\n\"t\"\r\n";
    for (int i = 0; i < records; ++i) s += "\"a\"\r\n\"a\"\r\n\"a\"\r\n\"0x\"\r\n\"\x83\x68\"\r\n";  // note name ド in 932
    return s;
  };
  struct Case {
    int count, records;
    ProblemFileStatus editor, menu;
    std::size_t editorLines, menuLines;
  } cases[] = {
      {0, 0, ProblemFileStatus::Loaded, ProblemFileStatus::Loaded, 0, 0},    // complete, if empty: the menu says so at 開始
      {100, 100, ProblemFileStatus::Loaded, ProblemFileStatus::Loaded, 100, 100},
      {101, 101, ProblemFileStatus::Failed, ProblemFileStatus::Failed, 100, 0},  // the drill holds 100 lines
      {3, 2, ProblemFileStatus::Failed, ProblemFileStatus::Failed, 2, 2},    // fewer records than counted
      {-1, 1, ProblemFileStatus::Failed, ProblemFileStatus::Failed, 0, 0},
      {2000000000, 1, ProblemFileStatus::Failed, ProblemFileStatus::Failed, 1, 0},
  };
  for (const auto& c : cases) {
    const auto e = readMusicProblemFileForEditor(put(song(c.count, c.records)));
    EXPECT_EQ(e.status, c.editor) << c.count;
    EXPECT_EQ(e.text.size(), c.editorLines) << c.count;
    const auto m = readMusicProblemFileForMenu(put(song(c.count, c.records)));
    EXPECT_EQ(m.status, c.menu) << c.count;
    EXPECT_EQ(m.text.size(), c.menuLines) << c.count;
    if (m.status == ProblemFileStatus::Failed) {
      EXPECT_EQ(m.message, u"読み込みに失敗しました。");
    }
  }
}

TEST_F(MusicProblemFileTest, FilesOfOtherKindsAreNotReadableWhateverFollows) {
  const std::string cases[] = {
      "\xEF\xBB\xBF\"miditrafile\"\r\n 0 \r\n\"t\"\r\n",                      // saved with a byte-order mark
      "\xE6\xAD\x8C\xE8\xA9\x9E\r\n\xE3\x81\x82 \xC2\x80\r\n",                // a UTF-8 memo
      std::string("GIF89a\x01\0\x01\0\x80\xFD\xA0\r\n", 15),                   // a picture
  };
  for (const auto& bytes : cases) {
    for (const auto& r : {readMusicProblemFileForEditor(put(bytes)), readMusicProblemFileForMenu(put(bytes))}) {
      EXPECT_EQ(r.status, ProblemFileStatus::NotReadable) << bytes;
      EXPECT_EQ(r.message, u"このファイルは読み込めません。") << bytes;
    }
  }
}

TEST_F(MusicProblemFileTest, WrittenSongReadsBack) {
  MusicProblemFile f;
  f.count = 3;
  f.title = u"三行";
  for (int i = 0; i < 3; ++i) f.records.push_back(rec(u"歌", u"う た", u"uta", u"0x2x", u"ドレ"));
  ASSERT_TRUE(writeMusicProblemFile(file(), f).ok);
  const std::string bytes = folder.read("song.txt");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 503);  // 3 header lines, 100 records of 5
  const auto m = readMusicProblemFileForMenu(file());
  ASSERT_TRUE(m.loaded());
  EXPECT_EQ(m.text.size(), 3u);
  EXPECT_EQ(m.romaji[2], u"uta");
}

TEST_F(MusicProblemFileTest, WriterRefusalsKeepTheOldFile) {
  MusicProblemFile quote = goldenSong();
  quote.records[1].noteNames = u"ド\"レ";
  MusicProblemFile emoji = goldenSong();
  emoji.title = u"🎵";
  MusicProblemFile tooMany = goldenSong();
  tooMany.count = 101;
  struct Case {
    const MusicProblemFile* data;
    std::u16string message;
  } cases[] = {
      {&quote, u"使用できない文字が含まれています。"},
      {&emoji, u"問題の保存に失敗しました。"},
      {&tooMany, u"問題の保存に失敗しました。"},
  };
  for (const auto& c : cases) {
    folder.write("song.txt", "old");
    const auto r = writeMusicProblemFile(file(), *c.data);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(folder.read("song.txt"), "old");
  }
}

}  // namespace
}  // namespace lk
