// The analysis screen bunseki: what a scripted drill missed and what came
// instead, the ways in (the three result places and the training menu),
// a store that cannot keep the run, the remembered keyboard layout and the
// CSV export.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QtTest>
#include <fstream>
#include <memory>
#include <sstream>

#include "fakes/fake_midi.h"
#include "music/screens/music_screens.h"
#include "practice/screens/o_type.h"
#include "practice/screens/practice_screens.h"
#include "practice/screens/t_original.h"
#include "progress/history_store.h"
#include "progress/run_keeping.h"
#include "progress/screens/keyboard_picture.h"
#include "progress/screens/progress_screens.h"
#include "shell/keyboard_map.h"
#include "shell/screens/gui_test_support.h"
#include "shell/screens/options_store.h"

using lk::ScreenId;
using lk::test::GuiHarness;

class TstBunseki : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;
  lk::test::FakeMidi midi;

  QStringList items(const char* list) const {
    QStringList out;
    if (auto* l = h->find<QListWidget>(QString::fromLatin1(list))) {
      for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    }
    return out;
  }
  // How often "記録の保存に失敗しました。" was shown.
  long failureMessages() const {
    const auto& shown = h->fakes.messages.shown;
    return std::count(shown.begin(), shown.end(), std::u16string(lk::kHistorySaveFailed));
  }
  int tab() const {
    auto* t = h->find<QTabWidget>(QStringLiteral("bunseki_tabs"));
    return t ? t->currentIndex() : -1;
  }
  std::unique_ptr<lk::HistoryStore> store(lk::HistoryStore::Mode mode = lk::HistoryStore::Mode::ReadOnly) const {
    lk::HistoryStore::Status status;
    return lk::HistoryStore::open(h->fakes.folder.root / lk::kHistoryFileName, status, mode);
  }

  // The picture's cell of the key that types `c`.
  static QString cell(lk::KeyboardLayout layout, char16_t c) {
    const auto stroke = lk::strokeFor(layout, c);
    return stroke ? lk::KeyboardPicture::cellName(*stroke->key) : QString();
  }

  // The word drill on "si", "ka" in list order: s, u (miss), i, then k, a
  // with one more miss (e instead of a); ends on t_kekka.
  void wordDrillWithTwoMisses() {
    auto& set = h->state.problems;
    set = {};
    set.title = u"テスト";
    set.text = {u"市", u"蚊"};
    set.romaji = {u"si", u"ka"};
    set.count = 2;
    h->open(ScreenId::t_original);
    auto* drill = qobject_cast<lk::WordDrillScreen*>(h->current());
    QVERIFY(drill);
    for (int i = 0; i < 4; ++i) drill->countdownTick();
    for (QChar c : QStringLiteral("suikea")) {
      h->fakes.clock.ms += 150;
      h->type(QString(c));
    }
    QVERIFY(h->click(QStringLiteral("kekka_b")));
    QCOMPARE(h->currentId(), ScreenId::t_kekka);
  }

 private slots:
  void init() {
    h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{
        lk::registerPracticeScreens, lk::registerMusicScreens, lk::registerProgressScreens});
    midi = lk::test::FakeMidi{};
    h->fakes.midi = &midi;
    h->rewire();
  }
  void cleanup() { h.reset(); }

  void showsTheMissedKeysOfTheRunAndWhatCameInstead() {
    wordDrillWithTwoMisses();
    QCOMPARE(failureMessages(), 0L);
    QVERIFY(h->click(QStringLiteral("bunseki_b")));
    QCOMPARE(h->currentId(), ScreenId::bunseki);
    QCOMPARE(h->current()->windowTitle(), QStringLiteral("分析"));
    QCOMPARE(tab(), 0);
    QCOMPARE(items("missed_units"), (QStringList{QStringLiteral("か ka → ke ×1"), QStringLiteral("し si → su ×1")}));
    QCOMPARE(items("missed_keys"), (QStringList{QStringLiteral("a ×1 → e ×1"), QStringLiteral("i ×1 → u ×1")}));
    QCOMPARE(items("slow_units").size(), 2);
    // The keyboard shades the missed keys only.
    auto* a = h->find<QLabel>(cell(lk::KeyboardLayout::Jis, u'a'));
    auto* s = h->find<QLabel>(cell(lk::KeyboardLayout::Jis, u's'));
    QVERIFY(a && s);
    QCOMPARE(a->property("missRate").toDouble(), 0.5);
    QCOMPARE(s->property("missRate").toDouble(), 0.0);
    QVERIFY(a->toolTip().contains(QStringLiteral("中央値 150 ms")));

    // The run is in the store with its keys, and in the history page.
    auto st = store();
    QVERIFY(st);
    const auto runs = st->records(st->lastRunIds(0));
    QCOMPARE(runs.size(), std::size_t{1});
    QCOMPARE(runs[0].keys.size(), std::size_t{6});
    QCOMPARE(runs[0].misses, 2);
    QCOMPARE(runs[0].title, std::u16string(u"テスト"));
    QVERIFY(h->find<QLabel>(QStringLiteral("totals_l"))->text().contains(QStringLiteral("1回")));
    QCOMPARE(items("weak_units").size(), 2);

    QVERIFY(h->click(QStringLiteral("re_b")));
    QCOMPARE(h->currentId(), ScreenId::t_menu);
  }

  void storeThatCannotKeepTheRunSaysSoOnceAndTheScreenStillShowsIt() {
    // A data folder that does not exist: neither luminakey.db nor rank.dat can be written.
    h->fakes.folder.data = h->fakes.folder.root / "gone";
    wordDrillWithTwoMisses();
    QCOMPARE(failureMessages(), 1L);
    QVERIFY(!h->state.progress.lastRunKept);
    QVERIFY(h->click(QStringLiteral("bunseki_b")));
    QCOMPARE(items("missed_keys").size(), 2);
    QVERIFY(!std::filesystem::exists(h->fakes.folder.root / "gone"));
  }

  void unreadableStoreIsLeftAloneAndTheRunStillShows() {
    h->fakes.folder.write(lk::kHistoryFileName, std::string(2048, 'z'));
    wordDrillWithTwoMisses();
    QCOMPARE(failureMessages(), 1L);
    QCOMPARE(h->fakes.folder.read(lk::kHistoryFileName), std::string(2048, 'z'));
    QVERIFY(h->fakes.folder.exists("rank.dat"));  // the ranking is written as before
    QVERIFY(h->click(QStringLiteral("bunseki_b")));
    QCOMPARE(items("missed_units").size(), 2);
    QCOMPARE(h->fakes.folder.read(lk::kHistoryFileName), std::string(2048, 'z'));
  }

  void oneCharacterResultLeadsToTheAnalysis() {
    lk::fillOneCharList(h->state.problems, lk::OneCharList::Beginner);
    h->fakes.random.sequence = {0.0};  // always "a"
    h->open(ScreenId::o_type);
    auto* drill = qobject_cast<lk::OneCharDrillScreen*>(h->current());
    QVERIFY(drill);
    for (int i = 0; i < 4; ++i) drill->countdownTick();
    h->type(QStringLiteral("aqa"));
    for (int i = 0; i < 60; ++i) drill->clockTick();
    QVERIFY(h->click(QStringLiteral("kekka_b")));
    QCOMPARE(h->currentId(), ScreenId::o_kekka);
    QVERIFY(h->click(QStringLiteral("bunseki_b")));
    QCOMPARE(h->currentId(), ScreenId::bunseki);
    QCOMPARE(items("missed_units"), QStringList{QStringLiteral("a a → q ×1")});
    auto st = store();
    QVERIFY(st);
    QCOMPARE(st->runs().back().mode, lk::DrillMode::Char);
    QCOMPARE(st->runs().back().chars, 2);
  }

  void musicClearLeadsToTheAnalysisAndBackToTheMusicMenu() {
    auto& set = h->state.problems;
    set = {};
    set.title = u"歌";
    set.count = 1;
    set.text = {u"か"};
    set.reading = {u"か"};
    set.romaji = {u"ka"};
    set.melody = {u"5x7x"};
    h->open(ScreenId::midi_tra);
    QVERIFY(!h->find<QWidget>(QStringLiteral("bunseki_b"))->isVisible());
    h->type(QStringLiteral("kxa"));
    QVERIFY(h->click(QStringLiteral("bunseki_b")));
    QCOMPARE(h->currentId(), ScreenId::bunseki);
    QCOMPARE(items("missed_units"), QStringList{QStringLiteral("か ka → kx ×1")});
    QVERIFY(h->click(QStringLiteral("re_b")));
    QCOMPARE(h->currentId(), ScreenId::midi_menu);
  }

  void trainingMenuOpensTheHistory() {
    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("kiroku_b")));
    QCOMPARE(h->currentId(), ScreenId::bunseki);
    QCOMPARE(tab(), 1);
    QVERIFY(items("missed_units").isEmpty());
    QVERIFY(!std::filesystem::exists(h->fakes.folder.root / lk::kHistoryFileName));  // viewing creates no store
  }

  void historyFiltersByModeAndCourseAndExportsCsv() {
    {
      lk::HistoryStore::Status status;
      auto st = lk::HistoryStore::open(h->fakes.folder.root / lk::kHistoryFileName, status);
      QVERIFY(st);
      for (int i = 0; i < 7; ++i) {
        lk::RunRecord r;
        r.mode = i % 2 ? lk::DrillMode::Char : lk::DrillMode::Word;
        r.title = i % 2 ? u"一文字, 初級" : u"初 級";
        r.speed = 100 + i;
        r.accuracy = 90;
        r.seconds = 60;
        QCOMPARE(st->addRun(r), lk::HistoryStore::Status::Ok);
      }
    }
    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("kiroku_b")));
    auto* chart = h->find<QWidget>(QStringLiteral("history_chart"));
    QCOMPARE(chart->property("runCount").toInt(), 7);
    auto* mode = h->find<QComboBox>(QStringLiteral("mode_c"));
    mode->setCurrentIndex(mode->findText(QStringLiteral("一文字")));
    QCOMPARE(chart->property("runCount").toInt(), 3);
    mode->setCurrentIndex(0);
    auto* course = h->find<QComboBox>(QStringLiteral("course_c"));
    course->setCurrentIndex(course->findText(QStringLiteral("初 級")));
    QCOMPARE(chart->property("runCount").toInt(), 4);

    const auto csv = h->fakes.folder.root / "out.csv";
    h->fakes.files.csvAnswers.push_back(csv);
    QVERIFY(h->click(QStringLiteral("csv_b")));
    QCOMPARE(h->fakes.files.csvCalls, 1);
    std::ifstream in(csv, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    QVERIFY(text.rfind("\xEF\xBB\xBFid,started,mode,title,", 0) == 0);
    QVERIFY(text.find(",char,\"一文字, 初級\",") != std::string::npos);
    QCOMPARE(std::count(text.begin(), text.end(), '\n'), 8L);
  }

  void keyboardLayoutChoiceIsRemembered() {
    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("kiroku_b")));
    // JIS by default: the yen key, no ` key, @ beside P.
    QVERIFY(h->find<QLabel>(QStringLiteral("key_AE13")));
    QVERIFY(!h->find<QLabel>(QStringLiteral("key_TLDE")));
    QCOMPARE(h->textOf(cell(lk::KeyboardLayout::Jis, u'@')), QStringLiteral("@"));
    auto* layout = h->find<QComboBox>(QStringLiteral("layout_c"));
    layout->setCurrentIndex(1);
    QCOMPARE(h->state.options.layout, lk::KeyboardLayout::Us);
    QCOMPARE(lk::loadOptions(h->fakes.folder.root).layout, lk::KeyboardLayout::Us);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!h->find<QLabel>(QStringLiteral("key_AE13")));
    QVERIFY(h->find<QLabel>(QStringLiteral("key_TLDE")));
    QCOMPARE(h->textOf(cell(lk::KeyboardLayout::Us, u'[')), QStringLiteral("["));
    QVERIFY(h->find<QLabel>(cell(lk::KeyboardLayout::Us, u'\'')));
    QCOMPARE(h->textOf(cell(lk::KeyboardLayout::Us, u'\\')), QStringLiteral("\uFF3C"));  // not ¥
  }
};

QTEST_MAIN(TstBunseki)
#include "tst_bunseki.moc"
