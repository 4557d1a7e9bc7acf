#include "editors/music_editor.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editors/melody_conversion.h"
#include "engine/key_settings.h"
#include "engine/text.h"
#include "fakes/fake_reading.h"
#include "fakes/fake_services.h"
#include "fakes/test_data.h"
#include "records/music_problem_file.h"
#include "records/problem_set.h"
#include "records/text_file.h"

namespace lk {
namespace {

using Lines = std::vector<std::u16string>;

// Line 0 of the built-in song of m2_b: its reading, note names and what the save makes of them.
constexpr std::u16string_view kAlpsLyric = u"アルプス一万尺";
constexpr std::u16string_view kAlpsReading = u"あ　る　ぷ　す　いち　まん　じゃ　く";
constexpr std::u16string_view kAlpsNotes = u"ファファソラファラソド";
constexpr std::u16string_view kAlpsRomaji = u"arupusuitimannzyaku";
constexpr std::u16string_view kAlpsMelody = u"55x7x9x5x＊ち9xx＊ん7＊じゃ0x";

class MusicEditorTest : public ::testing::Test {
 protected:
  MusicEditorTest() {
    fakes.reading = &reading;
    services = fakes.services();
  }

  void goTo(int number) { editor.selectPage(number - 1); }

  void typePage(int number, std::u16string_view lyric, std::u16string_view yomi, std::u16string_view notes) {
    goTo(number);
    editor.view.lyric = lyric;
    editor.view.reading = yomi;
    editor.view.notes = notes;
  }

  std::filesystem::path file(const std::string& name) const { return fakes.folder.root / name; }

  void saveTo(const std::filesystem::path& path) {
    fakes.files.saveAnswers.push_back(path);
    editor.save();
  }

  Lines fileLines(const std::filesystem::path& path) const { return readTextFileLines(path).value_or(Lines{}); }

