#include "practice/screens/o_type.h"

#include <QPushButton>

#include "practice/screens/keyboard_guide.h"
#include "shell/screens/screen_widgets.h"
#include "progress/run_keeping.h"
#include "shell/app_state.h"
#include "shell/keyboard_map.h"
#include "shell/screens/picture_button.h"

namespace lk {

using ui::addLabel;
using ui::addPanel;
using ui::addShape;
using ui::qs;
using ui::setShapeFill;

namespace {

const QColor kSegmentFull = Qt::black;
const QColor kSegmentEmpty = Qt::white;

}  // namespace

OneCharDrillScreen::OneCharDrillScreen(ScreenHost& host) : DrillScreen(ScreenId::o_type, host) {
  QWidget* c = client();
  c->setStyleSheet(QStringLiteral("QWidget#client { background: #eef3f8; }"));
  setClientSize(560, 420);

  addLabel(c, QStringLiteral("titlehyouzi_l"), QString(), QRect(16, 8, 400, 32), 13, Qt::AlignLeft | Qt::AlignVCenter,
           true)
      ->setObjectName(QStringLiteral("titlehyouzi_l"));

  kanban_ = addPanel(c, QStringLiteral("kanban"), QRect(110, 70, 340, 220),
                     QStringLiteral("background: #c8955a; border: 6px solid #7a5230; border-radius: 14px;"));
  title_l_ = addLabel(c, QStringLiteral("title_l"), QString(), QRect(120, 90, 320, 60), 17, Qt::AlignCenter, true);
  count_l_ = addLabel(c, QStringLiteral("count_l"), QStringLiteral("3"), QRect(120, 170, 320, 90), 40,
                      Qt::AlignCenter, true);
  title_l_->setStyleSheet(QStringLiteral("color: white;"));
  count_l_->setStyleSheet(QStringLiteral("color: white;"));

  captions_[2] = addLabel(c, QStringLiteral("Label3"), QStringLiteral("No."), QRect(20, 48, 50, 30), 14);
  label_n_ = addLabel(c, QStringLiteral("label_n"), QString(), QRect(70, 48, 80, 30), 14,
                      Qt::AlignLeft | Qt::AlignVCenter, true);
  captions_[0] = addLabel(c, QStringLiteral("Label1"), QStringLiteral("Miss:"), QRect(400, 48, 70, 30), 14);
  label_m_ = addLabel(c, QStringLiteral("label_m"), QString(), QRect(470, 48, 80, 30), 14,
                      Qt::AlignLeft | Qt::AlignVCenter, true);

  // The question panel, and the frame that replaces it when time is up.
  picture2_ = addPanel(c, QStringLiteral("Picture2"), QRect(180, 86, 200, 200),
                       QStringLiteral("background: #ffffff; border: 3px solid #4a6d8c; border-radius: 12px;"));
  shape2_ = addPanel(c, QStringLiteral("Shape2"), QRect(180, 86, 200, 200),
                     QStringLiteral("background: transparent; border: 3px solid #7a7a7a;"));
  label_q_ = addLabel(c, QStringLiteral("label_q"), QString(), QRect(190, 96, 180, 180), 72, Qt::AlignCenter, true);
  maru_l_ = addLabel(c, QStringLiteral("maru_l"), QStringLiteral("○"), QRect(60, 130, 100, 100), 56, Qt::AlignCenter,
                     true);
  maru_l_->setStyleSheet(QStringLiteral("color: #d03030;"));
  batu_l_ = addLabel(c, QStringLiteral("batu_l"), QStringLiteral("×"), QRect(400, 130, 100, 100), 56,
                     Qt::AlignCenter, true);
  batu_l_->setStyleSheet(QStringLiteral("color: #2050c0;"));

  captions_[1] = addLabel(c, QStringLiteral("Label2"), QStringLiteral("Time:"), QRect(400, 300, 70, 30), 14);
  label_t_ = addLabel(c, QStringLiteral("label_t"), QString(), QRect(470, 300, 80, 30), 14,
                      Qt::AlignLeft | Qt::AlignVCenter, true);

  // The time gauge: segment i is the (i+1)-th second, so it empties from the right.
  for (int i = 0; i < kGaugeSegments; ++i) {
    shape1_[static_cast<std::size_t>(i)] =
        addShape(c, QStringLiteral("Shape1_%1").arg(i), QRect(40 + i * 8, 338, 7, 18), kSegmentFull);
  }

  kekka_b_ = new QPushButton(QStringLiteral("次の画面へ"), c);
  kekka_b_->setObjectName(QStringLiteral("kekka_b"));
  kekka_b_->setGeometry(210, 370, 140, 38);
  connect(kekka_b_, &QPushButton::clicked, this, [this] { handOver(ScreenId::o_kekka); });
  auto* re_b = makeBackButton(c);
  re_b->setGeometry(446, 372, 100, 36);
  connect(re_b, &QPushButton::clicked, this, [this] { handOver(ScreenId::t_menu); });

  for (QWidget* w : std::initializer_list<QWidget*>{label_m_, label_t_, label_n_, captions_[0], captions_[1],
                                                    captions_[2], maru_l_, batu_l_, picture2_, shape2_, kekka_b_}) {
    w->hide();
  }

  timer2_ = new QTimer(this);
  timer2_->setObjectName(QStringLiteral("Timer2"));
  timer2_->setInterval(1000);
  connect(timer2_, &QTimer::timeout, this, &OneCharDrillScreen::countdownTick);
  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(1000);
  connect(timer1_, &QTimer::timeout, this, &OneCharDrillScreen::clockTick);
  timer3_ = new QTimer(this);
  timer3_->setObjectName(QStringLiteral("Timer3"));
  timer3_->setInterval(200);
  connect(timer3_, &QTimer::timeout, this, &OneCharDrillScreen::markTick);

  new KeyboardGuide(*this, [this] { return drill_ ? drill_->question() : std::u16string(); });
}

OneCharDrillScreen::~OneCharDrillScreen() = default;

void OneCharDrillScreen::load() {
  AppState& s = state();
  struct InOrder : Random {
    void reseed() override {}
    double next() override { return 0.0; }
  };
  static InOrder inOrder;
  recorder_ = std::make_unique<KeystrokeRecorder>(record_, services().clock);
  drill_ = std::make_unique<OneCharDrill>(s.problems, s.settings, s.result, services().random ? *services().random : inOrder,
                                          recorder_.get());
  label_m_->setText(QStringLiteral("0"));
  label_n_->setText(QStringLiteral("0"));
  ui::setElidedText(findChild<QLabel*>(QStringLiteral("titlehyouzi_l")), qs(s.problems.title));
  ui::setElidedText(title_l_, qs(s.problems.title));
  timer2_->start();
}

void OneCharDrillScreen::unload() {
  timer1_->stop();
  timer2_->stop();
  timer3_->stop();
}

void OneCharDrillScreen::countdownTick() {
  if (!drill_) return;
  if (drill_->countdownTick()) {
    startDrill();
  } else if (drill_->phase() == OneCharDrill::Phase::Countdown) {
    count_l_->setText(qs(drill_->countdownText()));
  }
}

void OneCharDrillScreen::startDrill() {
  showQuestion();
  count_l_->hide();
  title_l_->hide();
  kanban_->hide();
  picture2_->show();
  label_q_->raise();
  for (QLabel* l : captions_) l->show();
  label_m_->show();
  label_t_->show();
  label_n_->show();
  label_t_->setText(QString::number(drill_->secondsLeft()));
  timer1_->start();
  timer2_->stop();
}

void OneCharDrillScreen::clockTick() {
  if (!drill_ || drill_->phase() != OneCharDrill::Phase::Running) return;
  const bool ended = drill_->clockTick();
  const int left = drill_->secondsLeft();
  if (left >= 0 && left < kGaugeSegments) setShapeFill(shape1_[static_cast<std::size_t>(left)], kSegmentEmpty);
  label_t_->setText(QString::number(left));
  if (ended) endDrill();
}

void OneCharDrillScreen::endDrill() {
  showQuestion();
  timer1_->stop();
  endRecordedRun(state(), std::move(record_), DrillMode::Char, 0);
  kekka_b_->show();
  picture2_->hide();
  shape2_->show();
  applyInputRules();  // the new button must not take the keys
}

void OneCharDrillScreen::showQuestion() {
  // Drawn as the learner's keyboard prints it (a US backslash is no ¥).
  QString text = qs(drill_->question());
  for (QChar& c : text) c = QChar(displayedCharacter(state().options.layout, c.unicode()));
  label_q_->setText(text);
}

void OneCharDrillScreen::markTick() {
  maru_l_->hide();
  batu_l_->hide();
  timer3_->stop();
}

void OneCharDrillScreen::showMark(QLabel* mark) {
  mark->show();
  // A key while a mark shows does not prolong it.
  if (!timer3_->isActive()) timer3_->start();
}

void OneCharDrillScreen::typed(char16_t ch) {
  if (!drill_) return;
  // When time is up, Enter leads on to the result; before that it is a key like any other.
  if (drill_->phase() == OneCharDrill::Phase::Ended) {
    if (ch == u'\r' && kekka_b_->isVisible()) kekka_b_->click();
    return;
  }
  const OneCharDrill::KeyResult r = drill_->type(ch);
  if (r.verdict == OneCharDrill::Verdict::Ignored) return;
  if (!r.sound.empty() && services().sound) services().sound->play(r.sound);
  if (r.verdict == OneCharDrill::Verdict::Hit) {
    showMark(maru_l_);
    showQuestion();
    label_n_->setText(QString::number(drill_->correct()));
  } else {
    showMark(batu_l_);
    label_m_->setText(QString::number(drill_->misses()));
  }
}

}  // namespace lk
