#include "practice/screens/o_kekka.h"

#include <QPushButton>
#include <QTimer>

#include "progress/run_keeping.h"
#include "shell/screens/screen_widgets.h"
#include "shell/app_state.h"

namespace lk {

using ui::addLabel;
using ui::addPanel;
using ui::qs;

OneCharResultScreen::OneCharResultScreen(ScreenHost& host) : Screen(ScreenId::o_kekka, host) {
  QWidget* c = client();
  c->setStyleSheet(QStringLiteral("QWidget#client { background: #eef3f8; }"));
  setClientSize(460, 300);

  addLabel(c, QStringLiteral("Label1"), QStringLiteral("一文字タイピング結果"), QRect(20, 12, 420, 40), 18,
           Qt::AlignLeft | Qt::AlignVCenter, true);
  title_l_ = addLabel(c, QStringLiteral("title_l"), QString(), QRect(20, 56, 420, 30), 13,
                      Qt::AlignLeft | Qt::AlignVCenter, true);
  addPanel(c, QStringLiteral("score_panel"), QRect(20, 96, 420, 130),
           QStringLiteral("background: #ffffff; border: 2px solid #9fb6cc; border-radius: 10px;"));
  addLabel(c, QStringLiteral("Label2"), QStringLiteral("タイプできた数"), QRect(50, 116, 180, 36), 14);
  label_n_ = addLabel(c, QStringLiteral("label_n"), QString(), QRect(240, 116, 150, 36), 16,
                      Qt::AlignRight | Qt::AlignVCenter, true);
  addLabel(c, QStringLiteral("Label3"), QStringLiteral("ミス"), QRect(50, 166, 180, 36), 14);
  label_m_ = addLabel(c, QStringLiteral("label_m"), QString(), QRect(240, 166, 150, 36), 16,
                      Qt::AlignRight | Qt::AlignVCenter, true);

  auto* command1 = new QPushButton(QStringLiteral("メニューへ"), c);
  command1->setObjectName(QStringLiteral("Command1"));
  command1->setGeometry(300, 246, 140, 38);
  connect(command1, &QPushButton::clicked, this, [this] { handOver(ScreenId::t_menu); });
  auto* bunseki_b = new QPushButton(QStringLiteral("分析"), c);
  bunseki_b->setObjectName(QStringLiteral("bunseki_b"));
  bunseki_b->setGeometry(140, 246, 140, 38);
  connect(bunseki_b, &QPushButton::clicked, this, [this] {
    state().progress.openOnHistory = false;
    state().progress.backToMusicMenu = false;
    handOver(ScreenId::bunseki);
  });
}

void OneCharResultScreen::load() {
  // A run the store could not keep is told over this result, once it is on screen.
  QTimer::singleShot(0, this, [this] {
    if (!isClosed()) tellUnkeptRun(state());
  });
  const AppState& s = state();
  label_n_->setText(QString::number(s.result.charCount) + QStringLiteral("文字"));
  label_m_->setText(QString::number(s.result.missCount) + QStringLiteral("文字"));
  ui::setElidedText(title_l_, qs(s.problems.title));
}

}  // namespace lk
