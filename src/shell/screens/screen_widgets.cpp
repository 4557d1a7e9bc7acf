#include "shell/screens/screen_widgets.h"

#include <algorithm>
#include <limits>

#include <QFont>
#include <QFontMetrics>
#include <QPalette>
#include <QVariant>

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

QPushButton* addButton(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setGeometry(geometry);
  return b;
}

QLineEdit* addTextBox(QWidget* parent, const QString& name, const QRect& geometry) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setGeometry(geometry);
  box->setAttribute(Qt::WA_InputMethodEnabled, true);
  box->setInputMethodHints(Qt::ImhNone);
  box->setMaxLength(std::numeric_limits<int>::max());  // Qt's default would cut at 32767
  return box;
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

void setFittedText(QLabel* label, const QString& text) {
  // The size the screen was designed with is kept on the first call.
  QVariant design = label->property("designPointSize");
  if (!design.isValid()) {
    design = label->font().pointSize();
    label->setProperty("designPointSize", design);
  }
  const int room = label->contentsRect().width() - 2 * label->margin() - 8;
  QFont font = label->font();
  int size = design.toInt();
  font.setPointSize(size);
  const int width = QFontMetrics(font).horizontalAdvance(text);
  if (width > room && room > 0) {
    size = std::max(kSmallestPointSize, size * room / width);
    font.setPointSize(size);
    while (size > kSmallestPointSize && QFontMetrics(font).horizontalAdvance(text) > room) font.setPointSize(--size);
  }
  if (label->font().pointSize() != size) label->setFont(font);
  label->setText(text);
}

void setElidedText(QLabel* label, const QString& text) {
  // A title from a file is plain text, even where it looks like markup.
  label->setTextFormat(Qt::PlainText);
  const int room = label->contentsRect().width() - 2 * label->margin() - std::max(0, label->indent());
  // Qt cuts at grapheme boundaries, so no glyph is broken in two.
  const QString shown = room > 0 ? label->fontMetrics().elidedText(text, Qt::ElideRight, room) : text;
  label->setText(shown);
  const bool cut = shown != text;
  label->setToolTip(cut ? text : QString());
  label->setAccessibleName(cut ? text : QString());
}

}  // namespace lk::ui
