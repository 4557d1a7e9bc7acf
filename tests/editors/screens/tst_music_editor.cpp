// The music problem editor sakuseib driven through its widgets: the page
// list, the melody keyboard, counted pages, the melody error and the
// corrected save, clear, and a saved song played through in the music drill.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "editors/melody_conversion.h"
#include "editors/screens/editor_screens.h"
#include "editors/screens/piano_keyboard.h"
#include "fakes/fake_midi.h"
#include "fakes/fake_reading.h"
#include "music/screens/music_screens.h"
#include "shell/screens/gui_test_support.h"
#include "shell/text_file.h"

using lk::ScreenId;
using lk::test::GuiHarness;
using Lines = std::vector<std::u16string>;

namespace {
const QString kAlpsLyric = QStringLiteral("アルプス一万尺");
const QString kAlpsReading = QStringLiteral("あ　る　ぷ　す　いち　まん　じゃ　く");
const QString kAlpsNotes = QStringLiteral("ファファソラファラソド");
}  // namespace

class TstMusicEditor : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;
  lk::test::FakeReading reading;
  lk::test::FakeMidi midi;

  QLineEdit* box(const QString& name) const { return h->find<QLineEdit>(name); }
  QListWidget* list() const { return h->find<QListWidget>(QStringLiteral("List1")); }
  QString text(const QString& name) const { return h->textOf(name); }
  void typeInto(const QString& name, const QString& s) { QVERIFY2(h->commitInto(name, s), qPrintable(name)); }
  // Presses the mouse on entry `row` of the page list.
  void pressEntry(int row) {
    QListWidget* l = list();
    l->scrollToItem(l->item(row));
    const QRect r = l->visualItemRect(l->item(row));
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
    GuiHarness::settle();
  }
  void typePage(int number, const QString& lyric, const QString& yomi, const QString& notes) {
    pressEntry(number - 1);
    QCOMPARE(text("p_n"), QString::number(number));
    typeInto("q_n", lyric);
    typeInto("q2_n", yomi);
    typeInto("q3_n", notes);
  }
  std::filesystem::path file(const char* name) const { return h->fakes.folder.root / name; }
  Lines fileLines(const std::filesystem::path& p) const { return lk::readTextFileLines(p).value_or(Lines{}); }
  void openEditor() {
    h->open(ScreenId::sakuseib);
    QCOMPARE(h->currentId(), ScreenId::sakuseib);
  }

 private slots:
  void init() {
    h = std::make_unique<GuiHarness>(
        std::initializer_list<GuiHarness::Registration>{lk::registerEditorScreens, lk::registerMusicScreens});
    reading = {};
    midi = lk::test::FakeMidi{};
    h->fakes.reading = &reading;
    h->fakes.midi = &midi;
    h->rewire();
  }
  void cleanup() { h.reset(); }

  void opensWithItsControlsAndAnEmptyList() {
    openEditor();
    QCOMPARE(h->current()->windowTitle(), QStringLiteral("ミュージック問題作成"));
    const std::pair<const char*, const char*> texts[] = {
        {"Label2", "問題文"}, {"Label3", "ふりがな"}, {"Label4", "メロディー"}, {"hurigana_b", "ふりがな"},
        {"pager_b", "←"}, {"pagen_b", "→"}, {"p_n", "1"}, {"Label1", "TITLE:"}, {"title_n", "<no title>"},
        {"yomikomi_b", "読み込み"}, {"sakusei_b", "作成"}, {"cl_b", "クリア"}, {"re_b", "戻る"},
        {"q_n", ""}, {"q2_n", ""}, {"q3_n", ""},
    };
    for (const auto& [name, expected] : texts) QCOMPARE(text(QString::fromLatin1(name)), QString::fromUtf8(expected));
    QCOMPARE(list()->count(), 100);
    QCOMPARE(list()->item(0)->text(), QStringLiteral(" 1:"));
    QCOMPARE(list()->item(99)->text(), QStringLiteral(" 100:"));
    QCOMPARE(list()->currentRow(), 0);
    for (const char* name : {"q_n", "q2_n", "q3_n"}) QVERIFY(box(name)->testAttribute(Qt::WA_InputMethodEnabled));
  }

  void keyboardIsDrawnAsThreeOctavesWithBlackKeysOnTop() {
    openEditor();
    auto* keyboard = h->find<lk::PianoKeyboard>(QStringLiteral("kennban"));
    QVERIFY(keyboard);
    for (int i = 0; i < 36; ++i) {
      auto* key = h->find<lk::PianoKey>(QStringLiteral("kennban_%1").arg(i));
      QVERIFY(key);
      const lk::KeyboardKey k = lk::keyboardKey(i);
      QCOMPARE(key->isBlack(), k.black);
      // Key positions follow the twip layout at 15 twips a pixel.
      const QPoint at = key->mapTo(h->current()->client(), QPoint(0, 0));
      QVERIFY2(std::abs(at.x() - k.left / 15) <= 1, qPrintable(QString::number(i)));
      QVERIFY(std::abs(at.y() - k.top / 15) <= 1);
      QVERIFY(std::abs(key->width() - k.width / 15) <= 1);
      QVERIFY(std::abs(key->height() - k.height / 15) <= 1);
      // Whatever the mouse hits in a black key's area is the black key.
      if (k.black) QCOMPARE(keyboard->childAt(key->geometry().center()), static_cast<QWidget*>(key));
    }
    QVERIFY(h->find<lk::PianoKey>(QStringLiteral("kennban_1"))->height() <
            h->find<lk::PianoKey>(QStringLiteral("kennban_0"))->height());
  }

  void keyClicksAppendNoteNames() {
    openEditor();
    typeInto("q3_n", QStringLiteral("ソ"));
    for (int i : {0, 14, 25, 2}) QVERIFY(h->click(QStringLiteral("kennban_%1").arg(i)));
    QCOMPARE(text("q3_n"), QStringLiteral("ソ-ドレ+#ド-レ"));
  }

  void pagingKeepsBoxesAndNamesLeftPagesInTheList() {
    openEditor();
    typeInto("q_n", QStringLiteral("春"));
    typeInto("q2_n", QStringLiteral("は る"));
    typeInto("q3_n", QStringLiteral("ドレ"));
    QVERIFY(h->click("pagen_b"));
    QCOMPARE(text("p_n"), QStringLiteral("2"));
    QCOMPARE(list()->currentRow(), 1);
    QCOMPARE(list()->item(0)->text(), QStringLiteral(" 1:春"));
    QCOMPARE(text("q_n"), QString());
    QVERIFY(h->click("pager_b"));
    QCOMPARE(text("q_n"), QStringLiteral("春"));
    QCOMPARE(text("q2_n"), QStringLiteral("は る"));
    QCOMPARE(text("q3_n"), QStringLiteral("ドレ"));
    QVERIFY(h->click("pager_b"));
    QCOMPARE(text("p_n"), QStringLiteral("1"));

    pressEntry(99);
    QCOMPARE(text("p_n"), QStringLiteral("100"));
    typeInto("q_n", QStringLiteral("終"));
    QVERIFY(h->click("pagen_b"));
    QCOMPARE(text("p_n"), QStringLiteral("100"));
    QCOMPARE(text("q_n"), QStringLiteral("終"));

    // The keyboard in the list changes the page like the mouse.
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Home);
    GuiHarness::settle();
    QCOMPARE(text("p_n"), QStringLiteral("1"));
    QCOMPARE(text("q_n"), QStringLiteral("春"));
    QCOMPARE(list()->item(99)->text(), QStringLiteral(" 100:終"));
    QTest::keyClick(list(), Qt::Key_Down);
    GuiHarness::settle();
    QCOMPARE(text("p_n"), QStringLiteral("2"));
  }

  void savedSongCountsTheLeadingPages() {
    openEditor();
    typePage(1, kAlpsLyric, kAlpsReading, kAlpsNotes);
    typePage(2, QStringLiteral("春"), QStringLiteral("は る"), QStringLiteral("ドレ"));
    typePage(3, QStringLiteral("夏"), QStringLiteral("な つ"), QStringLiteral("ミファ"));
    typePage(5, QStringLiteral("冬"), QStringLiteral("ふ ゆ"), QStringLiteral("ソラ"));
    h->fakes.files.saveAnswers.push_back(file("song.txt"));
    QVERIFY(h->click("sakusei_b"));
    QVERIFY(h->fakes.messages.shown.empty());
    const Lines lines = fileLines(file("song.txt"));
    QCOMPARE(lines.size(), std::size_t(503));
    QCOMPARE(lines[0], std::u16string(u"\"miditrafile\""));
    QCOMPARE(lines[1], std::u16string(u" 3 "));
    QCOMPARE(lines[5], std::u16string(u"\"arupusuitimannzyaku\""));
    QCOMPARE(lines[6], std::u16string(u"\"55x7x9x5x＊ち9xx＊ん7＊じゃ0x\""));
    QCOMPARE(lines[23], std::u16string(u"\"冬\""));  // written, though not counted
    QCOMPARE(lines[26], std::u16string());       // and without a melody
  }

  void melodyErrorThenCorrectedSave() {
    openEditor();
    typePage(1, QStringLiteral("春"), QStringLiteral("は る"), QStringLiteral("ドレ"));
    typePage(2, QStringLiteral("夏"), QStringLiteral("な つ"), QStringLiteral("ドx"));
    h->fakes.files.saveAnswers.push_back(file("song.txt"));
    QVERIFY(h->click("sakusei_b"));
    QCOMPARE(h->fakes.messages.shown, Lines{u"メロディーデータに間違いがあります。（2番）"});
    QCOMPARE(h->fakes.files.saveCalls, 0);
    QVERIFY(!std::filesystem::exists(file("song.txt")));
    QCOMPARE(text("q3_n"), QStringLiteral("ドx"));

    h->fakes.messages.shown.clear();
    typeInto("q3_n", QStringLiteral("ミ"));
    QVERIFY(h->click("kennban_19"));  // ソ
    QVERIFY(h->click("sakusei_b"));
    QVERIFY(h->fakes.messages.shown.empty());
    const Lines lines = fileLines(file("song.txt"));
    QCOMPARE(lines.size(), std::size_t(503));
    QCOMPARE(lines[1], std::u16string(u" 2 "));
    QCOMPARE(lines[12], std::u16string(u"\"ミソ\""));
  }

  void asteriskReadingIsRefused() {
    openEditor();
    typePage(1, QStringLiteral("星"), QStringLiteral("ほ＊し"), QStringLiteral("ド"));
    QVERIFY(h->click("sakusei_b"));
    QCOMPARE(h->fakes.messages.shown, Lines{u"使用できない文字が含まれています。（1番）"});
    QCOMPARE(h->fakes.files.saveCalls, 0);
  }

  void untypeableReadingIsRefusedWithItsPage() {
    openEditor();
    typePage(1, QStringLiteral("春"), QStringLiteral("は る"), QStringLiteral("ドレ"));
    typePage(2, QStringLiteral("歌"), QStringLiteral("ら ら ♪"), QStringLiteral("ドレミ"));
    h->fakes.files.saveAnswers.push_back(file("song.txt"));
    QVERIFY(h->click("sakusei_b"));
    QCOMPARE(h->fakes.messages.shown, Lines{u"読みに入力できない文字があります。（2番）"});
    QCOMPARE(h->fakes.files.saveCalls, 0);
  }

  void fillReadingAndUnfinishedSong() {
    reading.set(u"一万尺", u"いちまんじゃく");
    openEditor();
    typeInto("q_n", QStringLiteral("一万尺"));
    QVERIFY(h->click("hurigana_b"));
    QCOMPARE(text("q2_n"), QStringLiteral("いちまんじゃく"));
    typePage(2, QStringLiteral("未知"), QString(), QString());
    QVERIFY(h->click("hurigana_b"));
    QCOMPARE(text("q2_n"), QString());
    h->fakes.files.saveAnswers.push_back(file("half.txt"));
    QVERIFY(h->click("sakusei_b"));
    QCOMPARE(fileLines(file("half.txt")).at(0), std::u16string(u"\"premiditrafile\""));
  }

  void cancelledLoadLeavesAnEmptyEditorAndClearOnPageFour() {
    openEditor();
    typePage(4, QStringLiteral("冬"), QStringLiteral("ふゆ"), QStringLiteral("ド"));
    typeInto("title_n", QStringLiteral("四季"));
    h->fakes.messages.answers.push_back(true);
    QVERIFY(h->click("cl_b"));
    QCOMPARE(h->fakes.messages.asked.at(0).text, std::u16string(u"本当に消去しますか？"));
    QCOMPARE(h->fakes.messages.asked.at(0).title, std::u16string(u"問題のクリア"));
    QCOMPARE(text("p_n"), QStringLiteral("1"));
    QCOMPARE(text("title_n"), QStringLiteral("<no title>"));
    QCOMPARE(list()->item(3)->text(), QStringLiteral(" 4:"));
    QCOMPARE(list()->currentRow(), 0);
    pressEntry(3);
    QCOMPARE(text("q_n"), QString());

    typeInto("q_n", QStringLiteral("秋"));
    QVERIFY(h->click("yomikomi_b"));  // cancelled
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(text("p_n"), QStringLiteral("1"));
    QCOMPARE(text("q_n"), QString());
    QCOMPARE(list()->item(3)->text(), QStringLiteral(" 4:"));
  }

  void savedSongIsPlayedThroughInTheMusicDrill() {
    openEditor();
    typePage(1, kAlpsLyric, kAlpsReading, kAlpsNotes);
    typeInto("title_n", QStringLiteral("アルプス"));
    h->fakes.files.saveAnswers.push_back(file("alps.txt"));
    QVERIFY(h->click("sakusei_b"));
    QVERIFY(h->fakes.messages.shown.empty());

    // Loaded back into the editor ...
    QVERIFY(h->click("re_b"));
    QVERIFY(h->click("ed_b"));
    auto* music = h->find<QAbstractButton>(QStringLiteral("edselect_o_1"));
    QVERIFY(music);
    music->click();
    QVERIFY(h->click("Command1"));
    QCOMPARE(h->currentId(), ScreenId::sakuseib);
    h->fakes.files.openAnswers.push_back(file("alps.txt"));
    QVERIFY(h->click("yomikomi_b"));
    QCOMPARE(text("q3_n"), kAlpsNotes);
    QCOMPARE(list()->item(0)->text(), QStringLiteral(" 1:") + kAlpsLyric);

    // ... and played on the music menu.
    QVERIFY(h->click("re_b"));
    QVERIFY(h->click("midimenu_b"));
    QCOMPARE(h->currentId(), ScreenId::midi_menu);
    h->fakes.files.openAnswers.push_back(file("alps.txt"));
    QVERIFY(h->click("ori_b"));
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(text("title_l"), QStringLiteral("アルプス"));
    QVERIFY(h->click("orikaisi_b"));
    QCOMPARE(h->currentId(), ScreenId::midi_tra);
    QCOMPARE(text("label_q2"), kAlpsLyric);
    h->type(QStringLiteral("arupusuitimannzyaku"));
    QCOMPARE(text("label_q4"), QStringLiteral("クリア！"));
    // F F G A F A G C: note on of each strike, middle C = 60.
    std::vector<int> struck;
    const auto bytes = midi.bytes();
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3) {
      if (bytes[i] == 0x90 && bytes[i + 2] != 0) struck.push_back(bytes[i + 1]);
    }
    QCOMPARE(struck, (std::vector<int>{65, 65, 67, 69, 65, 69, 67, 60}));
  }
};

QTEST_MAIN(TstMusicEditor)
#include "tst_music_editor.moc"
