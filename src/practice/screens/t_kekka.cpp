#include "practice/screens/t_kekka.h"

#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

#include "practice/ranking_table.h"
#include "progress/run_keeping.h"
#include "shell/screens/screen_widgets.h"
#include "shell/app_state.h"

namespace lk {

using ui::addLabel;
using ui::addPanel;
using ui::qs;

WordResultScreen::WordResultScreen(ScreenHost& host) : Screen(ScreenId::t_kekka, host) {
  QWidget* c = client();
  c->setStyleSheet(QStringLiteral("QWidget#client { background: #eef3f8; }"));
  setClientSize(520, 400);

  addLabel(c, QStringLiteral("titlehyouzi_l"), QStringLiteral("練習結果"), QRect(20, 12, 300, 44), 22,
           Qt::AlignLeft | Qt::AlignVCenter, true);
  title_l_ = addLabel(c, QStringLiteral("title_l"), QString(), QRect(20, 60, 480, 30), 14,
                      Qt::AlignLeft | Qt::AlignVCenter, true);

  addPanel(c, QStringLiteral("score_panel"), QRect(20, 100, 480, 230),
           QStringLiteral("background: #ffffff; border: 2px solid #9fb6cc; border-radius: 10px;"));
  const int x = 50, vx = 250, h = 36;
  addLabel(c, QStringLiteral("sokudo_caption"), QStringLiteral("タイピング速度"), QRect(x, 116, 190, h), 14);
  label_sp_ = addLabel(c, QStringLiteral("label_sp"), QString(), QRect(vx, 116, 110, h), 18,
                       Qt::AlignRight | Qt::AlignVCenter, true);
  addLabel(c, QStringLiteral("sokudo_unit"), QStringLiteral("文字/分"), QRect(vx + 118, 116, 90, h), 14);
  addLabel(c, QStringLiteral("seigo_caption"), QStringLiteral("正誤率"), QRect(x, 156, 190, h), 14);
  seigo_l_ = addLabel(c, QStringLiteral("seigo_l"), QString(), QRect(vx, 156, 110, h), 18,
                      Qt::AlignRight | Qt::AlignVCenter, true);
  addLabel(c, QStringLiteral("zisuu_caption"), QStringLiteral("文字数"), QRect(x, 206, 190, h), 13);
  label_z_ = addLabel(c, QStringLiteral("label_z"), QString(), QRect(vx, 206, 110, h), 13,
                      Qt::AlignRight | Qt::AlignVCenter);
  addLabel(c, QStringLiteral("time_caption"), QStringLiteral("タイム"), QRect(x, 242, 190, h), 13);
  label_t_ = addLabel(c, QStringLiteral("label_t"), QString(), QRect(vx, 242, 110, h), 13,
                      Qt::AlignRight | Qt::AlignVCenter);
  addLabel(c, QStringLiteral("miss_caption"), QStringLiteral("ミス"), QRect(x, 278, 190, h), 13);
  label_m_ = addLabel(c, QStringLiteral("label_m"), QString(), QRect(vx, 278, 110, h), 13,
                      Qt::AlignRight | Qt::AlignVCenter);

  auto* command1 = new QPushButton(QStringLiteral("メニューへ"), c);
  command1->setObjectName(QStringLiteral("Command1"));
  command1->setGeometry(360, 346, 140, 38);
  connect(command1, &QPushButton::clicked, this, [this] { handOver(ScreenId::t_menu); });
  auto* bunseki_b = new QPushButton(QStringLiteral("分析"), c);
  bunseki_b->setObjectName(QStringLiteral("bunseki_b"));
  bunseki_b->setGeometry(200, 346, 140, 38);
  connect(bunseki_b, &QPushButton::clicked, this, [this] {
    state().progress.openOnHistory = false;
    state().progress.backToMusicMenu = false;
    handOver(ScreenId::bunseki);
  });
}

void WordResultScreen::load() {
  AppState& s = state();
  scores_ = scoreDrill(s.result);  // a drill timed at 0 s is shown as 1 s

  ui::setElidedText(title_l_, qs(s.problems.title));
  label_t_->setText(QString::number(s.result.elapsedSeconds) + QStringLiteral("秒"));
  label_z_->setText(QString::number(s.result.charCount) + QStringLiteral("文字"));
  label_m_->setText(QString::number(s.result.missCount) + QStringLiteral("文字"));
  label_sp_->setText(QString::number(scores_.sokudo));
  seigo_l_->setText(QString::number(scores_.seigo) + QStringLiteral("%"));

  // The run is offered while the screen loads; the ranking file is written
  // whether or not it entered.
  Services& sv = services();
  std::vector<std::u16string> messages;
  // A 復習 of missed questions races nobody: it is not offered.
  if (sv.clock && sv.folder && !s.progress.reviewRunning) {
    const RankingRun run{scores_.sokudo, scores_.seigo, s.result.charCount, s.problems.title};
    const RankingOfferOutcome outcome =
        offerRunAndSave(s.ranking, run, *sv.clock, sv.folder->dataFolder() / "rank.dat");
    for (const std::u16string& m : {outcome.offer.message, outcome.save.message})
      if (!m.empty()) messages.push_back(m);
  }
  // The messages come over the result they are about, once it is on screen:
  // the host shows a screen only after its load. The history store's comes last.
  QTimer::singleShot(0, this, [this, messages] {
    for (const std::u16string& m : messages) {
      if (isClosed() || !services().messages) return;
      services().messages->show(m);
    }
    if (!isClosed()) tellUnkeptRun(state());
  });
}

}  // namespace lk
