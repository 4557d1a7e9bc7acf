// The music drill screen midi_tra, opened from the music menu and driven
// with typed keys against a recording MIDI output.

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <vector>

#include "fakes/fake_midi.h"
#include "music/screens/music_screens.h"
#include "shell/screens/gui_test_support.h"

using lk::ScreenId;
using lk::test::FakeMidi;
using lk::test::GuiHarness;

namespace {

// Romaji of the song of m2_b as typed with the default key settings.
const char* const kAlpsKeys[] = {
    "arupusuitimannzyaku", "koyarinouede", "arupennodoriwosaaodorimasyo",
    "rannrararararara",    "rannrararararara", "rannrararararararararararara",
};

// The keys the song's melody strikes, line by line, worked out by hand from
// its melody strings (holds strike nothing).
const std::vector<int> kAlpsNotes = {
    65, 65, 67, 69, 65, 69, 67, 60,                              // 0
    65, 65, 67, 69, 65, 64, 60,                                  // 1
    65, 65, 67, 69, 70, 69, 67, 65, 64, 60, 62, 64, 65, 65, 65,  // 2
    62, 64, 62, 60, 62, 64, 65,                                  // 3
    60, 62, 60, 58, 57, 58, 60,                                  // 4
    62, 64, 62, 60, 62, 64, 65, 62, 60, 65, 64, 67, 65,          // 5
};

// Every strike ends the note sounding before it (key 60 at first, although
// nothing sounds yet), then starts the new one.
std::vector<std::uint8_t> strikeBytes(const std::vector<int>& keys) {
  std::vector<std::uint8_t> out;
  int sounding = 60;
  for (int k : keys) {
    for (int b : {0x90, sounding, 0x00, 0x90, k, 0x7F}) out.push_back(static_cast<std::uint8_t>(b));
    sounding = k;
  }
  return out;
}

}  // namespace

