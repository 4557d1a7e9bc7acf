#include "practice/screens/t_original.h"

#include <QPushButton>

#include "practice/screens/keyboard_guide.h"
#include "shell/screens/screen_widgets.h"
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

  picture2_ = addPanel(c, QStringLiteral("Picture2"), QRect(20, 292, 600, 34),
                       QStringLiteral("background: #dde6ef; border: 1px solid #7d93a8;"));
  for (int i = 0; i < WordDrill::kMarkerCount; ++i) {
    shape1_[static_cast<std::size_t>(i)] =
        addShape(picture2_, QStringLiteral("Shape1_%1").arg(i), QRect(13 + i * 11 + (i / 10) * 3, 9, 9, 16), kMarkerOpen);
  }
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
  drill_ = std::make_unique<WordDrill>(s.problems, s.settings, s.result, random ? *random : inOrder,
                                       s.options.flexibleRomaji);

  title_l_->setText(qs(s.problems.title));
  titlehyouzi_l_->setText(qs(s.problems.title));
  kazu_l_->setText(QString::number(drill_->questionCount()) + QStringLiteral("問"));
  count_l_->setText(qs(drill_->countdownText()));
  timer2_->start();
}

void WordDrillScreen::unload() {
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
  showQuestion();
  timer2_->stop();
  timer1_->start();
}

void WordDrillScreen::showQuestion() {
  label_n_->setText(QString::number(drill_->current() + 1));
  setFittedText(label_q2_, qs(drill_->questionText()));
  // Sized once per question: the remaining keys only get shorter.
  setFittedText(label_q_, qs(drill_->remaining()));
}

void WordDrillScreen::clockTick() {
  if (drill_ && drill_->clockTick()) label_t_->setText(QString::number(state().result.elapsedSeconds));
}

void WordDrillScreen::typed(char16_t ch) {
  if (!drill_) return;
  const WordDrill::KeyResult r = drill_->type(ch);
  for (std::string_view sound : r.sounds) play(sound);
  switch (r.verdict) {
    case WordDrill::Verdict::Ignored:
      return;
    case WordDrill::Verdict::Miss:
      label_m_->setText(QString::number(state().result.missCount));
      return;
    case WordDrill::Verdict::Hit:
      break;
  }
  if (!r.questionDone) {
    // The flexible guide can grow ("x" for っ shows "tu" before the kana).
    if (drill_->flexible()) setFittedText(label_q_, qs(drill_->remaining()));
    else label_q_->setText(qs(drill_->remaining()));
    return;
  }
  setShapeFill(shape1_[static_cast<std::size_t>(drill_->current() - 1)], kMarkerDone);
  if (r.cleared) {
    showCleared();
  } else {
    showQuestion();
  }
}

void WordDrillScreen::showCleared() {
  timer1_->stop();
  label_q_->setText(QString());
  label_n_->setText(QString());
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
