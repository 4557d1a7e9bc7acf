#include "practice/screens/t_original.h"

#include <QFontMetrics>
#include <QPushButton>
#include <algorithm>
#include <limits>

#include "practice/screens/keyboard_guide.h"
#include "shell/screens/screen_widgets.h"
#include "progress/run_keeping.h"
#include "shell/app_state.h"
#include "shell/screens/picture_button.h"

namespace lk {

using ui::addLabel;
using ui::addPanel;
using ui::addShape;
using ui::qs;
using ui::setFittedText;
using ui::setShapeFill;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 420;
const QColor kMarkerOpen = Qt::white;
const QColor kMarkerDone = Qt::black;
// How long the next expected key shows red after a miss.
constexpr int kMissCueMs = 150;
const QColor kMissCueColor(0xd0, 0x20, 0x20);

}  // namespace

WordDrillScreen::WordDrillScreen(ScreenHost& host) : DrillScreen(ScreenId::t_original, host) {
  QWidget* c = client();
  c->setObjectName(QStringLiteral("client"));
  c->setStyleSheet(QStringLiteral("QWidget#client { background: #eef3f8; }"));
  setClientSize(kWidth, kHeight);

  // Countdown view: the signboard with title, question count and countdown.
  kanban_ = addPanel(c, QStringLiteral("kanban"), QRect(150, 60, 340, 230),
                     QStringLiteral("background: #c8955a; border: 6px solid #7a5230; border-radius: 14px;"));
  title_l_ = addLabel(c, QStringLiteral("title_l"), QString(), QRect(170, 80, 300, 50), 22,
                      Qt::AlignCenter, true);
  kazu_l_ = addLabel(c, QStringLiteral("kazu_l"), QString(), QRect(170, 130, 300, 36), 16, Qt::AlignCenter);
  count_l_ = addLabel(c, QStringLiteral("count_l"), QStringLiteral("3"), QRect(170, 180, 300, 80), 40,
                      Qt::AlignCenter, true);
  for (QLabel* l : {title_l_, kazu_l_, count_l_}) l->setStyleSheet(QStringLiteral("color: white;"));

  // Drill view: number and misses on top, the two question lines in the
  // middle, markers and time below, title at the bottom left.
  label3_ = addLabel(c, QStringLiteral("Label3"), QStringLiteral("No."), QRect(24, 14, 50, 30), 14);
  label_n_ = addLabel(c, QStringLiteral("label_n"), QString(), QRect(74, 14, 80, 30), 14, Qt::AlignLeft | Qt::AlignVCenter, true);
  label1_ = addLabel(c, QStringLiteral("Label1"), QStringLiteral("Miss:"), QRect(470, 14, 70, 30), 14);
  label_m_ = addLabel(c, QStringLiteral("label_m"), QString(), QRect(540, 14, 80, 30), 14, Qt::AlignLeft | Qt::AlignVCenter, true);

  traback_ = addPanel(c, QStringLiteral("traback"), QRect(20, 56, 600, 220),
                      QStringLiteral("background: #ffffff; border: 3px solid #4a6d8c; border-radius: 10px;"));
  auto* divider = addPanel(traback_, QStringLiteral("traback_divider"), QRect(16, 110, 568, 2),
                           QStringLiteral("background: #9fb6cc; border: none;"));
  divider->show();
  label_q2_ = addLabel(c, QStringLiteral("label_q2"), QString(), QRect(30, 66, 580, 96), 24, Qt::AlignCenter, true);
  label_q_ = addLabel(c, QStringLiteral("label_q"), QString(), QRect(30, 172, 580, 96), 22, Qt::AlignCenter);
  label_q_->setStyleSheet(QStringLiteral("color: #1d4f91;"));
  missCue_l_ = addLabel(c, QStringLiteral("misscue_l"), QString(), QRect(30, 172, 20, 96), 22, Qt::AlignLeft | Qt::AlignVCenter);
  missCue_l_->setTextFormat(Qt::PlainText);
  missCue_l_->setStyleSheet(QStringLiteral("color: %1; background: #ffffff;").arg(kMissCueColor.name()));
  missCue_l_->setAttribute(Qt::WA_TransparentForMouseEvents);
  missCue_l_->hide();

  picture2_ = addPanel(c, QStringLiteral("Picture2"), QRect(20, 292, 600, 34),
                       QStringLiteral("background: #dde6ef; border: 1px solid #7d93a8;"));
  for (int i = 0; i < WordDrill::kMarkerCount; ++i) {
    shape1_[static_cast<std::size_t>(i)] =
        addShape(picture2_, QStringLiteral("Shape1_%1").arg(i), QRect(13 + i * 11 + (i / 10) * 3, 9, 9, 16), kMarkerOpen);
  }
  // The ghost bar: the best run's keys (pale) and this run's (dark) on one track.
  ghost_track_ = addPanel(c, QStringLiteral("ghost_track"), QRect(20, 330, 360, 10),
                          QStringLiteral("background: #dde6ef; border: 1px solid #7d93a8;"));
  ghost_fill_ = addPanel(ghost_track_, QStringLiteral("ghost_fill"), QRect(0, 0, 0, 10),
                         QStringLiteral("background: #b9c9e8; border: none;"));
  own_fill_ = addPanel(ghost_track_, QStringLiteral("own_fill"), QRect(0, 3, 0, 4),
                       QStringLiteral("background: #1d4f91; border: none;"));
  ghost_l_ = addLabel(c, QStringLiteral("ghost_l"), QString(), QRect(386, 324, 80, 22), 11);
  ghost_l_->setAccessibleName(QStringLiteral("ゴースト"));
  label2_ = addLabel(c, QStringLiteral("Label2"), QStringLiteral("Time:"), QRect(470, 336, 70, 30), 14);
  label_t_ = addLabel(c, QStringLiteral("label_t"), QString(), QRect(540, 336, 80, 30), 14, Qt::AlignLeft | Qt::AlignVCenter, true);

  kekkaback_ = addPanel(c, QStringLiteral("kekkaback"), QRect(200, 286, 240, 46),
                        QStringLiteral("background: #4a6d8c; border-radius: 8px;"));
  kekka_b_ = new QPushButton(QStringLiteral("結果画面へ"), c);
  kekka_b_->setObjectName(QStringLiteral("kekka_b"));
  kekka_b_->setGeometry(210, 292, 220, 34);
  connect(kekka_b_, &QPushButton::clicked, this, [this] { handOver(ScreenId::t_kekka); });

  titlehyouzi_l_ = addLabel(c, QStringLiteral("titlehyouzi_l"), QString(), QRect(20, 380, 360, 30), 12);

  auto* re_b = makeBackButton(c);
  re_b->setGeometry(520, 376, 100, 36);
  connect(re_b, &QPushButton::clicked, this, [this] { handOver(ScreenId::t_menu); });

  for (QWidget* w : std::initializer_list<QWidget*>{traback_, label_q2_, label_q_, label3_, label_n_, label1_, label_m_,
                                                    label2_, label_t_, picture2_, kekkaback_, kekka_b_}) {
    w->hide();
  }
  for (QFrame* s : shape1_) s->hide();
  for (QWidget* w : std::initializer_list<QWidget*>{ghost_track_, ghost_l_}) w->hide();
  kanban_->lower();
  traback_->lower();

  timer2_ = new QTimer(this);
  timer2_->setObjectName(QStringLiteral("Timer2"));
  timer2_->setInterval(1000);
  connect(timer2_, &QTimer::timeout, this, &WordDrillScreen::countdownTick);
  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(1000);
  connect(timer1_, &QTimer::timeout, this, &WordDrillScreen::clockTick);
  missCue_ = new QTimer(this);
  missCue_->setObjectName(QStringLiteral("missCue"));
  missCue_->setSingleShot(true);
  missCue_->setInterval(kMissCueMs);
  connect(missCue_, &QTimer::timeout, this, &WordDrillScreen::endMissCue);

  new KeyboardGuide(*this, [this] { return drill_ ? std::u16string(drill_->remaining()) : std::u16string(); });
}

