// Looking back at a run: the replay view steps through a scripted run's
// misses in order and plays it at the chosen speed; from 分析, 再生 opens it
// for this run and for a run of the history list, and 間違えた問題を練習
// asks the missed and slowest questions again, in order, unranked.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QTabWidget>
#include <QtTest>
#include <memory>

#include "practice/screens/practice_screens.h"
#include "practice/screens/t_original.h"
#include "progress/screens/progress_screens.h"
#include "progress/screens/replay_view.h"
#include "shell/screens/gui_test_support.h"

using lk::ScreenId;
using lk::test::GuiHarness;

class TstReplay : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;

  // Six one-question words asked in order; い is missed once (x), お is
  // typed slowly (400 ms), every other key takes 150 ms.
  void scriptedDrill() {
    auto& set = h->state.problems;
    set = {};
    set.title = u"テスト";
    set.text = {u"あ", u"い", u"う", u"え", u"お", u"か"};
    set.romaji = {u"a", u"i", u"u", u"e", u"o", u"ka"};
    set.count = 6;
    set.askInOrder = true;
    h->open(ScreenId::t_original);
    auto* drill = qobject_cast<lk::WordDrillScreen*>(h->current());
    QVERIFY(drill);
    for (int i = 0; i < 4; ++i) drill->countdownTick();
    for (QChar c : QStringLiteral("axiueoka")) {
      h->fakes.clock.ms += c == u'o' ? 400 : 150;
      h->type(QString(c));
    }
    QVERIFY(h->click(QStringLiteral("kekka_b")));
    QCOMPARE(h->currentId(), ScreenId::t_kekka);
  }

  lk::ReplayView* openReplay() {
    auto views = h->current()->findChildren<lk::ReplayView*>();
    return views.isEmpty() ? nullptr : views.back();
  }

 private slots:
  void init() {
    h = std::make_unique<GuiHarness>(
        std::initializer_list<GuiHarness::Registration>{lk::registerPracticeScreens, lk::registerProgressScreens});
  }
  void cleanup() { h.reset(); }

  void replayStepsThroughTheMissesInOrder() {
    lk::RunRecord run;
    run.title = u"テスト";
    run.units = {u"か", u"し"};
    // k a | s (miss: d) i ... then a second miss on a (e) late in the run.
    run.keys = {{100, u'k', u'k', 0, 0, true}, {200, u'a', u'a', 0, 1, true}, {300, u's', u'd', 1, 0, false},
                {600, u's', u's', 1, 0, true}, {700, u'i', u'i', 1, 1, true}, {800, u'k', u'k', 0, 0, true},
                {900, u'a', u'e', 0, 1, false}, {1000, u'a', u'a', 0, 1, true}};
    lk::ReplayView view(run, nullptr);
    auto* miss = view.findChild<QLabel*>(QStringLiteral("replay_miss"));
    auto* keys = view.findChild<QLabel*>(QStringLiteral("replay_keys"));
    auto* bar = view.findChild<QSlider*>(QStringLiteral("time_bar"));
    QVERIFY(miss && keys && bar);
    QCOMPARE(view.keysShown(), 0);

    // Median key 100 ms: the first miss cost 300 − 100, the second 100 − 100.
    QVERIFY(view.jumpToNextMiss());
    QCOMPARE(view.positionMs(), 300);
    QCOMPARE(view.keysShown(), 3);
    QCOMPARE(view.missShown(), 0);
    QCOMPARE(miss->text(), QStringLiteral("ミス 1/2：し で s のところ d（200 ms）"));
    QVERIFY(keys->text().startsWith(QStringLiteral("ka<span")));
    QVERIFY(keys->text().contains(QStringLiteral("<s>d</s>")));
    QCOMPARE(bar->value(), 300);
    QVERIFY(view.jumpToNextMiss());
    QCOMPARE(view.positionMs(), 900);
    QCOMPARE(miss->text(), QStringLiteral("ミス 2/2：か で a のところ e（0 ms）"));
    QVERIFY(!view.jumpToNextMiss());
    QCOMPARE(view.positionMs(), 900);

    // Playing at 4×: 40 ms of the clock move the run 160 ms on; it stops at the end.
    view.setPositionMs(0);
    view.findChild<QComboBox*>(QStringLiteral("speed_c"))->setCurrentIndex(2);
    view.play();
    view.tick(40);
    QCOMPARE(view.positionMs(), 160);
    QCOMPARE(view.keysShown(), 1);
    view.pause();
    view.tick(40);
    QCOMPARE(view.positionMs(), 160);
    view.play();
    for (int i = 0; i < 10; ++i) view.tick(40);
    QCOMPARE(view.positionMs(), 1000);
    QVERIFY(!view.playing());
    QCOMPARE(view.keysShown(), 8);
  }

  void analysisReplaysThisRunAndAListedOne() {
    scriptedDrill();
    QVERIFY(h->click(QStringLiteral("bunseki_b")));
    QCOMPARE(h->currentId(), ScreenId::bunseki);
    QVERIFY(h->textOf(QStringLiteral("profile_l")).contains(QStringLiteral("ミスがなければ")));
    QVERIFY(h->click(QStringLiteral("replay_b")));
    lk::ReplayView* view = openReplay();
    QVERIFY(view);
    view->setPositionMs(100000);
    QCOMPARE(view->keysShown(), 8);
    view->close();
    lk::test::GuiHarness::settle();

    h->find<QTabWidget>(QStringLiteral("bunseki_tabs"))->setCurrentIndex(1);
    auto* list = h->find<QListWidget>(QStringLiteral("run_list"));
    QVERIFY(list);
    QCOMPARE(list->count(), 1);
    QVERIFY(list->item(0)->text().contains(QStringLiteral("ワード　テスト")));
    QVERIFY(h->click(QStringLiteral("run_replay_b")));
    view = openReplay();
    QVERIFY(view);
    QVERIFY(view->jumpToNextMiss());
    QCOMPARE(view->missShown(), 0);
  }

  void analysisListsTheSlowPairs() {
    // しか three times over, the か after し at 400 ms, everything else at 100 ms.
    auto& set = h->state.problems;
    set = {};
    set.title = u"テスト";
    set.text = {u"しかしかしか"};
    set.romaji = {u"sikasikasika"};
    set.count = 1;
    h->open(ScreenId::t_original);
    auto* drill = qobject_cast<lk::WordDrillScreen*>(h->current());
    QVERIFY(drill);
    for (int i = 0; i < 4; ++i) drill->countdownTick();
    for (QChar c : QStringLiteral("sikasikasika")) {
      h->fakes.clock.ms += c == u'a' ? 300 : 100;
      h->type(QString(c));
    }
    QVERIFY(h->click(QStringLiteral("kekka_b")));
    QVERIFY(h->click(QStringLiteral("bunseki_b")));
    for (const char* list : {"slow_pairs", "slow_pairs_recent"}) {
      auto* l = h->find<QListWidget>(QString::fromLatin1(list));
      QVERIFY(l);
      QCOMPARE(l->count(), 1);  // し after か came only twice
      QCOMPARE(l->item(0)->text(), QStringLiteral("し→か　400 ms（3回、ミス0）"));
    }
    QCOMPARE(h->find<QListWidget>(QStringLiteral("missed_pairs_recent"))->count(), 0);
  }

  void ghostBarRacesTheBestRunByKeys() {
    h->state.options.ghost = true;
    h->state.progress.ghostCourse = true;
    scriptedDrill();  // no best run yet: no bar
    // That run's hits came at 150, 450, 600, 750, 1150, 1300 and 1450 ms.
    h->state.problems.romaji = {u"a", u"i", u"u", u"e", u"o", u"ka"};
    h->state.problems.askInOrder = true;
    h->open(ScreenId::t_original);
    auto* drill = qobject_cast<lk::WordDrillScreen*>(h->current());
    QVERIFY(drill);
    for (int i = 0; i < 4; ++i) drill->countdownTick();
    auto* ghost = h->find<QLabel>(QStringLiteral("ghost_l"));
    QVERIFY(ghost && ghost->isVisible());
    QCOMPARE(ghost->text(), QStringLiteral("±0"));
    struct Step {
      int afterMs;
      const char* key;  // null: a clock tick only
      int own, ghostKeys;
      const char* lead;
    };
    const Step steps[] = {{500, "a", 1, 2, "−1"}, {100, "i", 2, 3, "−1"}, {600, nullptr, 2, 5, "−3"},
                          {10, "u", 3, 5, "−2"}, {1000, "e", 4, 7, "−3"}};
    for (const Step& s : steps) {
      h->fakes.clock.ms += s.afterMs;
      if (s.key) h->type(QString::fromLatin1(s.key));
      else drill->clockTick();
      QCOMPARE(ghost->property("ownKeys").toInt(), s.own);
      QCOMPARE(ghost->property("ghostKeys").toInt(), s.ghostKeys);
      QCOMPARE(ghost->text(), QString::fromUtf8(s.lead));
    }

    // The option off, or a drill that is no fixed course: no bar.
    for (bool option : {false, true}) {
      h->state.options.ghost = option;
      h->state.progress.ghostCourse = !option;
      h->state.problems.romaji = {u"a", u"i", u"u", u"e", u"o", u"ka"};
      h->open(ScreenId::t_original);
      drill = qobject_cast<lk::WordDrillScreen*>(h->current());
      for (int i = 0; i < 4; ++i) drill->countdownTick();
      QVERIFY(!h->find<QLabel>(QStringLiteral("ghost_l"))->isVisible());
    }
  }

  void missedQuestionsAreAskedAgainInOrderAndNotRanked() {
    scriptedDrill();
    const std::string rankBefore = h->fakes.folder.read("rank.dat");
    QVERIFY(h->click(QStringLiteral("bunseki_b")));
    QVERIFY(h->click(QStringLiteral("review_b")));
    QCOMPARE(h->currentId(), ScreenId::t_original);
    auto* drill = qobject_cast<lk::WordDrillScreen*>(h->current());
    QVERIFY(drill);
    QCOMPARE(h->textOf(QStringLiteral("titlehyouzi_l")), QStringLiteral("テスト（復習）"));
    // い had the miss; お is the slowest, and of six questions the slowest
    // fifth is two: い, slowed by its miss, is the other.
    QCOMPARE(drill->drill()->questionCount(), 2);
    for (int i = 0; i < 4; ++i) drill->countdownTick();
    QCOMPARE(QString::fromStdU16String(std::u16string(drill->drill()->questionText())), QStringLiteral("い"));
    h->fakes.clock.ms += 100;
    h->type(QStringLiteral("i"));
    QCOMPARE(QString::fromStdU16String(std::u16string(drill->drill()->questionText())), QStringLiteral("お"));
    h->fakes.clock.ms += 100;
    h->type(QStringLiteral("o"));
    QVERIFY(h->click(QStringLiteral("kekka_b")));
    QCOMPARE(h->currentId(), ScreenId::t_kekka);
    // A 復習 would have entered the ranking's empty rows; rank.dat is as the first drill left it.
    QCOMPARE(h->fakes.folder.read("rank.dat"), rankBefore);
    QVERIFY(!h->state.progress.reviewNext);

    // The next drill from a menu is ranked again.
    scriptedDrill();
    QVERIFY(h->fakes.folder.read("rank.dat") != rankBefore);
  }
};

QTEST_MAIN(TstReplay)
#include "tst_replay.moc"
