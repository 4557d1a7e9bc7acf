// The analysis screen bunseki: what a scripted drill missed and what came
// instead, the ways in (the three result places and the training menu),
// a store that cannot keep the run and when that is told, the last kept run
// after a restart, the history chart's points and ticks, the filters on the
// totals and 苦手な文字, the remembered keyboard layout and the CSV export.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QtTest>
#include <fstream>
#include <memory>
#include <sstream>

#include "fakes/fake_midi.h"
#include "fakes/store_fixtures.h"
#include "music/screens/music_screens.h"
#include "practice/screens/o_type.h"
#include "practice/screens/practice_screens.h"
#include "practice/screens/t_original.h"
#include "progress/history_store.h"
#include "progress/run_keeping.h"
#include "progress/screens/keyboard_picture.h"
#include "progress/screens/progress_screens.h"
#include "progress/weakness.h"
#include "shell/keyboard_map.h"
#include "shell/screens/screen_widgets.h"
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

  // Puts finished runs straight into the store.
  void keep(std::vector<lk::RunRecord> runs) {
    lk::HistoryStore::Status status;
    auto st = lk::HistoryStore::open(h->fakes.folder.root / lk::kHistoryFileName, status);
    QVERIFY(st);
    QCOMPARE(st->addRuns(runs), lk::HistoryStore::Status::Ok);
  }

  // One unit typed on one key: `misses` wrong keys (q), then `hits` right
  // ones, each `stepMs` after the one before.
  struct Typing {
    std::u16string unit;
    char16_t key;
    int misses, hits, stepMs;
  };
  static lk::RunRecord run(lk::DrillMode mode, std::u16string title, const std::vector<Typing>& typing,
                           int speed = 100) {
    lk::RunRecord r;
    r.mode = mode;
    r.title = std::move(title);
    r.speed = speed;
    r.accuracy = 90;
    r.seconds = 60;
    std::int32_t ms = 0;
    for (const Typing& t : typing) {
      const auto unit = static_cast<std::uint16_t>(r.units.size());
      r.units.push_back(t.unit);
      for (int i = 0; i < t.misses + t.hits; ++i) {
        ms += t.stepMs;
        const bool hit = i >= t.misses;
        r.keys.push_back({ms, t.key, hit ? t.key : u'q', unit, 0, hit});
      }
      r.chars += t.hits;
      r.misses += t.misses;
    }
    return r;
  }

  void openHistory() {
    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("kiroku_b")));
    QCOMPARE(h->currentId(), ScreenId::bunseki);
  }

  QChart* chart() const {
    auto* view = h->find<QChartView>(QStringLiteral("history_chart"));
    return view ? view->chart() : nullptr;
  }
  QValueAxis* axis(const char* name) const {
    for (QAbstractAxis* a : chart()->axes()) {
      if (a->objectName() == QLatin1String(name)) return qobject_cast<QValueAxis*>(a);
    }
    return nullptr;
  }
  // The values the ticks of a fixed-count axis fall on.
  static QList<double> ticks(const QValueAxis* a) {
    QList<double> out;
    for (int i = 0; i < a->tickCount(); ++i) out << a->min() + i * (a->max() - a->min()) / (a->tickCount() - 1);
    return out;
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

  // A store with a damaged page: no run goes into it (one message), the
  // history says the file is broken rather than empty, and the CSV export
  // says the history could not be read, asks for no file and writes none.
  void damagedStoreIsNeverWrittenAndTheHistorySaysSo() {
    {
      auto st = store(lk::HistoryStore::Mode::ReadWrite);
      QVERIFY(st);
      std::vector<lk::RunRecord> runs(30);
      for (auto& r : runs) r.units = {std::u16string(300, u'x')};  // a page or so each
      QCOMPARE(st->addRuns(runs), lk::HistoryStore::Status::Ok);
    }
    QVERIFY(lk::test::damageMiddlePage(h->fakes.folder.root / lk::kHistoryFileName));
    const std::string before = h->fakes.folder.read(lk::kHistoryFileName);

    wordDrillWithTwoMisses();
    QCOMPARE(failureMessages(), 1L);
    QVERIFY(!h->state.progress.lastRunKept);
    QCOMPARE(h->fakes.folder.read(lk::kHistoryFileName), before);

    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("kiroku_b")));
    QCOMPARE(h->find<QLabel>(QStringLiteral("totals_l"))->text(), QStringLiteral("記録ファイルが壊れています。"));
    const auto csv = h->fakes.folder.root / "out.csv";
    h->fakes.files.csvAnswers.push_back(csv);
    h->fakes.messages.shown.clear();
    QVERIFY(h->click(QStringLiteral("csv_b")));
    QCOMPARE(h->fakes.messages.shown, (std::vector<std::u16string>{u"記録の読み込みに失敗しました。"}));
    QCOMPARE(h->fakes.files.csvCalls, 0);
    QVERIFY(!std::filesystem::exists(csv));
    QCOMPARE(h->fakes.folder.read(lk::kHistoryFileName), before);
  }

  void noStoreYetIsAnEmptyHistoryNotABrokenOne() {
    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("kiroku_b")));
    QCOMPARE(h->find<QLabel>(QStringLiteral("totals_l"))->text(), QStringLiteral("記録はまだありません。"));
    // The export of no runs is a header, as before.
    const auto csv = h->fakes.folder.root / "out.csv";
    h->fakes.files.csvAnswers.push_back(csv);
    QVERIFY(h->click(QStringLiteral("csv_b")));
    QVERIFY(h->fakes.messages.shown.empty());
    QVERIFY(std::filesystem::exists(csv));
  }

  // An installed, read-only program folder that came with a store: the
  // history and 苦手克服 read it until the data folder has its own, and the
  // first run kept starts the data folder's store as a copy of it.
  void programFolderStoreIsReadUntilTheDataFolderHasOne() {
    const auto program = h->fakes.folder.root / lk::kHistoryFileName;
    {
      lk::HistoryStore::Status status;
      auto st = lk::HistoryStore::open(program, status);
      QVERIFY(st);
      for (int i = 0; i < 3; ++i) {
        lk::RunRecord r;
        r.title = u"前の記録";
        r.speed = 200 + i;
        QCOMPARE(st->addRun(r), lk::HistoryStore::Status::Ok);
      }
    }
    const std::string before = h->fakes.folder.read(lk::kHistoryFileName);
    h->fakes.folder.data = h->fakes.folder.root / "data";
    std::filesystem::create_directory(*h->fakes.folder.data);
    const auto data = *h->fakes.folder.data / lk::kHistoryFileName;

    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("kiroku_b")));
    QCOMPARE(h->find<QWidget>(QStringLiteral("history_chart"))->property("runCount").toInt(), 3);
    QVERIFY(!std::filesystem::exists(data));  // reading creates nothing

    wordDrillWithTwoMisses();
    QCOMPARE(failureMessages(), 0L);
    lk::HistoryStore::Status status;
    auto kept = lk::HistoryStore::open(data, status, lk::HistoryStore::Mode::ReadOnly);
    QVERIFY(kept);
    const auto runs = kept->runs();
    QCOMPARE(runs.size(), std::size_t{4});
    QCOMPARE(runs.front().title, std::u16string(u"前の記録"));
    QCOMPARE(runs.back().title, std::u16string(u"テスト"));
    QCOMPARE(h->fakes.folder.read(lk::kHistoryFileName), before);  // the program folder's store is untouched

    QVERIFY(h->click(QStringLiteral("bunseki_b")));
    QCOMPARE(h->find<QWidget>(QStringLiteral("history_chart"))->property("runCount").toInt(), 4);
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

  // One run draws a point; the run axis counts whole runs and the value
  // axes tick at round values, whatever the number of runs and speeds.
  void chartShowsEveryRunOnRoundTicks_data() {
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("topSpeed");
    QTest::addColumn<QList<double>>("runTicks");
    QTest::addColumn<QList<double>>("speedTicks");
    QTest::newRow("one run") << 1 << 88 << QList<double>{0, 1, 2} << QList<double>{0, 20, 40, 60, 80, 100};
    QTest::newRow("five runs") << 5 << 354 << QList<double>{0, 1, 2, 3, 4, 5}
                               << QList<double>{0, 100, 200, 300, 400};
    QTest::newRow("thirteen") << 13 << 120 << QList<double>{0, 2, 4, 6, 8, 10, 12, 14}
                              << QList<double>{0, 50, 100, 150};
    QTest::newRow("a hundred") << 100 << 60 << QList<double>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}
                               << QList<double>{0, 20, 40, 60};
  }
  void chartShowsEveryRunOnRoundTicks() {
    QFETCH(int, runs);
    QFETCH(int, topSpeed);
    QFETCH(QList<double>, runTicks);
    QFETCH(QList<double>, speedTicks);
    std::vector<lk::RunRecord> kept;
    for (int i = 0; i < runs; ++i) {
      kept.push_back(run(lk::DrillMode::Word, u"初級", {}, i == runs / 2 ? topSpeed : topSpeed / 2));
    }
    keep(kept);
    openHistory();
    QCOMPARE(ticks(axis("runs_axis")), runTicks);
    QCOMPARE(ticks(axis("speed_axis")), speedTicks);
    QCOMPARE(ticks(axis("accuracy_axis")), (QList<double>{0, 20, 40, 60, 80, 100}));
    QCOMPARE(axis("runs_axis")->labelFormat(), QStringLiteral("%d"));
  }

  void oneRunIsDrawnAsAPoint() {
    keep({run(lk::DrillMode::Word, u"初級", {}, 88)});
    openHistory();
    auto* view = h->find<QChartView>(QStringLiteral("history_chart"));
    QCOMPARE(view->property("runCount").toInt(), 1);
    QVERIFY(QTest::qWaitForWindowExposed(h->current()));
    const QImage image = view->grab().toImage();
    // Only the plot area: the legend shows the series' colours anyway.
    const QRect plot = view->mapFromScene(chart()->mapToScene(chart()->plotArea())).boundingRect();
    const QColor speedColor = qobject_cast<QLineSeries*>(chart()->series().at(0))->pen().color();
    int painted = 0;
    for (int y = plot.top(); y <= plot.bottom(); ++y) {
      for (int x = plot.left(); x <= plot.right(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (std::abs(c.red() - speedColor.red()) + std::abs(c.green() - speedColor.green()) +
                std::abs(c.blue() - speedColor.blue()) < 40) {
          ++painted;
        }
      }
    }
    QVERIFY2(painted >= 9, qPrintable(QStringLiteral("%1 pixels of the speed colour").arg(painted)));
  }

  // The totals and 苦手な文字 are of the runs the filters let through.
  void totalsAndWeakUnitsFollowTheFilters() {
    keep({run(lk::DrillMode::Word, u"初級", {{u"な", u'n', 2, 8, 200}}),
          run(lk::DrillMode::Word, u"中級", {{u"か", u'k', 1, 3, 200}}),
          run(lk::DrillMode::Char, u"一文字", {{u"p", u'p', 4, 2, 300}, {u"a", u'a', 0, 4, 200}})});
    openHistory();
    auto* totals = h->find<QLabel>(QStringLiteral("totals_l"));
    auto names = [this] {
      QStringList out;
      for (const QString& line : items("weak_units")) out << line.section(QStringLiteral("　"), 0, 0);
      out.sort();
      return out;
    };
    QVERIFY(totals->text().contains(QStringLiteral("練習回数　3回")));
    QVERIFY(totals->text().contains(QStringLiteral("打鍵数　24")));
    QCOMPARE(names(), (QStringList{QStringLiteral("a"), QStringLiteral("p"), QStringLiteral("か"), QStringLiteral("な")}));

    auto* mode = h->find<QComboBox>(QStringLiteral("mode_c"));
    mode->setCurrentIndex(mode->findText(QStringLiteral("一文字")));
    QVERIFY(totals->text().contains(QStringLiteral("練習回数　1回")));
    QVERIFY(totals->text().contains(QStringLiteral("打鍵数　10")));
    QCOMPARE(names(), (QStringList{QStringLiteral("a"), QStringLiteral("p")}));

    mode->setCurrentIndex(0);
    auto* course = h->find<QComboBox>(QStringLiteral("course_c"));
    course->setCurrentIndex(course->findText(QStringLiteral("中級")));
    QVERIFY(totals->text().contains(QStringLiteral("練習回数　1回")));
    QVERIFY(totals->text().contains(QStringLiteral("打鍵数　4")));
    QCOMPARE(names(), QStringList{QStringLiteral("か")});

    mode->setCurrentIndex(mode->findText(QStringLiteral("ミュージック")));  // 中級 was never a song
    QVERIFY(totals->text().contains(QStringLiteral("練習回数　0回")));
    QVERIFY(items("weak_units").isEmpty());
  }

  // 苦手な文字 is what 苦手克服 drills: the weakness model's ranking and
  // score, not the raw miss rate (が 1/3 is no weaker than な 6/32 typed slowly).
  void weakUnitsAreTheWeaknessModelsList() {
    keep({run(lk::DrillMode::Word, u"初級", {{u"が", u'g', 1, 2, 150}, {u"な", u'n', 6, 26, 700}, {u"し", u's', 0, 20, 150}})});
    openHistory();
    lk::HistoryStore::Status status;
    auto st = lk::HistoryStore::open(h->fakes.folder.root / lk::kHistoryFileName, status, lk::HistoryStore::Mode::ReadOnly);
    const lk::WeaknessModel model(lk::recentRuns(*st));
    QStringList expected;
    for (const lk::Weakness& w : model.ranked()) {
      expected << QStringLiteral("%1　%2（ミス %3/%4）").arg(lk::ui::qs(w.name)).arg(w.score, 0, 'f', 2).arg(w.misses).arg(w.count);
    }
    QCOMPARE(items("weak_units"), expected);
    QVERIFY2(items("weak_units").value(0).startsWith(QStringLiteral("な")), "the fixture ranks な first in the model");
  }

  // After a restart the first page shows the last kept run, keys and all.
  void lastKeptRunShowsAfterARestart() {
    keep({run(lk::DrillMode::Word, u"前回", {{u"か", u'k', 1, 3, 200}}),
          run(lk::DrillMode::Char, u"一文字", {{u"p", u'p', 2, 5, 300}})});
    QVERIFY(!h->state.progress.hasRun);
    openHistory();
    QVERIFY(!h->textOf(QStringLiteral("run_l")).contains(QStringLiteral("まだ練習の記録がありません。")));
    QVERIFY(h->textOf(QStringLiteral("run_l")).contains(QStringLiteral("一文字")));
    QCOMPARE(items("missed_units"), QStringList{QStringLiteral("p p → q ×2")});
    auto* p = h->find<QLabel>(cell(lk::KeyboardLayout::Jis, u'p'));
    QVERIFY(p);
    QCOMPARE(p->property("missRate").toDouble(), 2.0 / 7.0);
  }

  // A backslash is drawn as the chosen layout prints it, in the lists and on
  // the keyboard: JIS on its yen key, US on its own key and never as ¥.
  void backslashIsShownAsTheLayoutPrintsIt() {
    keep({run(lk::DrillMode::Char, u"一文字", {{u"\\", u'\\', 1, 1, 300}})});
    h->state.progress.openOnHistory = false;
    h->open(ScreenId::bunseki);
    QCOMPARE(items("missed_keys"), QStringList{QStringLiteral("\\ ×1 → q ×1")});
    QCOMPARE(h->find<QLabel>(QStringLiteral("key_AE13"))->property("missRate").toDouble(), 0.5);
    QCOMPARE(h->textOf(QStringLiteral("key_AE13")), QStringLiteral("\u00A5"));
    h->find<QComboBox>(QStringLiteral("layout_c"))->setCurrentIndex(1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(items("missed_keys"), QStringList{QStringLiteral("\uFF3C ×1 → q ×1")});
    QCOMPARE(h->find<QLabel>(QStringLiteral("key_BKSL"))->property("missRate").toDouble(), 0.5);
    QCOMPARE(h->textOf(QStringLiteral("key_BKSL")), QStringLiteral("\uFF3C"));
  }

  void noRunAtAllSaysSo() {
    openHistory();
    QCOMPARE(h->textOf(QStringLiteral("run_l")), QStringLiteral("まだ練習の記録がありません。"));
  }

  // "記録の保存に失敗しました。" comes over the result, never on the last key
  // while the drill has not yet drawn クリア！.
  void unkeptRunIsToldOverTheResult() {
    h->fakes.folder.data = h->fakes.folder.root / "gone";
    std::vector<std::pair<ScreenId, bool>> seen;  // screen, and whether it was on screen
    h->fakes.messages.onShow = [this, &seen](std::u16string_view text) {
      if (text == lk::kHistorySaveFailed) seen.emplace_back(h->currentId(), h->current()->isVisible());
    };
    wordDrillWithTwoMisses();
    QCOMPARE(seen, (std::vector<std::pair<ScreenId, bool>>{{ScreenId::t_kekka, true}}));
    // Told once: not again on the analysis screen.
    QVERIFY(h->click(QStringLiteral("bunseki_b")));
    QCOMPARE(failureMessages(), 1L);

    // The one-character drill: over its result.
    seen.clear();
    lk::fillOneCharList(h->state.problems, lk::OneCharList::Beginner);
    h->fakes.random.sequence = {0.0};
    h->open(ScreenId::o_type);
    auto* drill = qobject_cast<lk::OneCharDrillScreen*>(h->current());
    for (int i = 0; i < 4; ++i) drill->countdownTick();
    h->type(QStringLiteral("a"));
    for (int i = 0; i < 60; ++i) drill->clockTick();
    h->settle();
    QVERIFY(seen.empty());
    QVERIFY(h->click(QStringLiteral("kekka_b")));
    QCOMPARE(seen, (std::vector<std::pair<ScreenId, bool>>{{ScreenId::o_kekka, true}}));

    // The music drill has no result screen: after クリア！ is drawn.
    seen.clear();
    auto& set = h->state.problems;
    set = {};
    set.title = u"歌";
    set.count = 1;
    set.text = {u"か"};
    set.reading = {u"か"};
    set.romaji = {u"ka"};
    set.melody = {u"5x7x"};
    h->open(ScreenId::midi_tra);
    QString shownWhenTold;
    h->fakes.messages.onShow = [this, &shownWhenTold](std::u16string_view) {
      shownWhenTold = h->textOf(QStringLiteral("label_q4"));
    };
    h->type(QStringLiteral("ka"));
    QCOMPARE(shownWhenTold, QStringLiteral("クリア！"));
    QCOMPARE(failureMessages(), 3L);
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