WordDrillScreen::~WordDrillScreen() = default;

void WordDrillScreen::load() {
  AppState& s = state();
  Random* random = services().random;
  // Without a random source the drill still runs, in list order.
  struct InOrder : Random {
    void reseed() override {}
    double next() override { return 0.0; }
  };
  static InOrder inOrder;
  s.progress.reviewRunning = s.progress.reviewNext;
  s.progress.reviewNext = false;
  // The drill rewrites the romaji in place; the canonical form is kept for 復習.
  const std::vector<std::u16string> canonical = s.problems.romaji;
  recorder_ = std::make_unique<KeystrokeRecorder>(record_, services().clock);
  drill_ = std::make_unique<WordDrill>(s.problems, s.settings, s.result, random ? *random : inOrder,
                                       s.options.flexibleRomaji, recorder_.get());
  loadGhost();
  asked_.clear();
  for (int i = 0; i < drill_->questionCount(); ++i) {
    const auto p = static_cast<std::size_t>(drill_->order()[static_cast<std::size_t>(i)]);
    asked_.push_back(AskedQuestion{s.problems.text[p], p < canonical.size() ? canonical[p] : std::u16string()});
  }

  ui::setElidedText(title_l_, qs(s.problems.title));
  ui::setElidedText(titlehyouzi_l_, qs(s.problems.title));
  kazu_l_->setText(QString::number(drill_->questionCount()) + QStringLiteral("問"));
  count_l_->setText(qs(drill_->countdownText()));
  timer2_->start();
}