  test::FakeServices fakes;
  test::FakeReading reading;
  Services services;
  ProblemSet set;
  MusicEditor editor{set, services};
};

TEST_F(MusicEditorTest, OpensOnPageOneWithANumberedList) {
  EXPECT_EQ(editor.page(), 0);
  EXPECT_EQ(editor.pageLabel(), u"1");
  ASSERT_EQ(editor.listEntries().size(), 100u);
  EXPECT_EQ(editor.listEntries()[0], u" 1:");
  EXPECT_EQ(editor.listEntries()[99], u" 100:");
  EXPECT_EQ(editor.selectedEntry(), 0);
  EXPECT_EQ(editor.view.title, u"<no title>");
}

TEST_F(MusicEditorTest, PagingKeepsTheBoxesAndNamesTheLeftPageInTheList) {
  typePage(1, u"春", u"は る", u"ドレ");
  editor.nextPage();
  EXPECT_EQ(editor.page(), 1);
  EXPECT_EQ(editor.pageLabel(), u"2");
  EXPECT_EQ(editor.selectedEntry(), 1);
  EXPECT_EQ(editor.listEntries()[0], u" 1:春");
  EXPECT_EQ(editor.view.lyric, u"");
  editor.view.lyric = u"夏";
  editor.previousPage();
  EXPECT_EQ(editor.view.lyric, u"春");
  EXPECT_EQ(editor.view.reading, u"は る");
  EXPECT_EQ(editor.view.notes, u"ドレ");
  EXPECT_EQ(editor.listEntries()[1], u" 2:夏");

  editor.previousPage();
  EXPECT_EQ(editor.page(), 0);
  editor.selectPage(99);
  EXPECT_EQ(editor.pageLabel(), u"100");
  editor.view.lyric = u"終";
  editor.nextPage();
  EXPECT_EQ(editor.page(), 99);
  EXPECT_EQ(editor.view.lyric, u"終");
  EXPECT_EQ(editor.listEntries()[99], u" 100:終");
}

TEST_F(MusicEditorTest, ListSelectionStoresThePageOnScreen) {
  editor.view.lyric = u"一";
  editor.selectPage(41);
  EXPECT_EQ(editor.page(), 41);
  EXPECT_EQ(editor.text(0), u"一");
  EXPECT_EQ(editor.listEntries()[0], u" 1:一");
  editor.selectPage(100);  // no such entry
  EXPECT_EQ(editor.page(), 41);
}

TEST_F(MusicEditorTest, KeyboardAppendsNoteNames) {
  editor.view.notes = u"ソ";
  editor.pressKey(0);
  editor.pressKey(14);
  editor.pressKey(25);
  EXPECT_EQ(editor.view.notes, u"ソ-ドレ+#ド");
}

TEST_F(MusicEditorTest, FillReadingFromTheLyric) {
  reading.set(u"一万尺", u"いちまんじゃく");
  editor.view.lyric = u"一万尺";
  editor.view.reading = u"古い";
  editor.fillReading();
  EXPECT_EQ(editor.view.reading, u"いちまんじゃく");
  editor.view.lyric = u"未知";
  editor.fillReading();
  EXPECT_EQ(editor.view.reading, u"");
}

TEST_F(MusicEditorTest, SaveWritesConvertedLinesAndCountsLeadingPages) {
  typePage(1, kAlpsLyric, kAlpsReading, kAlpsNotes);
  typePage(2, u"て", u"あっ　て", u"ドレ");
  typePage(3, u"はる", u"はる", u"ミ");
  typePage(5, u"後", u"あと", u"ソ");  // after the empty page 4: written, not counted
  editor.view.title = u"アルプス, 一万尺";
  saveTo(file("song.txt"));
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_TRUE(editor.complete());

  const Lines lines = fileLines(file("song.txt"));
  ASSERT_EQ(lines.size(), 503u);
  EXPECT_EQ(lines[0], u"\"miditrafile\"");
  EXPECT_EQ(lines[1], u" 3 ");
  EXPECT_EQ(lines[2], u"\"アルプス, 一万尺\"");
  EXPECT_EQ((Lines(lines.begin() + 3, lines.begin() + 8)),
            (Lines{u"\"" + std::u16string(kAlpsLyric) + u"\"", u"\"" + std::u16string(kAlpsReading) + u"\"",
                   u"\"" + std::u16string(kAlpsRomaji) + u"\"", u"\"" + std::u16string(kAlpsMelody) + u"\"",
                   u"\"" + std::u16string(kAlpsNotes) + u"\""}));
  EXPECT_EQ(lines[10], u"\"atte\"");
  EXPECT_EQ(lines[11], u"\"0xx2\"") << "the note of て sounds on its e";
  // Page 4 was never shown: empty lines. Page 5 is written with its reading as romaji and no melody.
  EXPECT_EQ((Lines(lines.begin() + 18, lines.begin() + 28)),
            (Lines{u"", u"", u"", u"", u"", u"\"後\"", u"\"あと\"", u"\"あと\"", u"", u"\"ソ\""}));
  EXPECT_EQ(lines[28], u"") << "a page never shown has no values";

  const MusicFileReadResult menu = readMusicProblemFileForMenu(file("song.txt"));
  ASSERT_TRUE(menu.loaded());
  EXPECT_EQ(menu.count, 3);
  EXPECT_EQ(menu.melody[0], kAlpsMelody);

  // The working set keeps what the user typed.
  EXPECT_EQ(editor.reading(0), kAlpsReading);
  EXPECT_EQ(editor.noteNames(0), kAlpsNotes);
}

TEST_F(MusicEditorTest, OnlyALyricWithoutReadingMakesTheSongUnfinished) {
  typePage(1, u"春", u"はる", u"ド");
  typePage(3, u"", u"よみ", u"レ");  // reading and notes without a lyric
  saveTo(file("a.txt"));
  EXPECT_EQ(fileLines(file("a.txt")).at(0), u"\"miditrafile\"");

  typePage(2, u"夏", u"", u"");
  saveTo(file("b.txt"));
  EXPECT_FALSE(editor.complete());
  EXPECT_EQ(fileLines(file("b.txt")).at(0), u"\"premiditrafile\"");
  EXPECT_EQ(readMusicProblemFileForMenu(file("b.txt")).status, ProblemFileStatus::Unfinished);
}

TEST_F(MusicEditorTest, MelodyErrorStopsTheSaveUntilTheNamesAreCorrected) {
  typePage(1, u"春", u"は る", u"ドレ");
  typePage(2, u"夏", u"な つ", u"ドX");
  saveTo(file("song.txt"));
  EXPECT_EQ(fakes.messages.shown, (Lines{u"メロディーデータに間違いがあります。（2番）"}));
  EXPECT_EQ(fakes.files.saveCalls, 0);
  EXPECT_FALSE(std::filesystem::exists(file("song.txt")));
  EXPECT_EQ(editor.noteNames(1), u"ドX");

  fakes.messages.shown.clear();
  editor.view.notes = u"ドレ";
  editor.save();  // the scripted path is still waiting
  EXPECT_TRUE(fakes.messages.shown.empty());
  const Lines lines = fileLines(file("song.txt"));
  ASSERT_EQ(lines.size(), 503u);
  EXPECT_EQ(lines[1], u" 2 ");
  EXPECT_EQ(lines[11], u"\"0x2＊つ\"");
}

TEST_F(MusicEditorTest, SaveRefusals) {
  struct Case {
    const char* why;
    std::u16string lyric, yomi, notes, title;
    std::u16string message;
  } cases[] = {
      // The page at fault is named (page 1 here); the title has no number.
      {"asterisk in a reading", u"春", u"は*る", u"ド", u"t", u"使用できない文字が含まれています。（1番）"},
      {"full-width asterisk in a reading", u"春", u"はる＊", u"ド", u"t", u"使用できない文字が含まれています。（1番）"},
      {"double quote in a lyric", u"\"春\"", u"はる", u"ド", u"t", u"使用できない文字が含まれています。（1番）"},
      {"double quote in note names", u"春", u"はる", u"ド\"", u"t", u"使用できない文字が含まれています。（1番）"},
      {"title outside code page 932", u"春", u"はる", u"ド", u"😀", u"使用できない文字が含まれています。"},
      {"reading starting with a space", u"春", u" はる", u"ド", u"t", u"問題の保存に失敗しました。（1番）"},
      {"more than 51 notes", u"春", u"はる", std::u16string(52, u'ド'), u"t", u"問題の保存に失敗しました。（1番）"},
      {"kanji in a reading", u"春", u"は る 春", u"ドレミ", u"t", u"読みに入力できない文字があります。（1番）"},
      {"♪ in a reading", u"春", u"は る ♪", u"ドレミ", u"t", u"読みに入力できない文字があります。（1番）"},
      // The music editor's list has no entry for the half-width ｰ.
      {"half-width prolonged sound mark", u"春", u"は ｰ", u"ドレ", u"t", u"読みに入力できない文字があります。（1番）"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    fakes.messages.shown.clear();
    fakes.files.saveCalls = 0;
    MusicEditor ed(set, services);
    ed.view.lyric = c.lyric;
    ed.view.reading = c.yomi;
    ed.view.notes = c.notes;
    ed.view.title = c.title;
    ed.save();
    EXPECT_EQ(fakes.messages.shown, (Lines{c.message}));
    EXPECT_EQ(fakes.files.saveCalls, 0);
    EXPECT_EQ(ed.reading(0), c.yomi);
  }
}

TEST_F(MusicEditorTest, TextFromLinuxInputMethodsIsTakenAsItsCodePage932Form) {
  // 〜 as U+301C, ゔ for "vu" and full-width letters, as fcitx and ibus type them.
  typePage(1, u"波\u301C", u"な み\u301C", u"ドレ");
  typePage(2, u"ゔぁ", u"ゔ ぁ ＯＫ", u"ドレミ");
  saveTo(file("linux.txt"));
  EXPECT_TRUE(fakes.messages.shown.empty());
  const Lines lines = fileLines(file("linux.txt"));
  ASSERT_EQ(lines.size(), 503u);
  EXPECT_EQ(lines[3], u"\"波～\"");
  EXPECT_EQ(lines[4], u"\"な み～\"");
  EXPECT_EQ(lines[5], u"\"nami~\"");
  EXPECT_EQ(lines[8], u"\"ヴぁ\"");
  EXPECT_EQ(lines[9], u"\"ヴ ぁ OK\"");
  EXPECT_EQ(lines[10], u"\"vuxa*o**k*\"");
}

TEST_F(MusicEditorTest, CancelledSaveChangesNothingForTheNextSave) {
  typePage(1, kAlpsLyric, kAlpsReading, kAlpsNotes);
  typePage(2, u"て", u"あっ　て", u"ドレ");
  saveTo(file("straight.txt"));
  editor.save();  // cancelled
  EXPECT_EQ(fakes.files.saveCalls, 2);
  saveTo(file("after.txt"));
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_EQ(test::readBytes(file("after.txt").string()), test::readBytes(file("straight.txt").string()));
}

TEST_F(MusicEditorTest, LoadShowsPageOneAndFillsTheList) {
  typePage(1, kAlpsLyric, kAlpsReading, kAlpsNotes);
  typePage(2, u"て", u"あっ　て", u"ドレ");
  editor.view.title = u"歌";
  saveTo(file("song.txt"));

  MusicEditor again(set, services);
  again.selectPage(7);
  fakes.files.openAnswers.push_back(file("song.txt"));
  again.load();
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_EQ(again.page(), 0);
  EXPECT_EQ(again.view.lyric, kAlpsLyric);
  EXPECT_EQ(again.view.reading, kAlpsReading);
  EXPECT_EQ(again.view.notes, kAlpsNotes);
  EXPECT_EQ(again.view.title, u"歌");
  EXPECT_EQ(set.title, u"歌");
  EXPECT_EQ(again.listEntries()[0], u" 1:" + std::u16string(kAlpsLyric));
  EXPECT_EQ(again.listEntries()[1], u" 2:て");
  EXPECT_EQ(again.listEntries()[2], u" 3:");
  EXPECT_EQ(again.text(7), u"");
}

TEST_F(MusicEditorTest, LoadThatDoesNotCompleteLeavesTheSongAsItWas) {
  fakes.folder.write("other.txt", "\"ntrafile\"\r\n 1 \r\n\"t\"\r\n");
  fakes.folder.write("short.txt", encodeCp932(u"\"miditrafile\"\r\n 2 \r\n\"t\"\r\n\"春\"\r\n\"はる\"\r\n"
                                              u"\"haru\"\r\n\"0x\"\r\n\"ド\"\r\n")
                                      .value());
  struct Case {
    const char* why;
    std::optional<std::string> name;
    Lines messages;
  } cases[] = {
      {"cancelled dialog", std::nullopt, {}},
      {"other magic word", "other.txt", {u"このファイルは読み込めません。"}},
      {"fewer records than the count", "short.txt", {u"問題の読み込みに失敗しました。"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    fakes.messages.shown.clear();
    MusicEditor ed(set, services);
    ed.view.lyric = u"古い";
    ed.view.reading = u"ふる い";
    ed.view.notes = u"ドレ";
    ed.view.title = u"古い歌";
    ed.selectPage(3);
    ed.view.lyric = u"書きかけ";  // on screen, not stored yet
    fakes.files.openAnswers.push_back(c.name ? std::optional(file(*c.name)) : std::nullopt);
    ed.load();
    EXPECT_EQ(fakes.messages.shown, c.messages);
    EXPECT_EQ(ed.page(), 3);
    EXPECT_EQ(ed.view.lyric, u"書きかけ");
    EXPECT_EQ(ed.view.title, u"古い歌");
    EXPECT_EQ(ed.listEntries()[0], u" 1:古い");
    EXPECT_EQ(ed.text(0), u"古い");
    EXPECT_EQ(ed.reading(0), u"ふる い");
    EXPECT_EQ(ed.noteNames(0), u"ドレ");
    EXPECT_EQ(ed.text(1), u"");
    EXPECT_TRUE(ed.currentFile().empty());
    // The song kept is the song saved.
    fakes.files.saveAnswers.push_back(file("kept.txt"));
    ed.save();
    EXPECT_EQ(fileLines(file("kept.txt")).at(3), u"\"古い\"");
  }
}

TEST_F(MusicEditorTest, RemembersTheFileLastLoadedOrSavedForTheSaveDialog) {
  typePage(1, u"春", u"は る", u"ドレ");
  editor.save();  // cancelled: no file yet
  EXPECT_TRUE(editor.currentFile().empty());
  EXPECT_EQ(editor.savedCount(), 0);
  saveTo(file("spring.txt"));
  EXPECT_EQ(editor.currentFile(), file("spring.txt"));
  EXPECT_EQ(editor.savedCount(), 1);
  saveTo(fakes.folder.root / "missing" / "x.txt");  // cannot be created
  EXPECT_EQ(fakes.messages.shown, Lines{u"問題の保存に失敗しました。"});
  EXPECT_EQ(editor.currentFile(), file("spring.txt"));
  EXPECT_EQ(editor.savedCount(), 1);

  MusicEditor again(set, services);
  fakes.files.openAnswers.push_back(file("spring.txt"));
  again.load();
  EXPECT_EQ(again.currentFile(), file("spring.txt"));
  fakes.files.saveAnswers.push_back(std::nullopt);
  again.save();
  const std::vector<std::filesystem::path> offered{{}, {}, file("spring.txt"), file("spring.txt")};
  EXPECT_EQ(fakes.files.saveSuggestions, offered);
}

// The fit line: notes entered against the note groups the conversion finds.
TEST(MelodyFitTest, CountsNotesAndGroupsAsTheConversionDoes) {
  struct Case {
    std::u16string_view reading, notes;
    int notesCounted, groups;
    bool fits;
  } cases[] = {
      {kAlpsReading, kAlpsNotes, 8, 8, true},
      {u"", u"", 0, 0, true},
      {u"は る", u"ド", 1, 2, false},
      {u"は　　る", u"ドレ", 2, 2, true},         // a run of spaces is one separator
      {u"らん な", u"ドレ", 2, 2, true},          // ん before な keeps its group
      {u"はる", u"ド+", 2, 1, false},            // a trailing prefix is a note of its own
      {u"は る", u"ﾄﾞﾚ", 2, 2, true},             // half-width names count alike
      {u"は る", u"ドxレ", 2, 2, false},          // a refused character is never a fit
      // A space at either end is a group with no key: the save fails, so
      // equal counts are no fit.
      {u"さ い た ", u"ドレミファ", 4, 4, false},
      {u" さ い た", u"ドレミファ", 4, 4, false},
      {u"さ　い た　", u"ドレミファ", 4, 4, false},
      {u"　", u"ドレ", 2, 2, false},
      {u"さ  い た", u"ドレミ", 3, 3, true},       // inside, any run of spaces is one
      {u"さ %", u"ドレ", 2, 2, false},             // a group that starts with no key
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.reading) + " / " + toUtf8(c.notes));
    const MelodyFit fit = melodyFit(c.reading, c.notes);
    EXPECT_EQ(fit.groups, c.groups);
    EXPECT_EQ(fit.notes, c.notesCounted);
    EXPECT_EQ(fit.fits(), c.fits);
    // A fit is always a page the save converts.
    if (fit.fits()) {
      EXPECT_TRUE(convertMusicPage(c.reading, c.notes).ok);
    }
  }
}

TEST(PreviewBeatsTest, OneBeatPerNoteGroupInTheOrderTheDrillStrikes) {
  using Beats = std::vector<std::optional<int>>;
  const KeySettings settings;
  EXPECT_EQ(previewBeats(kAlpsReading, kAlpsNotes, settings), (Beats{5, 5, 7, 9, 5, 9, 7, 0}));
  // Low and high keys of the piano, and groups left without a note hold the last one.
  EXPECT_EQ(previewBeats(u"は る な つ", u"-レ+シ", settings), (Beats{-10, 23, std::nullopt, std::nullopt}));
  // Surplus notes are not played, as the drill never reaches them.
  EXPECT_EQ(previewBeats(u"はる", u"ドレミ", settings), (Beats{0}));
  // Nothing to play: no notes, a melody error, a reading that cannot be converted.
  for (auto [reading, notes] : {std::pair<std::u16string_view, std::u16string_view>{u"はる", u""},
                                {u"は る", u"ドx"},
                                {u" はる", u"ド"}}) {
    EXPECT_TRUE(previewBeats(reading, notes, settings).empty()) << toUtf8(reading);
  }
}

TEST_F(MusicEditorTest, ClearOnPageFourAsksThenEmptiesEverything) {
  typePage(1, u"春", u"はる", u"ド");
  typePage(4, u"冬", u"ふゆ", u"レ");
  editor.view.title = u"四季";
  editor.clear();  // No
  EXPECT_EQ(editor.page(), 3);
  EXPECT_EQ(editor.view.lyric, u"冬");
  ASSERT_EQ(fakes.messages.asked.size(), 1u);
  EXPECT_EQ(fakes.messages.asked[0].text, u"本当に消去しますか？");
  EXPECT_EQ(fakes.messages.asked[0].title, u"問題のクリア");

  fakes.messages.answers.push_back(true);
  editor.clear();
  EXPECT_EQ(editor.page(), 0);
  EXPECT_EQ(editor.pageLabel(), u"1");
  EXPECT_EQ(editor.view.lyric, u"");
  EXPECT_EQ(editor.view.reading, u"");
  EXPECT_EQ(editor.view.notes, u"");
  EXPECT_EQ(editor.view.title, u"<no title>");
  EXPECT_EQ(editor.listEntries()[0], u" 1:");
  EXPECT_EQ(editor.text(0), u"");
  EXPECT_EQ(editor.noteNames(3), u"");
  EXPECT_FALSE(editor.complete());
}

}  // namespace
}  // namespace lk
