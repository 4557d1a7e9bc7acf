#include "progress/screens/bunseki.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <cmath>

#include "progress/history_export.h"
#include "progress/keystroke_stats.h"
#include "progress/pairs.h"
#include "progress/review.h"
#include "progress/run_profile.h"
#include "progress/screens/replay_view.h"
#include <QtCharts/QScatterSeries>
#include "progress/run_keeping.h"
#include "progress/weakness.h"
#include "progress/screens/keyboard_picture.h"
#include "shell/app_state.h"
#include "shell/keyboard_map.h"
#include "shell/screens/options_store.h"
#include "shell/screens/picture_button.h"
#include "shell/screens/screen_widgets.h"

namespace lk {

using ui::addLabel;
using ui::qs;

namespace {

constexpr int kWidth = 860;
constexpr int kHeight = 600;
constexpr int kListed = 10;  // lines of each list on the run page

QString modeText(DrillMode m) {
  switch (m) {
    case DrillMode::Word:
      return QStringLiteral("ワード");
    case DrillMode::Char:
      return QStringLiteral("一文字");
    case DrillMode::Music:
      return QStringLiteral("ミュージック");
    case DrillMode::Course:
      return QStringLiteral("コース");
  }
  return {};
}

QListWidget* addList(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry) {
  auto* l = new QListWidget(parent);
  l->setObjectName(name);
  l->setGeometry(geometry);
  l->setAccessibleName(caption);
  return l;
}

// A key as the learner's keyboard prints it (a US backslash is no ¥).
QString keyText(char16_t k, KeyboardLayout layout) {
  return k == u' ' ? QStringLiteral("␣") : QString(QChar(displayedCharacter(layout, k)));
}

const QColor kSpeedColor(0x2f, 0x7f, 0xd8);
const QColor kAccuracyColor(0x3a, 0xa5, 0x4a);
constexpr int kMaxRunTicks = 10;   // intervals on the run axis at most
constexpr int kMaxSpeedTicks = 5;  // and on the speed axis

// The smallest of 1, 2, 5, 10, 20, 50 … (at least `least`) that cuts 0 … `top`
// into at most `intervals` steps.
double roundStep(double top, int intervals, double least) {
  double step = least;
  for (int i = 0; top / step > intervals; ++i) step *= (i % 3 == 1) ? 2.5 : 2.0;
  return step;
}

}  // namespace

AnalysisScreen::AnalysisScreen(ScreenHost& host) : Screen(ScreenId::bunseki, host) {
  QWidget* c = client();
  c->setStyleSheet(QStringLiteral("QWidget#client { background: #eef3f8; }"));
  setClientSize(kWidth, kHeight);

  addLabel(c, QStringLiteral("Label1"), QStringLiteral("分析"), QRect(20, 8, 300, 40), 20, Qt::AlignLeft | Qt::AlignVCenter,
           true);
  auto* re_b = makeBackButton(c);
  re_b->setGeometry(740, 10, 100, 36);
  connect(re_b, &QPushButton::clicked, this,
          [this] { handOver(state().progress.backToMusicMenu ? ScreenId::midi_menu : ScreenId::t_menu); });

  tabs_ = new QTabWidget(c);
  tabs_->setObjectName(QStringLiteral("bunseki_tabs"));
  tabs_->setGeometry(20, 54, 820, 530);

  // This run.
  auto* run = new QWidget;
  run->setObjectName(QStringLiteral("run_page"));
  run_l_ = addLabel(run, QStringLiteral("run_l"), QString(), QRect(10, 6, 520, 26), 12);
  replay_b_ = new QPushButton(QStringLiteral("再生"), run);
  replay_b_->setObjectName(QStringLiteral("replay_b"));
  replay_b_->setGeometry(540, 4, 80, 28);
  connect(replay_b_, &QPushButton::clicked, this, [this] {
    if (const RunRecord* r = shownRun()) replay(*r);
  });
  review_b_ = new QPushButton(QStringLiteral("間違えた問題を練習"), run);
  review_b_->setObjectName(QStringLiteral("review_b"));
  review_b_->setGeometry(630, 4, 170, 28);
  connect(review_b_, &QPushButton::clicked, this, &AnalysisScreen::startReview);
  addLabel(run, QStringLiteral("missed_units_caption"), QStringLiteral("ミスの多い文字"), QRect(10, 36, 250, 22), 11);
  missed_units_ = addList(run, QStringLiteral("missed_units"), QStringLiteral("ミスの多い文字"), QRect(10, 60, 250, 170));
  addLabel(run, QStringLiteral("missed_keys_caption"), QStringLiteral("ミスの多いキー"), QRect(275, 36, 250, 22), 11);
  missed_keys_ = addList(run, QStringLiteral("missed_keys"), QStringLiteral("ミスの多いキー"), QRect(275, 60, 250, 170));
  addLabel(run, QStringLiteral("slow_units_caption"), QStringLiteral("時間のかかった文字"), QRect(540, 36, 260, 22), 11);
  slow_units_ = addList(run, QStringLiteral("slow_units"), QStringLiteral("時間のかかった文字"), QRect(540, 60, 260, 170));
  addLabel(run, QStringLiteral("keyboard_caption"), QStringLiteral("キーごとのミス率"), QRect(10, 244, 200, 22), 11);
  layout_c_ = new QComboBox(run);
  layout_c_->setObjectName(QStringLiteral("layout_c"));
  layout_c_->addItems({QStringLiteral("JIS配列"), QStringLiteral("US配列")});
  layout_c_->setGeometry(220, 242, 120, 26);
  layout_c_->setAccessibleName(QStringLiteral("キーボードの配列"));
  keyboard_ = new KeyboardPicture(run);
  keyboard_->setGeometry(10, 276, 790, 160);
  profile_l_ = addLabel(run, QStringLiteral("profile_l"), QString(), QRect(10, 440, 790, 46), 11);
  profile_l_->setWordWrap(true);
  tabs_->addTab(run, QStringLiteral("今回の練習"));

  // History.
  auto* hist = new QWidget;
  hist->setObjectName(QStringLiteral("history_page"));
  mode_c_ = new QComboBox(hist);
  mode_c_->setObjectName(QStringLiteral("mode_c"));
  mode_c_->setGeometry(10, 6, 140, 26);
  mode_c_->setAccessibleName(QStringLiteral("モード"));
  course_c_ = new QComboBox(hist);
  course_c_->setObjectName(QStringLiteral("course_c"));
  course_c_->setGeometry(160, 6, 260, 26);
  course_c_->setAccessibleName(QStringLiteral("コース"));
  auto* csv_b = new QPushButton(QStringLiteral("CSVに書き出す"), hist);
  csv_b->setObjectName(QStringLiteral("csv_b"));
  csv_b->setGeometry(640, 4, 160, 30);
  connect(csv_b, &QPushButton::clicked, this, &AnalysisScreen::exportCsv);
  chart_ = new QChartView(hist);
  chart_->setObjectName(QStringLiteral("history_chart"));
  chart_->setGeometry(10, 40, 530, 440);
  chart_->setRenderHint(QPainter::Antialiasing);
  chart_->setAccessibleName(QStringLiteral("速度と正誤率の推移"));
  totals_l_ = addLabel(hist, QStringLiteral("totals_l"), QString(), QRect(550, 40, 250, 80), 11);
  totals_l_->setWordWrap(true);
  addLabel(hist, QStringLiteral("weak_units_caption"), QStringLiteral("苦手な文字（直近20回）"), QRect(550, 126, 250, 22), 11);
  weak_units_ = addList(hist, QStringLiteral("weak_units"), QStringLiteral("苦手な文字"), QRect(550, 150, 250, 140));
  addLabel(hist, QStringLiteral("run_list_caption"), QStringLiteral("練習の記録"), QRect(550, 296, 150, 22), 11);
  run_list_ = addList(hist, QStringLiteral("run_list"), QStringLiteral("練習の記録"), QRect(550, 320, 250, 124));
  run_replay_b_ = new QPushButton(QStringLiteral("再生"), hist);
  run_replay_b_->setObjectName(QStringLiteral("run_replay_b"));
  run_replay_b_->setGeometry(720, 450, 80, 28);
  connect(run_replay_b_, &QPushButton::clicked, this, &AnalysisScreen::replayChosenRun);
  connect(run_list_, &QListWidget::itemActivated, this, [this] { replayChosenRun(); });
  tabs_->addTab(hist, QStringLiteral("履歴"));

  // The speed profile of this run, charted, beside the kana pairs that
  // took longest or were missed most.
  auto* prof = new QWidget;
  prof->setObjectName(QStringLiteral("profile_page"));
  profile_chart_ = new QChartView(prof);
  profile_chart_->setGeometry(10, 6, 530, 474);
  addLabel(prof, QStringLiteral("slow_pairs_caption"), QStringLiteral("遅い組み合わせ（今回）"), QRect(550, 6, 250, 22), 11);
  slow_pairs_ = addList(prof, QStringLiteral("slow_pairs"), QStringLiteral("遅い組み合わせ（今回）"), QRect(550, 30, 250, 130));
  addLabel(prof, QStringLiteral("slow_pairs_recent_caption"), QStringLiteral("遅い組み合わせ（直近20回）"), QRect(550, 166, 250, 22), 11);
  slow_pairs_recent_ = addList(prof, QStringLiteral("slow_pairs_recent"), QStringLiteral("遅い組み合わせ（直近20回）"),
                               QRect(550, 190, 250, 130));
  addLabel(prof, QStringLiteral("missed_pairs_recent_caption"), QStringLiteral("ミスの多い組み合わせ（直近20回）"),
           QRect(550, 326, 250, 22), 11);
  missed_pairs_recent_ = addList(prof, QStringLiteral("missed_pairs_recent"), QStringLiteral("ミスの多い組み合わせ（直近20回）"),
                                 QRect(550, 350, 250, 130));
  profile_chart_->setObjectName(QStringLiteral("profile_chart"));
  profile_chart_->setRenderHint(QPainter::Antialiasing);
  profile_chart_->setAccessibleName(QStringLiteral("今回の速度の推移"));
  tabs_->addTab(prof, QStringLiteral("速度の推移"));
}

AnalysisScreen::~AnalysisScreen() = default;

void AnalysisScreen::load() {
  AppState& s = state();
  // The store is read only if it is there; an older one is brought up to
  // date, an unreadable one is left alone and the history stays empty.
  if (s.services.folder) store_ = openHistoryToRead(*s.services.folder, storeStatus_);
  // After a restart the last drill of this session is gone; the last kept
  // run stands in for it.
  if (!s.progress.hasRun && store_) {
    std::vector<RunRecord> last = store_->records(store_->lastRunIds(1));
    if (!last.empty()) storedRun_ = std::move(last.front());
  }
  layout_c_->setCurrentIndex(s.options.layout == KeyboardLayout::Us ? 1 : 0);
  showRun();
  fillFilters();
  showHistory();
  showRunList();
  showPairs();
  connect(layout_c_, &QComboBox::currentIndexChanged, this, &AnalysisScreen::layoutChosen);
  connect(mode_c_, &QComboBox::currentIndexChanged, this, [this] { showHistory(); });
  connect(course_c_, &QComboBox::currentIndexChanged, this, [this] { showHistory(); });
  tabs_->setCurrentIndex(s.progress.openOnHistory ? 1 : 0);
}

const RunRecord* AnalysisScreen::shownRun() const {
  const ProgressState& p = state().progress;
  if (p.hasRun) return &p.lastRun;
  return storedRun_ ? &*storedRun_ : nullptr;
}

void AnalysisScreen::showRun() {
  missed_units_->clear();
  missed_keys_->clear();
  slow_units_->clear();
  showProfile();
  if (!shownRun()) {
    run_l_->setText(QStringLiteral("まだ練習の記録がありません。"));
    keyboard_->show(state().options.layout, {});
    return;
  }
  const RunRecord& r = *shownRun();
  run_l_->setText(QStringLiteral("%1　%2　%3文字　ミス%4　%5文字/分　正誤率%6%")
                      .arg(modeText(r.mode), qs(r.title))
                      .arg(r.chars)
                      .arg(r.misses)
                      .arg(r.speed)
                      .arg(r.accuracy));
  const auto patterns = missPatterns(r);
  for (std::size_t i = 0; i < patterns.size() && i < kListed; ++i) missed_units_->addItem(qs(describeMissPattern(patterns[i])));

  const std::span<const RunRecord> one(&r, 1);
  const KeyboardLayout layout = state().options.layout;
  for (const KeyStat& k : keyStats(one)) {
    if (k.misses == 0 || missed_keys_->count() >= kListed) break;
    QString line = keyText(k.key, layout) + QStringLiteral(" ×%1 →").arg(k.misses);
    for (std::size_t i = 0; i < k.typedInstead.size(); ++i) {
      line += (i ? QStringLiteral(", ") : QStringLiteral(" ")) + keyText(k.typedInstead[i].first, layout) +
              QStringLiteral(" ×%1").arg(k.typedInstead[i].second);
    }
    missed_keys_->addItem(line);
  }
  const auto slow = slowestUnits(one);
  for (std::size_t i = 0; i < slow.size() && i < kListed; ++i) {
    slow_units_->addItem(QStringLiteral("%1　%2 ms（%3回）").arg(qs(slow[i].unit)).arg(*slow[i].medianMs).arg(slow[i].occurrences));
  }
  showKeyboard();
}

void AnalysisScreen::showProfile() {
  const RunRecord* r = shownRun();
  replay_b_->setEnabled(r && !r->keys.empty());
  const ProgressState& p = state().progress;
  // Only the last drill of this session knows its questions.
  review_b_->setEnabled(r == &p.lastRun && !reviewQuestions(p.lastRunQuestions, p.lastRun).empty());

  auto* chart = new QChart;
  chart->legend()->setAlignment(Qt::AlignBottom);
  auto* speed = new QLineSeries;
  speed->setName(QStringLiteral("速度（文字/分、%1打鍵ごと）").arg(kSpeedWindowKeys));
  speed->setPen(QPen(kSpeedColor, 2));
  auto* misses = new QScatterSeries;
  misses->setName(QStringLiteral("ミス"));
  misses->setColor(QColor(0xd0, 0x20, 0x20));
  misses->setMarkerSize(7);
  profile_l_->clear();
  double top = 0, end = 1;
  if (r) {
    const RunProfile prof = profileRun(*r);
    for (const SpeedPoint& s : prof.speeds) speed->append(s.ms / 1000.0, s.cpm);
    for (const MissCost& m : prof.missCosts) misses->append(r->keys[m.key].ms / 1000.0, 0);
    top = prof.topCpm.value_or(0);
    end = std::max(1.0, prof.runMs / 1000.0);
    auto cpm = [](const std::optional<double>& v) { return v ? QString::number(std::lround(*v)) : QStringLiteral("—"); };
    profile_l_->setText(QStringLiteral("最高 %1文字/分　最低 %2文字/分　ミスがなければ %3秒（%4文字/分）　ミスの時間 %5秒　リズム %6")
                            .arg(cpm(prof.topCpm), cpm(prof.worstCpm))
                            .arg(prof.noMissMs / 1000.0, 0, 'f', 1)
                            .arg(prof.noMissSpeed ? QString::number(*prof.noMissSpeed) : QStringLiteral("—"))
                            .arg(prof.missMs / 1000.0, 0, 'f', 1)
                            .arg(cpm(prof.fluidness)));
  }
  chart->addSeries(speed);
  chart->addSeries(misses);
  auto* xAxis = new QValueAxis;
  xAxis->setRange(0, end);
  xAxis->setLabelFormat(QStringLiteral("%d"));
  xAxis->setTitleText(QStringLiteral("秒"));
  auto* yAxis = new QValueAxis;
  yAxis->setRange(0, std::max(10.0, std::ceil(top / 50.0) * 50.0));
  yAxis->setLabelFormat(QStringLiteral("%d"));
  yAxis->setTitleText(QStringLiteral("文字/分"));
  chart->addAxis(xAxis, Qt::AlignBottom);
  chart->addAxis(yAxis, Qt::AlignLeft);
  for (QXYSeries* s : std::initializer_list<QXYSeries*>{speed, misses}) {
    s->attachAxis(xAxis);
    s->attachAxis(yAxis);
  }
  QChart* old = profile_chart_->chart();
  profile_chart_->setChart(chart);
  delete old;
}

void AnalysisScreen::showPairs() {
  auto fill = [](QListWidget* list, std::vector<PairStat> pairs, bool byMisses) {
    list->clear();
    if (byMisses) {
      rankPairsByMisses(pairs);
      std::erase_if(pairs, [](const PairStat& p) { return p.misses == 0; });
    } else {
      rankPairsBySlowness(pairs);
    }
    for (std::size_t i = 0; i < pairs.size() && i < kListed; ++i) {
      const PairStat& p = pairs[i];
      list->addItem(QStringLiteral("%1→%2　%3 ms（%4回、ミス%5）")
                        .arg(qs(p.first), qs(p.second))
                        .arg(p.medianMs ? QString::number(*p.medianMs) : QStringLiteral("—"))
                        .arg(p.count)
                        .arg(p.misses));
    }
  };
  if (const RunRecord* r = shownRun()) fill(slow_pairs_, unitPairs(std::span<const RunRecord>(r, 1)), false);
  else slow_pairs_->clear();
  std::vector<RunRecord> recent;
  if (store_) recent = store_->records(store_->lastRunIds(kWeakRuns));
  const std::vector<PairStat> pairs = unitPairs(recent);
  fill(slow_pairs_recent_, pairs, false);
  fill(missed_pairs_recent_, pairs, true);
}

void AnalysisScreen::showRunList() {
  run_list_->clear();
  runListIds_.clear();
  if (store_) {
    const std::vector<RunSummary> runs = store_->runs(kHistoryRuns);
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
      run_list_->addItem(QStringLiteral("%1　%2　%3　%4文字/分　%5%")
                             .arg(QString::fromStdString(formatDateTime(it->started)).replace(u'T', u' ').left(16),
                                  modeText(it->mode), qs(it->title))
                             .arg(it->speed)
                             .arg(it->accuracy));
      runListIds_.push_back(it->id);
    }
  }
  if (run_list_->count() > 0) run_list_->setCurrentRow(0);
  run_replay_b_->setEnabled(run_list_->count() > 0);
}

