// The text practice screen driven through its widgets: reached from the
// training menu, a pasted text read on the worker, an unknown reading marked
// and filled or removed, the ordered drill it starts, a saved file read back
// in the training menu, and opening UTF-8 and Shift-JIS files.

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTableWidget>
#include <QtTest>
#include <atomic>
#include <memory>

#include "editors/screens/editor_screens.h"
#include "editors/screens/text_practice_screen.h"
#include "engine/text.h"
#include "fakes/fake_reading.h"
#include "practice/screens/practice_screens.h"
#include "practice/screens/t_original.h"
#include "shell/screens/gui_test_support.h"
#include "records/text_file.h"

using lk::ScreenId;
using lk::test::GuiHarness;

namespace {

// A lookup that takes its time over every sentence, as the dictionary does
// over a long text; counts what it was asked from the worker thread.
class SlowReading : public lk::ReadingLookup {
 public:
  std::atomic<int> asked{0};
  std::u16string hurigana(std::u16string_view) override {
    ++asked;
    QThread::msleep(2);
    return u"あ。";
  }
};

}  // namespace

class TstTextPractice : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;
  lk::test::FakeReading reading;

  lk::TextPracticeScreen* screen() const { return qobject_cast<lk::TextPracticeScreen*>(h->current()); }
  QTableWidget* table() const { return h->find<QTableWidget>(QStringLiteral("mondai_l")); }
  QString cell(int row, int column) const {
    QTableWidgetItem* item = table()->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
  }
  bool red(int row) const { return table()->item(row, 1)->foreground().color() == QColor(0xd0, 0x20, 0x20); }

  void openFromMenu() {
    h->open(ScreenId::t_menu);
    QVERIFY(h->click("text_b"));
    QCOMPARE(h->currentId(), ScreenId::text_practice);
    QCOMPARE(h->current()->windowTitle(), QStringLiteral("テキスト練習"));
  }
  void paste(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    auto* box = h->find<QPlainTextEdit>(QStringLiteral("honbun_n"));
    box->setFocus();
    box->paste();
    QCOMPARE(box->toPlainText(), text);
  }
  void readText() {
    QVERIFY(h->click("yomi_b"));
    QTRY_VERIFY(!screen()->reading());
    h->settle();
  }

 private slots:
  void init() {
    h = std::make_unique<GuiHarness>(
        std::initializer_list<GuiHarness::Registration>{lk::registerEditorScreens, lk::registerPracticeScreens});
    reading = {};
    reading.set(u"私は学生です。", u"わたしはがくせいです。");
    reading.set(u"本を読む。", u"ほんをよむ。");
    reading.set(u"雨だ。", u"あめだ。");
    h->fakes.reading = &reading;
    // A shuffle would move the questions about; an ordered drill draws nothing.
    h->fakes.random.sequence = {0.9, 0.1, 0.5, 0.3};
    h->rewire();
  }
  void cleanup() { h.reset(); }

  void pastedTextIsReadAndTypedInOrder() {
    openFromMenu();
    paste(QStringLiteral("私は学生です。\n本を読む。雨だ。"));
    readText();
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(table()->rowCount(), 3);
    QCOMPARE(cell(0, 0), QStringLiteral("私は学生です。"));
    QCOMPARE(cell(0, 1), QStringLiteral("わたしはがくせいです。"));
    QCOMPARE(cell(2, 0), QStringLiteral("雨だ。"));
    QVERIFY(!red(0));

    QVERIFY(h->click("kaisi_b"));
    QCOMPARE(h->currentId(), ScreenId::t_original);
    auto* drill = qobject_cast<lk::WordDrillScreen*>(h->current());
    QVERIFY(drill);
    for (int i = 0; i < 4; ++i) drill->countdownTick();
    for (const char* expected : {"私は学生です。", "本を読む。", "雨だ。"}) {
      QCOMPARE(h->textOf("label_q2"), QString::fromUtf8(expected));
      h->type(h->textOf("label_q"));
    }
    QCOMPARE(h->state.result.missCount, 0);
    QVERIFY(h->find<QWidget>("kekka_b")->isVisible());
    // No title typed: the run is kept under the start of the text.
    QCOMPARE(h->state.progress.lastRun.title, std::u16string(u"私は学生です。 本を読む。雨だ。"));
  }

  void unknownReadingIsMarkedAndBlocksUntilFilled() {
    openFromMenu();
    paste(QStringLiteral("雨だ。鬱だ。"));
    readText();
    QCOMPARE(h->fakes.messages.shown, (std::vector<std::u16string>{u"読みが分からない問題があります。（2番）"}));
    QVERIFY(!red(0));
    QVERIFY(red(1));

    QVERIFY(h->click("kaisi_b"));
    QCOMPARE(h->currentId(), ScreenId::text_practice);
    QCOMPARE(h->fakes.messages.shown.back(), std::u16string(u"読みが分からない問題があります。（2番）"));
    QCOMPARE(table()->currentRow(), 1);

    table()->item(1, 1)->setText(QStringLiteral("うつだ。"));
    QVERIFY(!red(1));
    QCOMPARE(screen()->questions()[1].reading, std::u16string(u"うつだ。"));
    QVERIFY(h->click("kaisi_b"));
    QCOMPARE(h->currentId(), ScreenId::t_original);
    QCOMPARE(h->state.problems.romaji[1], std::u16string(u"utuda."));
  }

  void removedUnknownRowNoLongerBlocks() {
    openFromMenu();
    paste(QStringLiteral("鬱だ。雨だ。"));
    readText();
    table()->selectRow(0);
    QVERIFY(h->click("sakujo_b"));
    QCOMPARE(table()->rowCount(), 1);
    QCOMPARE(cell(0, 0), QStringLiteral("雨だ。"));
    QVERIFY(h->click("kaisi_b"));
    QCOMPARE(h->currentId(), ScreenId::t_original);
    QCOMPARE(h->state.problems.count, 1);
  }

  void savedFileIsReadBackInTheTrainingMenu() {
    openFromMenu();
    paste(QStringLiteral("本を読む。雨だ。"));
    readText();
    QVERIFY(h->commitInto("title_n", QStringLiteral("天気")));
    const std::filesystem::path file = h->fakes.folder.root / "tenki.txt";
    h->fakes.files.saveAnswers.push_back(file);
    QVERIFY(h->click("hozon_b"));
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(h->textOf("status_l"), QStringLiteral("保存しました"));

    QVERIFY(h->click("re_b"));
    QCOMPARE(h->currentId(), ScreenId::t_menu);
    h->fakes.files.openAnswers.push_back(file);
    QVERIFY(h->click("ori_b"));
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(h->textOf("title_l"), QStringLiteral("天気"));
    QCOMPARE(h->textOf("mkazu_l"), QStringLiteral("2問"));
    QCOMPARE(h->state.problems.romaji, (std::vector<std::u16string>{u"honnwoyomu.", u"ameda."}));
  }

  void longReadingShowsProgressAndStopsWhenTheScreenCloses() {
    SlowReading slow;
    h->fakes.reading = nullptr;
    h->rewire();
    h->state.services.reading = &slow;
    openFromMenu();
    QString text;
    for (int i = 0; i < 2000; ++i) text += QStringLiteral("あ。");
    h->find<QPlainTextEdit>(QStringLiteral("honbun_n"))->setPlainText(text);
    QVERIFY(h->click("yomi_b"));
    QVERIFY(screen()->reading());
    QVERIFY(!h->find<QPushButton>(QStringLiteral("yomi_b"))->isEnabled());
    auto* bar = h->find<QProgressBar>(QStringLiteral("shinkou_p"));
    QVERIFY(bar->isVisible());
    // The screen keeps handling events while the worker reads.
    QTRY_VERIFY(bar->value() > 0);
    QVERIFY(screen()->reading());

    QVERIFY(h->click("re_b"));
    QCOMPARE(h->currentId(), ScreenId::t_menu);
    const int asked = slow.asked;
    QVERIFY2(asked < 2000, "leaving the screen stops the reading");
    QTest::qWait(20);
    QCOMPARE(slow.asked.load(), asked);
  }

  void openedFilesAreDecodedByContent() {
    struct Case {
      const char* name;
      std::string bytes;
      const char* text;     // in the box afterwards, or null when refused
      const char* message;  // shown, or null
    };
    const Case cases[] = {
        {"utf8.txt", "\xEF\xBB\xBF" + lk::toUtf8(u"雨だ。"), "雨だ。", nullptr},
        {"sjis.txt", *lk::encodeCp932(u"本を読む。"), "本を読む。", nullptr},
        {"binary.txt", "\x82\xA0\xFF\xFF", nullptr, "このファイルは読み込めません。"},
    };
    openFromMenu();
    auto* box = h->find<QPlainTextEdit>(QStringLiteral("honbun_n"));
    for (const Case& c : cases) {
      box->setPlainText(QStringLiteral("前の文。"));
      h->fakes.messages.shown.clear();
      h->fakes.folder.write(c.name, c.bytes);
      h->fakes.files.openAnswers.push_back(h->fakes.folder.root / c.name);
      QVERIFY(h->click("hiraku_b"));
      QCOMPARE(box->toPlainText(), c.text ? QString::fromUtf8(c.text) : QStringLiteral("前の文。"));
      QCOMPARE(h->fakes.messages.shown.size(), c.message ? 1u : 0u);
      if (c.message) QCOMPARE(lk::toUtf8(h->fakes.messages.shown.front()), std::string(c.message));
    }
  }
};

QTEST_MAIN(TstTextPractice)
#include "tst_text_practice.moc"
