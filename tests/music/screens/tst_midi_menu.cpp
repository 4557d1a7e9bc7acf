// The music menu midi_menu: the song buttons, the file row with its
// messages, [開始] and [Return].

#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_midi.h"
#include "records/music_problem_file.h"
#include "music/screens/music_screens.h"
#include "shell/screens/gui_test_support.h"

using lk::ScreenId;
using lk::test::FakeMidi;
using lk::test::GuiHarness;

namespace {

lk::MusicProblemFile twoLineSong() {
  lk::MusicProblemFile f;
  f.complete = true;
  f.count = 2;
  f.title = u"かえるのうた, 輪唱";
  f.records = {
      {u"かえるの", u"か え る の", u"kaeruno", u"0x2x4x5x", u"ドレミファ"},
      {u"うたが", u"う た が", u"utaga", u"4x2x0x", u"ミレド"},
  };
  return f;
}

// A file of `count` one-letter records in the menu's format (ASCII only, so
// the bytes are the same in code page 932).
std::string rawSong(const char* magic, int count) {
  std::string s = std::string("\"") + magic + "\"\r\n " + std::to_string(count) + " \r\n\"big\"\r\n";
  for (int i = 0; i < count; ++i) s += "\"a\"\r\n\"a\"\r\n\"a\"\r\n\"0\"\r\n\"do\"\r\n";
  return s;
}

}  // namespace