void WordDrillScreen::unload() {
  endMissCue();
  timer1_->stop();
  timer2_->stop();
}

void WordDrillScreen::countdownTick() {
  if (!drill_) return;
  if (drill_->countdownTick()) {
    showDrillView();
    return;
  }
  if (drill_->phase() == WordDrill::Phase::Countdown) count_l_->setText(qs(drill_->countdownText()));
}

void WordDrillScreen::showDrillView() {
  for (QWidget* w : std::initializer_list<QWidget*>{title_l_, count_l_, kazu_l_, kanban_}) w->hide();
  for (QWidget* w : std::initializer_list<QWidget*>{traback_, label1_, label2_, label3_, label_n_, label_m_, label_t_,
                                                    picture2_, label_q2_, label_q_}) {
    w->show();
  }
  label_t_->setText(QStringLiteral("0"));
  label_m_->setText(QString::number(state().result.missCount));
  for (int i = 0; i < drill_->questionCount(); ++i) shape1_[static_cast<std::size_t>(i)]->show();
  showMarkers();
  timer2_->stop();
  if (drill_->phase() == WordDrill::Phase::Cleared) {
    // Every question had nothing to type.
    if (state().settings.soundOn()) play(kWordClearSound);
    showCleared();
    return;
  }
  showQuestion();
  showGhost();
  timer1_->start();
}

void WordDrillScreen::showMarkers() {
  // A finished question can carry empty ones after it along, so all are redrawn.
  for (int i = 0; i < drill_->questionCount(); ++i) {
    if (drill_->markerDone(i)) setShapeFill(shape1_[static_cast<std::size_t>(i)], kMarkerDone);
  }
}

void WordDrillScreen::showQuestion() {
  label_n_->setText(QString::number(drill_->current() + 1));
  setFittedText(label_q2_, qs(drill_->questionText()));
  // Sized once per question: the remaining keys only get shorter.
  setFittedText(label_q_, qs(drill_->remaining()));
}

void WordDrillScreen::clockTick() {
  if (drill_ && drill_->clockTick()) {
    label_t_->setText(QString::number(state().result.elapsedSeconds));
    showGhost();  // the ghost moves on while the learner pauses
  }
}

void WordDrillScreen::typed(char16_t ch) {
  if (!drill_) return;
  // Once cleared, Enter leads on to the result; before that it is a key like any other.
  if (drill_->phase() == WordDrill::Phase::Cleared) {
    if (ch == u'\r' && kekka_b_->isVisible()) kekka_b_->click();
    return;
  }
  const int question = drill_->current();
  const std::size_t before = record_.keys.size();
  const WordDrill::KeyResult r = drill_->type(ch);
  noteAskedKeys(question, before);
  for (std::string_view sound : r.sounds) play(sound);
  switch (r.verdict) {
    case WordDrill::Verdict::Ignored:
      return;
    case WordDrill::Verdict::Miss:
      label_m_->setText(QString::number(state().result.missCount));
      if (state().options.missCue) showMissCue();
      return;
    case WordDrill::Verdict::Hit:
      break;
  }
  if (missCue_->isActive()) endMissCue();
  ++hits_;
  showGhost();
  if (!r.questionDone) {
    // The flexible guide can grow ("x" for っ shows "tu" before the kana).
    if (drill_->flexible()) setFittedText(label_q_, qs(drill_->remaining()));
    else label_q_->setText(qs(drill_->remaining()));
    return;
  }
  showMarkers();
  if (r.cleared) {
    showCleared();
  } else {
    showQuestion();
  }
}

