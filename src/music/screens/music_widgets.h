#pragma once

// Small helpers shared by the music screens: controls at fixed spots of a
// fixed-size screen.

#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QRect>
#include <QString>
#include <string_view>

namespace lk::music {

inline QString qs(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

// A label named `name` at `geometry`; pointSize 0 keeps the application font size.
QLabel* addLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                 int pointSize = 0, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter, bool bold = false);

// A filled rectangle with a thin border (the progress marks). The fill is
// also kept as the property "fill" so tests can read it.
QFrame* addShape(QWidget* parent, const QString& name, const QRect& geometry, const QColor& fill);
void setShapeFill(QFrame* shape, const QColor& fill);

// A panel drawn by a style sheet (backdrops, rounded rectangles).
QFrame* addPanel(QWidget* parent, const QString& name, const QRect& geometry, const QString& styleSheet);

}  // namespace lk::music