void AnalysisScreen::replay(const RunRecord& run) {
  auto* view = new ReplayView(run, client());
  view->setAttribute(Qt::WA_DeleteOnClose);
  view->show();
}

void AnalysisScreen::replayChosenRun() {
  const int row = run_list_->currentRow();
  if (!store_ || row < 0 || static_cast<std::size_t>(row) >= runListIds_.size()) return;
  const std::vector<RunRecord> runs = store_->records({runListIds_[static_cast<std::size_t>(row)]});
  if (!runs.empty()) replay(runs.front());
}

void AnalysisScreen::startReview() {
  AppState& s = state();
  const ProgressState& p = s.progress;
  const std::vector<std::size_t> picked = reviewQuestions(p.lastRunQuestions, p.lastRun);
  if (picked.empty()) return;
  ProblemSet set;
  set.title = reviewTitle(p.lastRun.title);
  for (std::size_t q : picked) {
    set.text.push_back(p.lastRunQuestions[q].text);
    set.romaji.push_back(p.lastRunQuestions[q].romaji);
  }
  set.count = static_cast<int>(set.text.size());
  set.askInOrder = true;
  s.problems = std::move(set);
  s.progress.reviewNext = true;
  handOver(ScreenId::t_original);
}

void AnalysisScreen::showKeyboard() {
  std::vector<KeyStat> stats;
  if (const RunRecord* r = shownRun()) stats = keyStats(std::span<const RunRecord>(r, 1));
  keyboard_->show(state().options.layout, stats);
}