class TstMidiTra : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;
  FakeMidi midi;

  QString text(const char* name) const {
    auto* l = h->find<QLabel>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing>");
  }
  bool visible(const char* name) const {
    auto* w = h->find<QWidget>(QString::fromLatin1(name));
    return w && w->isVisible();
  }
  bool markVisible(int i) const { return visible(QStringLiteral("Shape1_%1").arg(i).toLatin1().constData()); }
  QColor markFill(int i) const {
    auto* m = h->find<QFrame>(QStringLiteral("Shape1_%1").arg(i));
    return m ? m->property("fill").value<QColor>() : QColor();
  }
  void openSong(const char* button) {
    h->open(ScreenId::midi_menu);
    QVERIFY(h->click(QString::fromLatin1(button)));
    QCOMPARE(h->currentId(), ScreenId::midi_tra);
  }

 private slots:
  void init() {
    h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{lk::registerMusicScreens});
    midi = FakeMidi{};
    h->fakes.midi = &midi;
    h->rewire();
  }
  void cleanup() { h.reset(); }

  void playsABuiltInSongThroughWithTheExactBytes() {
    openSong("m2_b");
    QCOMPARE(h->current()->windowTitle(), QStringLiteral("ミュージック"));
    QCOMPARE(midi.count(FakeMidi::Kind::Open), 1);
    QCOMPARE(text("titlehyouzi_l"), QStringLiteral("アルプス一万尺"));
    QCOMPARE(text("label_q2"), QStringLiteral("アルプス一万尺"));
    QCOMPARE(text("label_q4"), QStringLiteral("あ る ぷ す いち まん じゃ く"));
    QCOMPARE(text("label_q"), QStringLiteral("arupusuitimannzyaku"));
    QCOMPARE(text("label_m"), QStringLiteral("0"));
    for (int i = 0; i < 8; ++i) QCOMPARE(markVisible(i), i < 6);
    QVERIFY(!visible("kekka_b"));

    // First note: the velocity-0 message for key 60, then the note.
    h->type(QStringLiteral("a"));
    const std::vector<std::uint8_t> first = {0x90, 60, 0x00, 0x90, 65, 0x7F};
    QCOMPARE(midi.bytes(), first);
    // The same key struck twice.
    h->type(QStringLiteral("r"));
    QCOMPARE(midi.sent().size(), std::size_t(4));
    // A hold sends nothing.
    h->type(QStringLiteral("u"));
    QCOMPARE(midi.sent().size(), std::size_t(4));
    QCOMPARE(text("label_q"), QStringLiteral("pusuitimannzyaku"));

    h->type(QString::fromLatin1(kAlpsKeys[0] + 3));
    QCOMPARE(markFill(0), QColor(Qt::black));
    QCOMPARE(markFill(1), QColor(Qt::white));
    QCOMPARE(text("label_q2"), QStringLiteral("こやりの上で"));
    QCOMPARE(text("label_q"), QStringLiteral("koyarinouede"));

    for (int line = 1; line < 6; ++line) h->type(QString::fromLatin1(kAlpsKeys[line]));
    QCOMPARE(midi.bytes(), strikeBytes(kAlpsNotes));
    QCOMPARE(text("label_m"), QStringLiteral("0"));

    // The clear.
    QCOMPARE(text("label_q4"), QStringLiteral("クリア！"));
    QVERIFY(!visible("label_q2"));
    QCOMPARE(text("label_q"), QString());
    QVERIFY(!visible("Picture2"));
    QVERIFY(!visible("Picture3"));
    QVERIFY(visible("kekka_b"));
    QVERIFY(visible("bback"));
    QCOMPARE(h->find<QPushButton>(QStringLiteral("kekka_b"))->text(), QStringLiteral("メニュー画面へ"));

    // Keys after the clear are ignored: no miss, no sound.
    const auto events = midi.events.size();
    h->type(QStringLiteral("aZ "));
    QCOMPARE(midi.events.size(), events);
    QCOMPARE(text("label_m"), QStringLiteral("0"));
    QCOMPARE(h->state.result.missCount, 0);

    // The last note sounded until now; leaving resets, then closes.
    QVERIFY(h->click(QStringLiteral("kekka_b")));
    QCOMPARE(h->currentId(), ScreenId::midi_menu);
    QCOMPARE(midi.events.size(), events + 2);
    QCOMPARE(midi.events[events].kind, FakeMidi::Kind::Reset);
    QCOMPARE(midi.events[events + 1].kind, FakeMidi::Kind::Close);
  }

  void missesAreCountedAndSilent() {
    openSong("m2_b");
    h->type(QStringLiteral("A"));  // shifted: not the expected "a"
    QTest::keyClick(h->current(), Qt::Key_Return);
    QTest::keyClick(h->current(), Qt::Key_Space);
    QTest::keyClick(h->current(), Qt::Key_Backspace);
    QCOMPARE(text("label_m"), QStringLiteral("4"));
    QCOMPARE(h->state.result.missCount, 4);
    QVERIFY(midi.sent().empty());
    QCOMPARE(text("label_q"), QStringLiteral("arupusuitimannzyaku"));
    // The right key afterwards plays on.
    h->type(QStringLiteral("a"));
    QCOMPARE(midi.sent().size(), std::size_t(2));
    QCOMPARE(text("label_q"), QStringLiteral("rupusuitimannzyaku"));
    QCOMPARE(h->currentId(), ScreenId::midi_tra);
  }

  // Enter is a miss while the song runs (above); after "クリア！" it presses メニュー画面へ.
  void enterAfterTheClearLeadsBackToTheMenu() {
    openSong("m2_b");
    for (const char* line : kAlpsKeys) h->type(QString::fromLatin1(line));
    QCOMPARE(text("label_q4"), QStringLiteral("クリア！"));
    QTest::keyClick(h->current(), Qt::Key_Return);
    GuiHarness::settle();
    QCOMPARE(h->currentId(), ScreenId::midi_menu);
    QCOMPARE(h->state.result.missCount, 0);
  }

  void readingsShowWithSingleSpaces() {
    openSong("m2_b");
    for (int line = 0; line < 3; ++line) h->type(QString::fromLatin1(kAlpsKeys[line]));
    QCOMPARE(text("label_q4"), QStringLiteral("らん ら ら ら ら ら ら"));
    for (int line = 3; line < 5; ++line) h->type(QString::fromLatin1(kAlpsKeys[line]));
    // Half-width and full-width spaces mixed.
    QCOMPARE(text("label_q4"), QStringLiteral("らん ら ら ら ら ら ら ら ら ら ら ら ら"));
    for (int i = 0; i < 5; ++i) QCOMPARE(markFill(i), QColor(Qt::black));
    QCOMPARE(markFill(5), QColor(Qt::white));
  }

  void leavingMidSongResetsAndCloses_data() {
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("re_b") << false;
    QTest::newRow("終了") << true;
  }
  void leavingMidSongResetsAndCloses() {
    QFETCH(bool, byMenu);
    openSong("m3_b");
    h->type(QStringLiteral("sai"));
    QCOMPARE(midi.sent().size(), std::size_t(4));  // "s" and "i" strike, "a" holds
    const auto events = midi.events.size();
    if (byMenu) {
      QVERIFY(h->triggerMenu(QStringLiteral("end_m")));
      QCOMPARE(h->finishedCount, 1);
    } else {
      QVERIFY(h->click(QStringLiteral("re_b")));
      QCOMPARE(h->currentId(), ScreenId::midi_menu);
    }
    QCOMPARE(midi.events.size(), events + 2);
    QCOMPARE(midi.events[events].kind, FakeMidi::Kind::Reset);
    QCOMPARE(midi.events[events + 1].kind, FakeMidi::Kind::Close);
    QVERIFY(!midi.isOpen());
  }

  void everyVisitOpensTheOutputAgain() {
    openSong("m1_b");
    QVERIFY(h->click(QStringLiteral("re_b")));
    QVERIFY(h->click(QStringLiteral("m1_b")));
    QCOMPARE(midi.count(FakeMidi::Kind::Open), 2);
    QCOMPARE(midi.count(FakeMidi::Kind::Close), 1);
    QVERIFY(midi.isOpen());
  }

  void withoutMidiOutputTheDrillCannotStart() {
    midi.devices = 0;
    openSong("m2_b");
    QCOMPARE(h->fakes.messages.shown, std::vector<std::u16string>{u"MIDI音源を利用できません"});
    QCOMPARE(text("label_q4"), QString());
    QCOMPARE(text("label_q"), QString());
    QCOMPARE(text("titlehyouzi_l"), QString());
    QCOMPARE(text("label_m"), QStringLiteral("0"));
    for (int i = 0; i < 6; ++i) QVERIFY(!markVisible(i));
    h->type(QStringLiteral("arupusu"));
    QCOMPARE(text("label_m"), QStringLiteral("0"));
    QVERIFY(midi.events.empty());
    QVERIFY(!visible("kekka_b"));
    // The program goes on: back to the menu.
    QVERIFY(h->click(QStringLiteral("re_b")));
    QCOMPARE(h->currentId(), ScreenId::midi_menu);
    QVERIFY(midi.events.empty());
  }

  void inputMethodIsOff() {
    openSong("m3_b");
    QVERIFY(!h->current()->testAttribute(Qt::WA_InputMethodEnabled));
    QCOMPARE(h->find<QPushButton>(QStringLiteral("re_b"))->focusPolicy(), Qt::NoFocus);
  }
};

QTEST_MAIN(TstMidiTra)
#include "tst_midi_tra.moc"