void WordDrillScreen::noteAskedKeys(int question, std::size_t before) {
  if (question < 0 || static_cast<std::size_t>(question) >= asked_.size() || record_.keys.size() == before) return;
  AskedQuestion& q = asked_[static_cast<std::size_t>(question)];
  if (q.endKey == 0) {
    q.firstKey = before;
    // Each question comes up on the key that finished the one before.
    for (int i = question - 1; i >= 0; --i) {
      if (asked_[static_cast<std::size_t>(i)].endKey > 0) {
        q.shownMs = asked_[static_cast<std::size_t>(i)].doneMs;
        break;
      }
    }
  }
  q.endKey = record_.keys.size();
  q.doneMs = record_.keys.back().ms;
}

void WordDrillScreen::loadGhost() {
  ghost_.reset();
  hits_ = 0;
  const AppState& s = state();
  if (!s.options.ghost || !s.progress.ghostCourse || s.progress.reviewRunning || !services().folder) return;
  HistoryStore::Status status;
  auto store = openHistoryToRead(*services().folder, status);
  if (!store) return;
  RunFilter f;
  f.mode = DrillMode::Word;
  f.title = s.problems.title;
  const std::vector<RunSummary> runs = store->runs(0, f);
  if (const auto id = bestRunId(runs)) {
    std::vector<RunRecord> best = store->records({*id});
    if (!best.empty()) ghost_.emplace(best.front());
  }
}

void WordDrillScreen::showGhost() {
  if (!ghost_ || !recorder_) return;
  const int ghost = ghost_->keysAt(recorder_->elapsedMs());
  // The bar's full width: the keys of this drill or of the ghost's, the more
  // (どの綴りでも counts only keys typed, so charCount grows as it goes).
  const int total = std::max({1, state().result.charCount, hits_, ghost_->keysAt(std::numeric_limits<std::int32_t>::max())});
  const int width = ghost_track_->width();
  // Only what changed is touched: this runs on every key.
  const int ghostWidth = std::min(width, width * ghost / total);
  const int ownWidth = std::min(width, width * hits_ / total);
  if (ghost_fill_->width() != ghostWidth) ghost_fill_->resize(ghostWidth, ghost_fill_->height());
  if (own_fill_->width() != ownWidth) own_fill_->resize(ownWidth, own_fill_->height());
  const QString lead = qs(ghostLead(hits_, ghost));
  if (ghost_l_->text() != lead) ghost_l_->setText(lead);
  ghost_l_->setProperty("ghostKeys", ghost);
  ghost_l_->setProperty("ownKeys", hits_);
  if (ghost_track_->isHidden()) {
    ghost_track_->show();
    ghost_l_->show();
  }
}

void WordDrillScreen::showMissCue() {
  const QString remaining = qs(drill_->remaining());
  if (remaining.isEmpty()) return;
  // The next expected key is drawn again in red exactly over itself; the
  // line's own text stays as it is.
  const QString next = remaining.left(remaining.at(0).isHighSurrogate() ? 2 : 1);
  const QFontMetrics fm(label_q_->font());
  const QRect room = label_q_->contentsRect();
  const int left = room.left() + (room.width() - fm.size(0, remaining).width()) / 2;
  missCue_l_->setFont(label_q_->font());
  missCue_l_->setText(next);
  missCue_l_->setGeometry(label_q_->x() + left, label_q_->y() + room.top(), fm.size(0, next).width(), room.height());
  missCue_l_->show();
  missCue_l_->raise();
  missCue_->start();
}

void WordDrillScreen::endMissCue() {
  missCue_->stop();
  missCue_l_->hide();
}

void WordDrillScreen::showCleared() {
  timer1_->stop();
  endRecordedRun(state(), std::move(record_), DrillMode::Word, drill_->questionCount());
  state().progress.lastRunQuestions = std::move(asked_);
  endMissCue();
  label_q_->setText(QString());
  label_n_->setText(QString());
  ghost_track_->hide();
  ghost_l_->hide();
  setFittedText(label_q2_, QStringLiteral("クリア！"));
  picture2_->hide();
  kekkaback_->show();
  kekka_b_->show();
  kekkaback_->raise();
  kekka_b_->raise();
  applyInputRules();  // the result button must not take the focus from the keys
}

void WordDrillScreen::play(std::string_view sound) {
  if (!sound.empty() && services().sound) services().sound->play(sound);
}

}  // namespace lk
