// The music problem editor sakuseib driven through its widgets: the page
// list, the melody keyboard and its sound, the preview, the fit line, undo,
// the status line, counted pages, the melody error and the corrected save,
// clear, a load that does not complete, and a saved song played through in
// the music drill.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "editors/melody_conversion.h"
#include "editors/screens/editor_screens.h"
#include "editors/screens/editor_widgets.h"
#include "editors/screens/piano_keyboard.h"
#include "editors/screens/sakuseib.h"
#include "fakes/fake_midi.h"
#include "fakes/fake_reading.h"
#include "music/screens/music_screens.h"
#include "shell/screens/gui_test_support.h"
#include "shell/screens/screen_widgets.h"
#include "records/text_file.h"

using lk::ScreenId;
using lk::test::GuiHarness;
using Lines = std::vector<std::u16string>;
using Kind = lk::test::FakeMidi::Kind;

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
  lk::MusicEditorScreen* screen() const { return qobject_cast<lk::MusicEditorScreen*>(h->current()); }
  // A clock of the editor, made manual so the test steps it instead of waiting.
  lk::editors::ScreenTimer* timer(const char* name) const {
    auto* t = h->find<lk::editors::ScreenTimer>(QString::fromLatin1(name));
    if (t) t->setManual(true);
    return t;
  }
  // MIDI keys of the note-on messages (velocity 127) sent so far.
  std::vector<int> struckKeys() const {
    std::vector<int> keys;
    for (const auto& m : midi.sent()) {
      if (m.status == 0x90 && m.data2 == 0x7F) keys.push_back(m.data1);
    }
    return keys;
  }
  static lk::test::FakeMidi::Event on(int key) { return {Kind::Send, {0x90, static_cast<std::uint8_t>(key), 0x7F}}; }
  static lk::test::FakeMidi::Event off(int key) { return {Kind::Send, {0x90, static_cast<std::uint8_t>(key), 0}}; }
  bool isRed(const QString& label) const {
    return h->find<QLabel>(label)->palette().color(QPalette::WindowText) == QColor(Qt::red);
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

  // The page number sits between the page buttons at (5520, 6360) twips.
  void pageNumberSitsBetweenThePageButtons() {
    openEditor();
    auto* p = h->find<QLabel>(QStringLiteral("p_n"));
    QVERIFY(p);
    const QPoint at = p->mapTo(h->current()->client(), QPoint(0, 0));
    QVERIFY2(std::abs(at.x() - 5520 / 15) <= 1, qPrintable(QString::number(at.x())));
    QVERIFY(std::abs(at.y() - 6360 / 15) <= 1);
  }

  // Leaving with work no file has asks first (the typing editor's test
  // walks every way out); a piano key alone is work, a save ends it.
  void leavingWithUnsavedWorkAsksFirst() {
    struct Case {
      const char* name;
      std::function<void()> before;
      bool asks;
    } cases[] = {
        {"untouched", [] {}, false},
        {"a piano key", [this] { QVERIFY(h->click(QStringLiteral("kennban_0"))); }, true},
        {"a page left behind", [this] { typePage(3, QStringLiteral("海"), QStringLiteral("うみ"), QStringLiteral("ドレ")); QVERIFY(h->click("pager_b")); }, true},
        {"typed then saved",
         [this] {
           typePage(1, QStringLiteral("海"), QStringLiteral("うみ"), QStringLiteral("ドレ"));
           h->fakes.files.saveAnswers.push_back(file("m.txt"));
           QVERIFY(h->click("sakusei_b"));
           QVERIFY(h->fakes.messages.shown.empty());
         },
         false},
    };
    for (const Case& c : cases) {
      init();
      openEditor();
      c.before();
      QVERIFY(h->click("re_b"));
      QVERIFY2(h->fakes.messages.asked.size() == (c.asks ? 1u : 0u), c.name);
      QVERIFY2((h->currentId() == ScreenId::m_menu) != c.asks, c.name);
      if (!c.asks) continue;
      QCOMPARE(h->fakes.messages.asked[0].text, std::u16string(u"保存されていない変更があります。破棄しますか？"));
      h->fakes.messages.answers = {true};
      QVERIFY(h->click("re_b"));
      QCOMPARE(h->currentId(), ScreenId::m_menu);
    }
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
    // White keys carry their names, each ド its octave (middle C is ド4).
    const std::pair<int, const char*> names[] = {{0, "ド3"}, {1, ""}, {5, "ファ"}, {11, "シ"}, {12, "ド4"}, {24, "ド5"},
                                                 {35, "シ"}};
    for (const auto& [index, name] : names) QCOMPARE(lk::pianoKeyLabel(index), QString::fromUtf8(name));
  }

  // The note names are as large as the smallest text of the drills, and
  // still fit each white key below the black keys and across its width.
  void noteNamesAreReadableAndFitTheirKeys() {
    openEditor();
    QFont smallest = h->current()->font();
    smallest.setPointSize(lk::ui::kSmallestPointSize);
    const int readable = QFontInfo(smallest).pixelSize();
    QVERIFY(readable >= 10);
    const int blackHeight = h->find<lk::PianoKey>(QStringLiteral("kennban_1"))->height();
    for (int i : {0, 2, 5, 11, 12}) {
      auto* key = h->find<lk::PianoKey>(QStringLiteral("kennban_%1").arg(i));
      const QFont f = key->nameFont();
      QVERIFY2(QFontInfo(f).pixelSize() >= readable, qPrintable(QString::number(i)));
      const QStringList lines = key->nameLines();
      QCOMPARE(lines.join(QString()), lk::pianoKeyLabel(i));
      const QFontMetrics fm(f);
      for (int l = 0; l < static_cast<int>(lines.size()); ++l) {
        // The glyphs as drawn, top-aligned in their line, inside the key
        // and below the black keys.
        const QRect line = key->nameLineRect(l);
        const QRect ink = fm.tightBoundingRect(lines[l]).translated(line.left(), line.top() + fm.ascent());
        QVERIFY2(ink.top() >= blackHeight && ink.bottom() < key->height(), qPrintable(lines[l]));
        QVERIFY2(fm.horizontalAdvance(lines[l]) <= key->width(), qPrintable(lines[l]));
        if (l > 0) QVERIFY(line.top() >= key->nameLineRect(l - 1).bottom());
      }
    }
    QVERIFY(h->find<lk::PianoKey>(QStringLiteral("kennban_1"))->nameLines().isEmpty());
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

  void clearOnPageFour() {
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
  }

  void loadThatDoesNotCompleteKeepsTheSongOnScreen_data() {
    QTest::addColumn<QString>("fileName");  // empty: the dialog is cancelled
    QTest::addColumn<QString>("message");
    QTest::newRow("cancelled") << QString() << QString();
    QTest::newRow("not a song") << QStringLiteral("other.txt") << QStringLiteral("このファイルは読み込めません。");
    QTest::newRow("read failure") << QStringLiteral("short.txt") << QStringLiteral("問題の読み込みに失敗しました。");
  }
  void loadThatDoesNotCompleteKeepsTheSongOnScreen() {
    QFETCH(QString, fileName);
    QFETCH(QString, message);
    h->fakes.folder.write("other.txt", "\"ntrafile\"\r\n 1 \r\n\"t\"\r\n");
    h->fakes.folder.write("short.txt", "\"miditrafile\"\r\n 2 \r\n\"t\"\r\n");
    openEditor();
    typePage(1, kAlpsLyric, kAlpsReading, kAlpsNotes);
    typePage(4, QStringLiteral("秋"), QStringLiteral("あ き"), QStringLiteral("ドレ"));
    typeInto("title_n", QStringLiteral("歌"));
    h->fakes.files.openAnswers.push_back(fileName.isEmpty() ? std::nullopt
                                                             : std::optional(file(fileName.toUtf8().constData())));
    QVERIFY(h->click("yomikomi_b"));
    QCOMPARE(h->fakes.messages.shown.size(), message.isEmpty() ? 0u : 1u);
    if (!message.isEmpty()) QCOMPARE(QString::fromStdU16String(h->fakes.messages.shown[0]), message);
    QCOMPARE(text("p_n"), QStringLiteral("4"));
    QCOMPARE(text("q_n"), QStringLiteral("秋"));
    QCOMPARE(text("q3_n"), QStringLiteral("ドレ"));
    QCOMPARE(text("title_n"), QStringLiteral("歌"));
    QCOMPARE(list()->currentRow(), 3);
    QCOMPARE(list()->item(0)->text(), QStringLiteral(" 1:") + kAlpsLyric);
    pressEntry(0);
    QCOMPARE(text("q2_n"), kAlpsReading);
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

  void pianoSoundsItsKeyWhileTheEditorIsOpen() {
    openEditor();
    QCOMPARE(midi.events, (std::vector<lk::test::FakeMidi::Event>{{Kind::Open, {}}}));
    QVERIFY(timer("pianoTimer"));
    QVERIFY(h->click("kennban_14"));  // レ of the middle octave
    QCOMPARE(midi.events.back(), on(62));
    timer("pianoTimer")->fire();
    QCOMPARE(midi.events.back(), off(62));
    // A second key before the first has ended cuts it short.
    QVERIFY(h->click("kennban_0"));
    QVERIFY(h->click("kennban_35"));
    timer("pianoTimer")->fire();
    QCOMPARE(midi.events.back(), off(83));
    QCOMPARE(midi.events.size(), 7u);
    QCOMPARE(midi.events[3], on(48));
    QCOMPARE(midi.events[4], off(48));
    QCOMPARE(midi.events[5], on(83));
    QCOMPARE(text("q3_n"), QStringLiteral("レ-ド+シ"));
    h->fakes.messages.answers = {true};  // the notes are not saved: leave anyway
    QVERIFY(h->click("re_b"));
    QCOMPARE(h->fakes.messages.asked.size(), 1u);
    QCOMPARE(midi.count(Kind::Reset), 1);
    QCOMPARE(midi.count(Kind::Close), 1);
    QVERIFY(h->fakes.messages.shown.empty());
  }

  void pianoIsSilentWithoutASynthesizer() {
    midi.devices = 0;
    openEditor();
    QVERIFY(h->click("kennban_12"));
    QCOMPARE(text("q3_n"), QStringLiteral("ド"));
    QVERIFY(h->click("re_b"));
    QVERIFY(midi.events.empty());
    QVERIFY(h->fakes.messages.shown.empty());
  }

  void homeRowPlaysTheMiddleOctaveWhileThePianoHasTheFocus() {
    openEditor();
    auto* keyboard = h->find<lk::PianoKeyboard>(QStringLiteral("kennban"));
    box("q3_n")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(keyboard));
    for (char c : std::string("awsedftgyhujkz")) QTest::keyClick(keyboard, c);
    GuiHarness::settle();
    QCOMPARE(text("q3_n"), QStringLiteral("ド#ドレbミミファ#ファソ#ソラbシシ+ド"));
    QCOMPARE(struckKeys(), (std::vector<int>{60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72}));
    // The letters go to the box when it has the focus.
    typeInto("q3_n", QString());
    QTest::keyClicks(box("q3_n"), QStringLiteral("as"));
    QCOMPARE(text("q3_n"), QStringLiteral("as"));
  }

  void previewPlaysTheLineAndStops() {
    openEditor();
    typePage(1, kAlpsLyric, kAlpsReading, kAlpsNotes);
    auto* beat = timer("previewTimer");
    QVERIFY(beat);
    midi.clear();
    QCOMPARE(text("shichou_b"), QStringLiteral("試聴"));
    QVERIFY(h->click("shichou_b"));
    QVERIFY(screen()->isPreviewing());
    QCOMPARE(text("shichou_b"), QStringLiteral("停止"));  // so the learner knows a second press stops
    for (int i = 0; i < 20 && screen()->isPreviewing(); ++i) beat->fire();
    QVERIFY(!screen()->isPreviewing());
    QCOMPARE(text("shichou_b"), QStringLiteral("試聴"));
    // F F G A F A G C, each ending the one before, the last ended too.
    QCOMPARE(struckKeys(), (std::vector<int>{65, 65, 67, 69, 65, 69, 67, 60}));
    QCOMPARE(midi.events.back(), off(60));
    QCOMPARE(midi.sent().size(), 16u);

    // A second press stops it at once; so does leaving the page.
    for (const char* stopper : {"shichou_b", "pagen_b"}) {
      midi.clear();
      QVERIFY(h->click("shichou_b"));
      QVERIFY(h->click(stopper));
      QVERIFY2(!screen()->isPreviewing(), stopper);
      QCOMPARE(text("shichou_b"), QStringLiteral("試聴"));
      QCOMPARE(midi.events, (std::vector<lk::test::FakeMidi::Event>{on(65), off(65)}));
      beat->fire();  // a beat due after the stop plays nothing
      QCOMPARE(midi.events.size(), 2u);
      if (QByteArray(stopper) == "pagen_b") QVERIFY(h->click("pager_b"));
    }
  }

  void fitLineFollowsTheBoxes_data() {
    QTest::addColumn<QString>("yomi");
    QTest::addColumn<QString>("notes");
    QTest::addColumn<QString>("fit");
    QTest::addColumn<bool>("red");
    QTest::newRow("empty") << QString() << QString() << QStringLiteral("音符 0 / 区切り 0") << false;
    QTest::newRow("fits") << kAlpsReading << kAlpsNotes << QStringLiteral("音符 8 / 区切り 8") << false;
    QTest::newRow("a note short") << QStringLiteral("は る") << QStringLiteral("ド") << QStringLiteral("音符 1 / 区切り 2")
                                  << true;
    QTest::newRow("a note over") << QStringLiteral("はる") << QStringLiteral("ドレ") << QStringLiteral("音符 2 / 区切り 1")
                                 << true;
  }
  void fitLineFollowsTheBoxes() {
    QFETCH(QString, yomi);
    QFETCH(QString, notes);
    QFETCH(QString, fit);
    QFETCH(bool, red);
    openEditor();
    QVERIFY(!text("hint_l").isEmpty());
    typeInto("q2_n", yomi);
    typeInto("q3_n", notes);
    QCOMPARE(text("fit_l"), fit);
    QCOMPARE(isRed("fit_l"), red);
  }

  void ctrlZTakesBackThePianoAndTheReadingFill() {
    reading.set(u"一万尺", u"いちまんじゃく");
    openEditor();
    typeInto("q3_n", QStringLiteral("ソ"));
    QVERIFY(h->click("kennban_12"));
    QVERIFY(h->click("kennban_14"));
    QCOMPARE(text("q3_n"), QStringLiteral("ソドレ"));
    typeInto("q_n", QStringLiteral("一万尺"));
    typeInto("q2_n", QStringLiteral("いち まん"));
    QVERIFY(h->click("hurigana_b"));
    QCOMPARE(text("q2_n"), QStringLiteral("いちまんじゃく"));

    for (auto [name, before] : {std::pair{"q3_n", "ソド"}, std::pair{"q3_n", "ソ"}, std::pair{"q2_n", "いち まん"}}) {
      box(name)->setFocus();
      QTest::keyClick(box(name), Qt::Key_Z, Qt::ControlModifier);
      QCOMPARE(text(name), QString::fromUtf8(before));
    }
  }

  void statusLineNamesTheFileAndTheSaveDialogOpensOnIt() {
    openEditor();
    QVERIFY(timer("noticeTimer"));
    QCOMPARE(text("status_l"), QString());
    typePage(1, kAlpsLyric, kAlpsReading, kAlpsNotes);
    h->fakes.files.saveAnswers.push_back(file("alps.txt"));
    QVERIFY(h->click("sakusei_b"));
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(text("status_l"), QStringLiteral("保存しました"));
    timer("noticeTimer")->fire();
    QCOMPARE(text("status_l"), QStringLiteral("alps.txt"));
    QVERIFY(h->click("sakusei_b"));  // cancelled: no notice
    QCOMPARE(text("status_l"), QStringLiteral("alps.txt"));
    QCOMPARE(h->fakes.files.saveSuggestions, (std::vector<std::filesystem::path>{{}, file("alps.txt")}));

    std::filesystem::copy_file(file("alps.txt"), file("copy.txt"));
    h->fakes.files.openAnswers.push_back(file("copy.txt"));
    QVERIFY(h->click("yomikomi_b"));
    QCOMPARE(text("status_l"), QStringLiteral("copy.txt"));
  }
};

QTEST_MAIN(TstMusicEditor)
#include "tst_music_editor.moc"