void AnalysisScreen::layoutChosen(int index) {
  AppState& s = state();
  s.options.layout = index == 1 ? KeyboardLayout::Us : KeyboardLayout::Jis;
  // The choice is remembered with the other options; a file that cannot be
  // written only loses the choice.
  if (s.services.folder) saveOptions(s.options, s.services.folder->dataFolder());
  showRun();  // the key lists are written as the layout prints the keys
}

void AnalysisScreen::fillFilters() {
  mode_c_->clear();
  mode_c_->addItem(QStringLiteral("すべてのモード"), -1);
  for (DrillMode m : {DrillMode::Word, DrillMode::Char, DrillMode::Music, DrillMode::Course}) {
    mode_c_->addItem(modeText(m), static_cast<int>(m));
  }
  course_c_->clear();
  course_c_->addItem(QStringLiteral("すべてのコース"));
  if (!store_) return;
  QStringList titles;
  for (const auto& [mode, title] : store_->courses()) {
    if (!titles.contains(qs(title))) titles << qs(title);
  }
  titles.sort();
  course_c_->addItems(titles);
}

RunFilter AnalysisScreen::filter() const {
  RunFilter f;
  const int mode = mode_c_->currentData().toInt();
  if (mode >= 0) f.mode = static_cast<DrillMode>(mode);
  if (course_c_->currentIndex() > 0) f.title = course_c_->currentText().toStdU16String();
  return f;
}