class TstMidiMenu : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;
  FakeMidi midi;

  QString text(const char* name) const {
    auto* l = h->find<QLabel>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing>");
  }
  std::filesystem::path fixture(const std::string& name, const std::string& bytes) {
    h->fakes.folder.write(name, bytes);
    return h->fakes.folder.root / name;
  }
  // Chooses `file` in the next open dialog and clicks ori_b.
  void readFile(const std::filesystem::path& file) {
    h->fakes.files.openAnswers.push_back(file);
    QVERIFY(h->click(QStringLiteral("ori_b")));
  }
  const std::vector<std::u16string>& shown() const { return h->fakes.messages.shown; }

 private slots:
  void init() {
    h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{lk::registerMusicScreens});
    midi = FakeMidi{};
    h->fakes.midi = &midi;
    h->rewire();
  }
  void cleanup() { h.reset(); }

  void showsItsControls() {
    h->open(ScreenId::midi_menu);
    QCOMPARE(h->current()->windowTitle(), QStringLiteral("ミュージックメニュー"));
    QCOMPARE(h->find<QAbstractButton>(QStringLiteral("m1_b"))->text(), QStringLiteral("大きな古時計"));
    QCOMPARE(h->find<QAbstractButton>(QStringLiteral("m2_b"))->text(), QStringLiteral("アルプス一万尺"));
    QCOMPARE(h->find<QAbstractButton>(QStringLiteral("m3_b"))->text(), QStringLiteral("チューリップ"));
    QCOMPARE(h->find<QAbstractButton>(QStringLiteral("ori_b"))->text(), QStringLiteral("問題ファイルの読み込み"));
    QCOMPARE(text("Label5"), QStringLiteral(" TITLE"));
    QCOMPARE(text("Label1"), QStringLiteral("Music Menu"));
    QVERIFY(h->find<QAbstractButton>(QStringLiteral("orikaisi_b")));
    QVERIFY(h->find<QAbstractButton>(QStringLiteral("re_b")));
  }

  void loadClearsTheTitleButNotTheLines() {
    h->state.problems.title = u"前の曲";
    h->state.problems.count = 1;
    h->state.problems.text = {u"残る"};
    h->open(ScreenId::midi_menu);
    QVERIFY(h->state.problems.title.empty());
    QCOMPARE(h->state.problems.count, 1);
    QCOMPARE(h->state.problems.text.size(), std::size_t(1));
  }

  void songButtonsFillTheSetAndStartTheDrill_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("firstKeys");
    QTest::newRow("m1_b") << "m1_b" << "大きな古時計" << 6 << "ookinanopponohurudokei";
    QTest::newRow("m2_b") << "m2_b" << "アルプス一万尺" << 6 << "arupusuitimannzyaku";
    QTest::newRow("m3_b") << "m3_b" << "チューリップ" << 3 << "saitasaitatyu-rippunohanaga";
  }
  void songButtonsFillTheSetAndStartTheDrill() {
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(int, count);
    QFETCH(QString, firstKeys);
    h->open(ScreenId::midi_menu);
    QVERIFY(h->click(button));
    QCOMPARE(h->currentId(), ScreenId::midi_tra);
    QCOMPARE(h->state.problems.count, count);
    QCOMPARE(text("titlehyouzi_l"), title);
    QCOMPARE(text("label_q"), firstKeys);
    for (auto* v : {&h->state.problems.text, &h->state.problems.reading, &h->state.problems.romaji,
                    &h->state.problems.melody}) {
      QCOMPARE(v->size(), std::size_t(count));
    }
  }

  void aSongChosenAgainStartsFromItsUntouchedData() {
    h->open(ScreenId::midi_menu);
    QVERIFY(h->click(QStringLiteral("m2_b")));
    h->type(QStringLiteral("arupusuitimannzyaku"));
    QVERIFY(h->click(QStringLiteral("re_b")));
    QCOMPARE(h->currentId(), ScreenId::midi_menu);
    QVERIFY(h->click(QStringLiteral("m2_b")));
    QCOMPARE(text("label_q"), QStringLiteral("arupusuitimannzyaku"));
    QCOMPARE(text("label_q4"), QStringLiteral("あ る ぷ す いち まん じゃ く"));
  }

  void startWithoutAFileAsksForOne() {
    h->open(ScreenId::midi_menu);
    QVERIFY(h->click(QStringLiteral("orikaisi_b")));
    QCOMPARE(shown(), std::vector<std::u16string>{u"ファイルを指定して下さい。"});
    QCOMPARE(h->currentId(), ScreenId::midi_menu);
  }

  void cancelledDialogChangesNothing() {
    h->open(ScreenId::midi_menu);
    h->fakes.files.openAnswers.push_back(std::nullopt);
    QVERIFY(h->click(QStringLiteral("ori_b")));
    QCOMPARE(h->fakes.files.openCalls, 1);
    QVERIFY(shown().empty());
    QCOMPARE(text("title_l"), QString());
    QVERIFY(h->click(QStringLiteral("orikaisi_b")));
    QCOMPARE(shown(), std::vector<std::u16string>{u"ファイルを指定して下さい。"});
  }

  void aReadFileIsPlayedByStart() {
    const auto file = h->fakes.folder.root / "song.txt";
    QVERIFY(lk::writeMusicProblemFile(file, twoLineSong()).ok);
    h->open(ScreenId::midi_menu);
    readFile(file);
    QVERIFY(shown().empty());
    QCOMPARE(text("title_l"), QStringLiteral("かえるのうた, 輪唱"));
    QCOMPARE(h->currentId(), ScreenId::midi_menu);  // no drill yet

    QVERIFY(h->click(QStringLiteral("orikaisi_b")));
    QCOMPARE(h->currentId(), ScreenId::midi_tra);
    QCOMPARE(text("titlehyouzi_l"), QStringLiteral("かえるのうた, 輪唱"));
    QCOMPARE(text("label_q4"), QStringLiteral("か え る の"));
    h->type(QStringLiteral("kaerunoutaga"));
    QCOMPARE(text("label_q4"), QStringLiteral("クリア！"));
    std::vector<std::uint8_t> ons;
    for (const auto& m : midi.sent())
      if (m.data2 == 0x7F) ons.push_back(m.data1);
    QCOMPARE(ons, (std::vector<std::uint8_t>{60, 62, 64, 65, 64, 62, 60}));
  }

  void refusedAndFailedReadsShowTheirMessageAndCannotStart_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("unfinished") << QByteArray::fromStdString(rawSong("premiditrafile", 1))
                                << QStringLiteral("このファイルは作成途中です。");
    QTest::newRow("other magic") << QByteArray::fromStdString(rawSong("ntrafile", 1))
                                 << QStringLiteral("このファイルは読み込めません。");
    QTest::newRow("101 lines") << QByteArray::fromStdString(rawSong("miditrafile", 101))
                               << QStringLiteral("読み込みに失敗しました。");
    QTest::newRow("cut short") << QByteArray::fromStdString(rawSong("miditrafile", 3).substr(0, 60))
                               << QStringLiteral("読み込みに失敗しました。");
  }
  void refusedAndFailedReadsShowTheirMessageAndCannotStart() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const auto good = h->fakes.folder.root / "good.txt";
    QVERIFY(lk::writeMusicProblemFile(good, twoLineSong()).ok);
    const auto bad = fixture("bad.txt", bytes.toStdString());
    h->open(ScreenId::midi_menu);
    readFile(good);
    readFile(bad);
    QCOMPARE(shown().size(), std::size_t(1));
    QCOMPARE(QString::fromStdU16String(shown()[0]), message);
    // Only the song of the last successful read may start; this read was not.
    QVERIFY(h->click(QStringLiteral("orikaisi_b")));
    QCOMPARE(shown().size(), std::size_t(2));
    QCOMPARE(shown()[1], std::u16string(u"ファイルを指定して下さい。"));
    QCOMPARE(h->currentId(), ScreenId::midi_menu);
  }

  void aCompleteSongOfNoLinesLoadsButStartsNothing() {
    lk::MusicProblemFile empty;
    empty.title = u"空の歌";
    const auto file = h->fakes.folder.root / "empty.txt";
    QVERIFY(lk::writeMusicProblemFile(file, empty).ok);
    h->open(ScreenId::midi_menu);
    readFile(file);
    QVERIFY(shown().empty());  // not damaged: no read-failure message
    QCOMPARE(text("title_l"), QStringLiteral("空の歌"));
    QVERIFY(h->click(QStringLiteral("orikaisi_b")));
    QCOMPARE(shown(), std::vector<std::u16string>{u"問題がありません。"});
    QCOMPARE(h->currentId(), ScreenId::midi_menu);
  }

  void returnLeadsToTheMainMenu() {
    h->open(ScreenId::midi_menu);
    QVERIFY(h->click(QStringLiteral("re_b")));
    QCOMPARE(h->currentId(), ScreenId::m_menu);
  }
};

QTEST_MAIN(TstMidiMenu)
#include "tst_midi_menu.moc"
