#include "shell/screens/picture_button.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace lk {

PictureButton::PictureButton(const QString& caption, QWidget* parent, Look look)
    : QPushButton(caption, parent),
      look_(look),
      color_(look == Look::Back ? QColor(0x4f, 0x7f, 0x6f) : QColor(0x2f, 0x6f, 0xb7)) {
  // Menus are used with the keyboard too; the drill screens take the
  // focus away from every button again.
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
  setAccessibleName(caption);
  setAttribute(Qt::WA_Hover);
}

void PictureButton::setColor(const QColor& color) {
  color_ = color;
  update();
}

QSize PictureButton::sizeHint() const {
  const QFontMetrics fm(font());
  const int arrow = look_ == Look::Back ? fm.height() : 0;
  return {fm.horizontalAdvance(text()) + arrow + 2 * fm.height(), fm.height() * 2 + 8};
}

void PictureButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
  const qreal radius = qMin(r.height() / 3.0, 12.0);

  QColor base = isEnabled() ? color_ : QColor(0x9a, 0x9a, 0x9a);
  if (isDown()) {
    base = base.darker(125);
  } else if (underMouse()) {
    base = base.lighter(115);
  }
  QLinearGradient shade(r.topLeft(), r.bottomLeft());
  shade.setColorAt(0.0, base.lighter(140));
  shade.setColorAt(0.5, base);
  shade.setColorAt(1.0, base.darker(130));

  QPainterPath plate;
  plate.addRoundedRect(r, radius, radius);
  p.fillPath(plate, shade);
  p.setPen(QPen(base.darker(170), 1.5));
  p.drawPath(plate);

  // A soft gloss on the upper half reads as "picture", not as a flat button.
  QPainterPath gloss;
  gloss.addRoundedRect(r.adjusted(3, 2, -3, -r.height() / 2), radius * 0.8, radius * 0.8);
  QColor glossColor(255, 255, 255, isDown() ? 30 : 60);
  p.fillPath(gloss, glossColor);

  QRectF textRect = r;
  const QFontMetricsF fm(font());
  if (look_ == Look::Back) {
    const qreal h = fm.height() * 0.7;
    const qreal textWidth = fm.horizontalAdvance(text());
    const qreal total = h + fm.height() * 0.3 + textWidth;
    const qreal x0 = r.center().x() - total / 2;
    const qreal cy = r.center().y();
    QPolygonF arrow;
    arrow << QPointF(x0, cy) << QPointF(x0 + h, cy - h / 2) << QPointF(x0 + h, cy + h / 2);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(arrow);
    textRect.setLeft(x0 + h + fm.height() * 0.3);
    textRect.setWidth(textWidth + 2);
  }
  const Qt::Alignment align = look_ == Look::Back ? (Qt::AlignLeft | Qt::AlignVCenter) : Qt::AlignCenter;
  if (hasFocus()) {
    // The keyboard focus as a dashed ring inside the plate.
    p.setPen(QPen(Qt::white, 1.5, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(4, 4, -4, -4), radius * 0.7, radius * 0.7);
  }
  p.setPen(QColor(0, 0, 0, 90));
  p.drawText(textRect.translated(1, 1), align, text());
  p.setPen(Qt::white);
  p.drawText(textRect, align, text());
}

PictureButton* makeBackButton(QWidget* parent, const QString& caption) {
  auto* b = new PictureButton(caption, parent, PictureButton::Look::Back);
  b->setObjectName(QStringLiteral("re_b"));
  return b;
}

}  // namespace lk
