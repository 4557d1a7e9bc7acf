#include "shell/screens/screen_widgets.h"

#include <QFont>
#include <QPalette>

namespace lk::ui {

QLabel* addLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry, int pointSize,
                 Qt::Alignment align, bool bold) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(geometry);
  label->setAlignment(align);
  if (pointSize > 0 || bold) {
    QFont f = label->font();
    if (pointSize > 0) f.setPointSize(pointSize);
    f.setBold(bold);
    label->setFont(f);
  }
  return label;
}

QFrame* addShape(QWidget* parent, const QString& name, const QRect& geometry, const QColor& fill,
                 const QColor& border) {
  auto* shape = new QFrame(parent);
  shape->setObjectName(name);
  shape->setGeometry(geometry);
  shape->setFrameShape(QFrame::Box);
  shape->setLineWidth(1);
  QPalette p = shape->palette();
  p.setColor(QPalette::WindowText, border);
  shape->setPalette(p);
  shape->setAutoFillBackground(true);
  setShapeFill(shape, fill);
  return shape;
}

void setShapeFill(QFrame* shape, const QColor& fill) {
  QPalette p = shape->palette();
  p.setColor(QPalette::Window, fill);
  shape->setPalette(p);
  shape->setProperty("fill", fill);
}

QFrame* addPanel(QWidget* parent, const QString& name, const QRect& geometry, const QString& styleSheet) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(name);
  panel->setGeometry(geometry);
  panel->setStyleSheet(QStringLiteral("QFrame#%1 { %2 }").arg(name, styleSheet));
  return panel;
}

}  // namespace lk::ui
