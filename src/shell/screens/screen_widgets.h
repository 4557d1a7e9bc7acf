#pragma once

// Small helpers shared by the screens: every control is placed at
// a fixed spot of a fixed-size screen, as the screens were designed.

#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <string_view>

namespace lk::ui {

inline QString qs(std::u16string_view s) {
  return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

// A label named `name` at `geometry`; pointSize 0 keeps the application font size.
QLabel* addLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                 int pointSize = 0, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter, bool bold = false);

// A text button named `name` at `geometry`.
QPushButton* addButton(QWidget* parent, const QString& name, const QString& text, const QRect& geometry);

// A one-line text box for the editors: the input method stays on, so users
// type kana and kanji with their own, and there is no length limit.
QLineEdit* addTextBox(QWidget* parent, const QString& name, const QRect& geometry);

// A plain filled rectangle (progress markers, gauge segments, frames).
QFrame* addShape(QWidget* parent, const QString& name, const QRect& geometry, const QColor& fill,
                 const QColor& border = Qt::black);

// Repaints a shape's fill; the colour is also kept as the property "fill" for tests.
void setShapeFill(QFrame* shape, const QColor& fill);

// A panel drawn with a rounded border, used behind question lines and as signboard.
QFrame* addPanel(QWidget* parent, const QString& name, const QRect& geometry, const QString& styleSheet);

// Shows `text` at the largest point size, from the label's own size down,
// at which it fits the label's width: a long question shrinks instead of
// being cut off at both ends.
void setFittedText(QLabel* label, const QString& text);
// The smallest text a screen draws (setFittedText shrinks no further): small
// labels elsewhere, such as the piano's note names, use at least this.
inline constexpr int kSmallestPointSize = 8;

// Shows `text` in one line, cut at the right with "…" where it does not fit
// the label's width (whole characters only: a surrogate pair or a character
// with its marks is never split). The whole text stays the tooltip and the
// accessible name while it is cut.
void setElidedText(QLabel* label, const QString& text);

}  // namespace lk::ui
