#include "shell/screens/version_screen.h"

#include <QLabel>
#include <QPushButton>

namespace lk {

VersionScreen::VersionScreen(ScreenHost& host) : Screen(ScreenId::ver, host) {
  setClientSize(300, 130);
  auto* label = new QLabel(QStringLiteral("ルミナキー　Ver.1.0"), client());
  label->setObjectName(QStringLiteral("ver_l"));
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(10, 20, 280, 40);
  QFont f = label->font();
  f.setPointSizeF(f.pointSizeF() * 1.3);
  label->setFont(f);
  auto* close = new QPushButton(QStringLiteral("閉じる"), client());
  close->setObjectName(QStringLiteral("close_b"));
  close->setGeometry(100, 80, 100, 30);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  setDefaultButton(close);
}

}  // namespace lk
