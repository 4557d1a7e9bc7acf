#include "progress/screens/replay_view.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>

#include "shell/screens/screen_widgets.h"

namespace lk {

namespace {

QString keyHtml(char16_t k) {
  return k == u' ' ? QStringLiteral("␣") : QString(QChar(k)).toHtmlEscaped();
}

QString seconds(int ms) { return QString::number(ms / 1000.0, 'f', 1); }

}  // namespace

ReplayView::ReplayView(const RunRecord& run, QWidget* parent) : QDialog(parent), run_(run), profile_(profileRun(run)) {
  setObjectName(QStringLiteral("replay_view"));
  setWindowTitle(QStringLiteral("再生　") + ui::qs(run.title));
  resize(700, 260);

  keys_l_ = new QLabel(this);
  keys_l_->setObjectName(QStringLiteral("replay_keys"));
  keys_l_->setTextFormat(Qt::RichText);
  keys_l_->setGeometry(20, 16, 660, 90);
  keys_l_->setWordWrap(true);
  keys_l_->setStyleSheet(QStringLiteral("background: white; font-size: 20px; font-family: monospace;"));
  keys_l_->setAccessibleName(QStringLiteral("打鍵"));
  miss_l_ = new QLabel(this);
  miss_l_->setObjectName(QStringLiteral("replay_miss"));
  miss_l_->setGeometry(20, 112, 500, 26);
  time_l_ = new QLabel(this);
  time_l_->setObjectName(QStringLiteral("replay_time"));
  time_l_->setGeometry(530, 112, 150, 26);
  time_l_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  time_bar_ = new QSlider(Qt::Horizontal, this);
  time_bar_->setObjectName(QStringLiteral("time_bar"));
  time_bar_->setAccessibleName(QStringLiteral("時間"));
  time_bar_->setGeometry(20, 146, 660, 26);
  time_bar_->setRange(0, std::max(profile_.runMs, 1));
  connect(time_bar_, &QSlider::sliderMoved, this, [this](int ms) { setPositionMs(ms); });

  play_b_ = new QPushButton(QStringLiteral("再生"), this);
  play_b_->setObjectName(QStringLiteral("play_b"));
  play_b_->setGeometry(20, 190, 110, 34);
  connect(play_b_, &QPushButton::clicked, this, [this] { playing_ ? pause() : play(); });
  speed_c_ = new QComboBox(this);
  speed_c_->setObjectName(QStringLiteral("speed_c"));
  speed_c_->setAccessibleName(QStringLiteral("速さ"));
  speed_c_->addItem(QStringLiteral("1×"), 1);
  speed_c_->addItem(QStringLiteral("2×"), 2);
  speed_c_->addItem(QStringLiteral("4×"), 4);
  speed_c_->setGeometry(140, 192, 80, 30);
  next_miss_b_ = new QPushButton(QStringLiteral("次のミス"), this);
  next_miss_b_->setObjectName(QStringLiteral("next_miss_b"));
  next_miss_b_->setGeometry(230, 190, 120, 34);
  connect(next_miss_b_, &QPushButton::clicked, this, [this] { jumpToNextMiss(); });
  auto* close_b = new QPushButton(QStringLiteral("閉じる"), this);
  close_b->setObjectName(QStringLiteral("close_b"));
  close_b->setGeometry(580, 190, 100, 34);
  connect(close_b, &QPushButton::clicked, this, &QDialog::close);

  timer_ = new QTimer(this);
  timer_->setInterval(kTickMs);
  connect(timer_, &QTimer::timeout, this, [this] { tick(kTickMs); });
  show_();
}

void ReplayView::setPositionMs(int ms) {
  positionMs_ = std::clamp(ms, 0, profile_.runMs);
  show_();
}

void ReplayView::play() {
  if (positionMs_ >= profile_.runMs) positionMs_ = 0;  // from the start again once at the end
  playing_ = true;
  play_b_->setText(QStringLiteral("一時停止"));
  timer_->start();
  show_();
}

void ReplayView::pause() {
  playing_ = false;
  play_b_->setText(QStringLiteral("再生"));
  timer_->stop();
}

void ReplayView::tick(int elapsedMs) {
  if (!playing_) return;
  setPositionMs(positionMs_ + elapsedMs * speed_c_->currentData().toInt());
  if (positionMs_ >= profile_.runMs) pause();
}

bool ReplayView::jumpToNextMiss() {
  for (const MissCost& m : profile_.missCosts) {
    if (static_cast<int>(m.key) >= shown_) {
      setPositionMs(run_.keys[m.key].ms);
      return true;
    }
  }
  return false;
}

void ReplayView::show_() {
  // Keys are in time order: those at or before the position are shown.
  const auto end = std::upper_bound(run_.keys.begin(), run_.keys.end(), positionMs_,
                                    [](int ms, const Keystroke& k) { return ms < k.ms; });
  shown_ = static_cast<int>(end - run_.keys.begin());
  missShown_ = -1;
  for (int i = 0; i < static_cast<int>(profile_.missCosts.size()); ++i) {
    if (static_cast<int>(profile_.missCosts[static_cast<std::size_t>(i)].key) < shown_) missShown_ = i;
  }
  QString html;
  for (int i = std::max(0, shown_ - kShownKeys); i < shown_; ++i) {
    const Keystroke& k = run_.keys[static_cast<std::size_t>(i)];
    html += k.hit ? keyHtml(k.typed) : QStringLiteral("<span style=\"color:#d02020\"><s>%1</s></span>").arg(keyHtml(k.typed));
  }
  keys_l_->setText(html);
  if (missShown_ >= 0) {
    const MissCost& m = profile_.missCosts[static_cast<std::size_t>(missShown_)];
    const Keystroke& k = run_.keys[m.key];
    miss_l_->setText(QStringLiteral("ミス %1/%2：%3 で %4 のところ %5（%6 ms）")
                         .arg(missShown_ + 1)
                         .arg(profile_.missCosts.size())
                         .arg(ui::qs(std::u16string(run_.unitOf(k))), keyHtml(k.expected), keyHtml(k.typed))
                         .arg(m.costMs));
  } else {
    miss_l_->setText(profile_.missCosts.empty() ? QStringLiteral("ミスなし") : QString());
  }
  time_l_->setText(QStringLiteral("%1 / %2 秒").arg(seconds(positionMs_), seconds(profile_.runMs)));
  time_bar_->setValue(positionMs_);
}

}  // namespace lk
