#include "music/screens/midi_tra.h"

#include <QPushButton>
#include <QTimer>

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
constexpr int kHeight = 440;
const QColor kMarkOpen = Qt::white;
const QColor kMarkDone = Qt::black;

}  // namespace

MusicDrillScreen::MusicDrillScreen(ScreenHost& host) : DrillScreen(ScreenId::midi_tra, host) {
  QWidget* c = client();
  c->setStyleSheet(QStringLiteral("QWidget#client { background: #f4efe3; }"));
  setClientSize(kWidth, kHeight);

  auto* re_b = makeBackButton(c);
  re_b->setGeometry(526, 10, 100, 36);
  connect(re_b, &QPushButton::clicked, this, [this] { handOver(ScreenId::midi_menu); });

  label1_ = addLabel(c, QStringLiteral("Label1"), QStringLiteral("Miss:"), QRect(470, 56, 70, 30), 14);
  label_m_ = addLabel(c, QStringLiteral("label_m"), QStringLiteral("0"), QRect(540, 56, 80, 30), 14,
                      Qt::AlignLeft | Qt::AlignVCenter, true);

  auto* back = addPanel(c, QStringLiteral("lyricback"), QRect(20, 92, 600, 190),
                        QStringLiteral("background: #ffffff; border: 3px solid #8c6a4a; border-radius: 10px;"));
  back->lower();
  label_q2_ = addLabel(c, QStringLiteral("label_q2"), QString(), QRect(30, 100, 580, 40), 16, Qt::AlignCenter);
  label_q4_ = addLabel(c, QStringLiteral("label_q4"), QString(), QRect(30, 142, 580, 80), 28, Qt::AlignCenter, true);
  label_q_ = addLabel(c, QStringLiteral("label_q"), QString(), QRect(30, 226, 580, 48), 20, Qt::AlignCenter);
  label_q_->setStyleSheet(QStringLiteral("color: #8a3b12;"));

  // Two rows of 50 marks, one per line of the song.
  const QString row = QStringLiteral("background: #e9dfcb; border: 1px solid #a08a6a;");
  picture2_ = addPanel(c, QStringLiteral("Picture2"), QRect(30, 298, 580, 40), row);
  picture3_ = addPanel(c, QStringLiteral("Picture3"), QRect(30, 344, 580, 40), row);
  for (int i = 0; i < MusicDrill::kMarkCount; ++i) {
    QFrame* box = i < MusicDrill::kMarksPerRow ? picture2_ : picture3_;
    const int col = i % MusicDrill::kMarksPerRow;
    QFrame* mark = addShape(box, QStringLiteral("Shape1_%1").arg(i), QRect(14 + col * 11, 8, 8, 24), kMarkOpen);
    mark->hide();
    shape1_[static_cast<std::size_t>(i)] = mark;
  }

  bback_ = addPanel(c, QStringLiteral("bback"), QRect(200, 314, 240, 56),
                    QStringLiteral("background: #8c6a4a; border-radius: 14px;"));
  bback_->hide();
  kekka_b_ = new QPushButton(QStringLiteral("メニュー画面へ"), c);
  kekka_b_->setObjectName(QStringLiteral("kekka_b"));
  kekka_b_->setGeometry(212, 324, 216, 36);
  kekka_b_->hide();
  connect(kekka_b_, &QPushButton::clicked, this, [this] { handOver(ScreenId::midi_menu); });
  bunseki_b_ = new QPushButton(QStringLiteral("分析"), c);
  bunseki_b_->setObjectName(QStringLiteral("bunseki_b"));
  bunseki_b_->setGeometry(452, 324, 100, 36);
  bunseki_b_->hide();
  connect(bunseki_b_, &QPushButton::clicked, this, [this] {
    state().progress.openOnHistory = false;
    state().progress.backToMusicMenu = true;
    handOver(ScreenId::bunseki);
  });

  titlehyouzi_l_ = addLabel(c, QStringLiteral("titlehyouzi_l"), QString(), QRect(20, 400, 420, 30), 12);
}

MusicDrillScreen::~MusicDrillScreen() = default;

void MusicDrillScreen::load() {
  AppState& s = state();
  recorder_ = std::make_unique<KeystrokeRecorder>(record_, services().clock);
  drill_ = std::make_unique<MusicDrill>(s.problems, s.settings, s.result, services().midi, services().messages,
                                        s.options.flexibleRomaji, recorder_.get());
  // Without a MIDI output the screen keeps its empty captions and no marks:
  // only re_b leads on.
  if (!drill_->loaded()) return;

  ui::setElidedText(titlehyouzi_l_, qs(drill_->title()));
  label_m_->setText(QString::number(drill_->missCount()));
  for (int i = 0; i < MusicDrill::kMarkCount; ++i) {
    shape1_[static_cast<std::size_t>(i)]->setVisible(drill_->markVisible(i));
    // Lines no key can type are done before the first key.
    if (drill_->markDone(i)) setShapeFill(shape1_[static_cast<std::size_t>(i)], kMarkDone);
  }
  if (drill_->cleared()) {
    showCleared();  // a song without lines
  } else {
    showLine();
  }
}

void MusicDrillScreen::unload() {
  // Silences the last note and releases the output.
  if (drill_) drill_->close();
}

void MusicDrillScreen::typed(char16_t ch) {
  if (!drill_) return;
  // After the clear, Enter leads back to the menu; before that it is a key like any other.
  if (drill_->cleared()) {
    if (ch == u'\r' && kekka_b_->isVisible()) kekka_b_->click();
    return;
  }
  const MusicDrill::KeyResult r = drill_->type(ch);
  switch (r.verdict) {
    case MusicDrill::Verdict::Ignored:
      return;
    case MusicDrill::Verdict::Miss:
      label_m_->setText(QString::number(drill_->missCount()));
      return;
    case MusicDrill::Verdict::Hit:
      break;
  }
  if (!r.lineDone) {
    // The flexible guide can grow ("x" for っ shows "tu" before the kana).
    if (drill_->flexible()) setFittedText(label_q_, qs(drill_->remaining()));
    else label_q_->setText(qs(drill_->remaining()));
    return;
  }
  // The line just typed and any untypeable ones skipped after it.
  for (int i = 0; i < drill_->currentLine() && i < MusicDrill::kMarkCount; ++i) {
    if (drill_->markDone(i)) setShapeFill(shape1_[static_cast<std::size_t>(i)], kMarkDone);
  }
  if (r.cleared) {
    endRecordedRun(state(), std::move(record_), DrillMode::Music, drill_->lineCount());
    showCleared();
  } else {
    showLine();
  }
}

void MusicDrillScreen::showLine() {
  setFittedText(label_q2_, qs(drill_->lineText()));
  setFittedText(label_q4_, qs(drill_->reading()));
  // Sized once per line: the remaining keys only get shorter.
  setFittedText(label_q_, qs(drill_->remaining()));
}

void MusicDrillScreen::showCleared() {
  setFittedText(label_q4_, qs(drill_->reading()));  // "クリア！"
  label_q2_->hide();
  picture2_->hide();
  picture3_->hide();
  label_q_->setText(QString());
  bback_->show();
  kekka_b_->show();
  bback_->raise();
  kekka_b_->raise();
  bunseki_b_->show();
  applyInputRules();  // the menu button must not take the keys
  // The music drill has no result screen: a run the store could not keep is
  // told once クリア！ is on screen.
  QTimer::singleShot(0, this, [this] {
    if (!isClosed()) tellUnkeptRun(state());
  });
}

}  // namespace lk