void AnalysisScreen::showHistory() {
  auto* chart = new QChart;
  chart->setObjectName(QStringLiteral("history_chart_model"));
  chart->legend()->setAlignment(Qt::AlignBottom);
  auto* speed = new QLineSeries;
  speed->setName(QStringLiteral("速度（文字/分）"));
  speed->setPen(QPen(kSpeedColor, 2));
  auto* average = new QLineSeries;
  average->setName(QStringLiteral("速度の移動平均（%1回）").arg(kAverageWindow));
  QPen dashed(QColor(0x1d, 0x4f, 0x91), 2, Qt::DashLine);
  average->setPen(dashed);
  auto* accuracy = new QLineSeries;
  accuracy->setName(QStringLiteral("正誤率（%）"));
  accuracy->setPen(QPen(kAccuracyColor, 2));
  // A line needs two runs; the markers show every run, the first one too.
  for (QLineSeries* s : {speed, accuracy}) {
    s->setPointsVisible(true);
    s->setMarkerSize(6);
  }

  weak_units_->clear();
  totals_l_->clear();
  const RunFilter f = filter();
  std::vector<RunSummary> runs;
  if (store_) runs = store_->runs(kHistoryRuns, f);
  double sum = 0, maxSpeed = 0;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const double x = static_cast<double>(i + 1);
    speed->append(x, runs[i].speed);
    accuracy->append(x, runs[i].accuracy);
    sum += runs[i].speed;
    if (i >= kAverageWindow) sum -= runs[i - kAverageWindow].speed;
    average->append(x, sum / static_cast<double>(std::min<std::size_t>(i + 1, kAverageWindow)));
    maxSpeed = std::max<double>(maxSpeed, runs[i].speed);
  }
  chart->addSeries(speed);
  chart->addSeries(average);
  chart->addSeries(accuracy);
  // Every axis runs from 0 to a whole number of round steps, so each tick
  // falls on a round value: run numbers 1, 2, 5, 10 … apart, speeds 10,
  // 20, 50, 100 … apart, accuracy in fifths of 100.
  auto* xAxis = new QValueAxis;
  xAxis->setObjectName(QStringLiteral("runs_axis"));
  xAxis->setLabelFormat(QStringLiteral("%d"));
  const double runStep = roundStep(static_cast<double>(runs.size()), kMaxRunTicks, 1);
  // One run sits in the middle of the chart, not on its edge.
  const double runTop = std::max(2.0, std::ceil(static_cast<double>(runs.size()) / runStep)) * runStep;
  xAxis->setRange(0, runTop);
  xAxis->setTickCount(static_cast<int>(runTop / runStep) + 1);
  xAxis->setTitleText(QStringLiteral("回"));
  auto* speedAxis = new QValueAxis;
  speedAxis->setObjectName(QStringLiteral("speed_axis"));
  const double speedStep = roundStep(maxSpeed, kMaxSpeedTicks, 10);
  const double speedTop = std::max(1.0, std::ceil(maxSpeed / speedStep)) * speedStep;
  speedAxis->setRange(0, speedTop);
  speedAxis->setTickCount(static_cast<int>(speedTop / speedStep) + 1);
  speedAxis->setLabelFormat(QStringLiteral("%d"));
  speedAxis->setTitleText(QStringLiteral("文字/分"));
  auto* accuracyAxis = new QValueAxis;
  accuracyAxis->setObjectName(QStringLiteral("accuracy_axis"));
  accuracyAxis->setRange(0, 100);
  accuracyAxis->setTickCount(6);
  accuracyAxis->setLabelFormat(QStringLiteral("%d"));
  accuracyAxis->setTitleText(QStringLiteral("%"));
  accuracyAxis->setGridLineVisible(false);  // the speed axis's grid is the one drawn
  chart->addAxis(xAxis, Qt::AlignBottom);
  chart->addAxis(speedAxis, Qt::AlignLeft);
  chart->addAxis(accuracyAxis, Qt::AlignRight);
  for (QLineSeries* s : {speed, average}) {
    s->attachAxis(xAxis);
    s->attachAxis(speedAxis);
  }
  accuracy->attachAxis(xAxis);
  accuracy->attachAxis(accuracyAxis);
  QChart* old = chart_->chart();
  chart_->setChart(chart);
  delete old;
  chart_->setProperty("runCount", static_cast<int>(runs.size()));

  if (!store_) {
    // A store that is there but cannot be read must not pass for an empty history.
    totals_l_->setText(historyStoreBroken(storeStatus_) ? qs(kHistoryBroken) : QStringLiteral("記録はまだありません。"));
    return;
  }
  const HistoryTotals t = store_->totals(f);
  totals_l_->setText(QStringLiteral("練習回数　%1回\n打鍵数　%2\n練習時間　%3時間%4分")
                         .arg(t.runs)
                         .arg(t.keys)
                         .arg(t.seconds / 3600)
                         .arg((t.seconds / 60) % 60, 2, 10, QLatin1Char('0')));
  // The weakness model the 苦手克服 drill draws by, over the runs shown.
  const std::vector<RunRecord> recent = recentRuns(*store_, f, kWeakRuns);
  const WeaknessModel model(recent);
  for (const Weakness& w : model.ranked()) {
    if (weak_units_->count() >= kWeakUnits) break;
    weak_units_->addItem(QStringLiteral("%1　%2（ミス %3/%4）")
                             .arg(qs(w.name))
                             .arg(w.score, 0, 'f', 2)
                             .arg(w.misses)
                             .arg(w.count));
  }
}

void AnalysisScreen::exportCsv() {
  Services& sv = services();
  if (!sv.files) return;
  // A store that is there but cannot be read is said so before a file is
  // chosen: an export of it would be a header without the runs.
  std::vector<RunSummary> runs;
  if (store_) runs = store_->runs();
  std::error_code ec;
  const bool readable = store_ ? store_->lastStatus() == HistoryStore::Status::Ok
                               : !sv.folder || !std::filesystem::exists(historyPathToRead(*sv.folder), ec);
  if (!readable) {
    if (sv.messages) sv.messages->show(kHistoryReadFailed);
    return;
  }
  const auto file = sv.files->saveCsvFile();
  if (!file) return;
  const bool written = writeHistoryCsv(runs, *file);
  if (!written && sv.messages) sv.messages->show(u"CSVファイルを保存できませんでした。");
}

}  // namespace lk
