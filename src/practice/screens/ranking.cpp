#include "practice/screens/ranking.h"

#include <QLabel>
#include <QPushButton>

#include "practice/ranking_table.h"
#include "shell/screens/screen_widgets.h"
#include "shell/app_state.h"
#include "shell/screens/picture_button.h"

namespace lk {

using ui::addLabel;
using ui::addPanel;
using ui::qs;

namespace {

// Columns left to right; the label arrays are named "<array>_<row>".
struct Column {
  const char* array;
  const char* heading;
  int x;
  int width;
  Qt::Alignment align;
};
constexpr Column kColumns[] = {
    {"jun_l", "順 位", 16, 56, Qt::AlignCenter},
    {"title_l", "コ ー ス 名", 76, 190, Qt::AlignLeft | Qt::AlignVCenter},
    {"zisuu_l", "文字数", 270, 76, Qt::AlignRight | Qt::AlignVCenter},
    {"sokudo_l", "タイピング速度", 350, 120, Qt::AlignRight | Qt::AlignVCenter},
    {"seigo_l", "正誤率", 474, 64, Qt::AlignRight | Qt::AlignVCenter},
    {"nitizi_l", "日  時", 552, 150, Qt::AlignCenter},
};
constexpr int kTop = 96;
constexpr int kRow = 30;

QString number(const std::optional<int>& v, const char* unit) {
  return (v ? QString::number(*v) : QString()) + QString::fromUtf8(unit);
}

}  // namespace

RankingScreen::RankingScreen(ScreenHost& host) : Screen(ScreenId::ranking, host) {
  QWidget* c = client();
  c->setStyleSheet(QStringLiteral("QWidget#client { background: #eef3f8; }"));
  setClientSize(720, 460);

  addLabel(c, QStringLiteral("Label1"), QStringLiteral("Ranking"), QRect(20, 10, 300, 46), 22,
           Qt::AlignLeft | Qt::AlignVCenter, true);
  auto* re_b = makeBackButton(c);
  re_b->setGeometry(600, 14, 100, 38);
  connect(re_b, &QPushButton::clicked, this, [this] { handOver(ScreenId::t_menu); });

  addPanel(c, QStringLiteral("table_panel"), QRect(10, 62, 700, 388),
           QStringLiteral("background: #ffffff; border: 2px solid #9fb6cc; border-radius: 8px;"));
  int col = 0;
  for (const Column& k : kColumns) {
    addLabel(c, QStringLiteral("heading_%1").arg(col++), QString::fromUtf8(k.heading), QRect(k.x, 66, k.width, 26), 0,
             Qt::AlignCenter, true);
    for (int row = 0; row < kRankingSize; ++row) {
      addLabel(c, QStringLiteral("%1_%2").arg(QLatin1String(k.array)).arg(row), QString(),
               QRect(k.x, kTop + row * (kRow + 5), k.width, kRow), 0, k.align);
    }
  }
}

void RankingScreen::load() {
  const RankingTable& table = state().ranking;
  const auto jun = table.jun();
  for (int row = 0; row < kRankingSize; ++row) {
    const RankingEntry& e = table.entries[static_cast<std::size_t>(row)];
    auto set = [&](const char* array, const QString& text) {
      if (auto* l = findChild<QLabel*>(QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(row))) l->setText(text);
    };
    set("jun_l", QString::number(jun[static_cast<std::size_t>(row)]) + QStringLiteral("位"));
    if (auto* l = findChild<QLabel*>(QStringLiteral("title_l_%1").arg(row))) ui::setElidedText(l, qs(e.title));
    set("zisuu_l", number(e.zisuu, "文字"));
    set("sokudo_l", number(e.sokudo, "文字/分"));
    set("seigo_l", number(e.seigo, "%"));
    set("nitizi_l", qs(e.nitizi));
  }
}

}  // namespace lk
