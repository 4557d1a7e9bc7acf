#include "editors/screens/piano_keyboard.h"

#include <QKeyEvent>
#include <QPainter>

#include "editors/melody_conversion.h"
#include "editors/screens/qt_text.h"
#include "shell/screens/screen_widgets.h"

namespace lk {

using editors::px;

namespace {

// Computer keys in the order of the middle octave's keys 12..24, as a piano
// is laid out on them; 0 where no key sits above the gap between E and F.
constexpr int kPlayKeys[] = {Qt::Key_A, Qt::Key_W, Qt::Key_S, Qt::Key_E, Qt::Key_D, Qt::Key_F, Qt::Key_T,
                             Qt::Key_G, Qt::Key_Y, Qt::Key_H, Qt::Key_U, Qt::Key_J, Qt::Key_K};
constexpr int kFirstPlayedKey = 12;

const char* const kWhiteNames[12] = {"ド", "", "レ", "", "ミ", "ファ", "", "ソ", "", "ラ", "", "シ"};

}  // namespace

int pianoKeyForKey(int qtKey) {
  for (int i = 0; i < static_cast<int>(std::size(kPlayKeys)); ++i) {
    if (kPlayKeys[i] == qtKey) return kFirstPlayedKey + i;
  }
  return -1;
}

QString pianoKeyLabel(int index) {
  if (index < 0 || index >= kKeyboardKeyCount) return {};
  const QString name = QString::fromUtf8(kWhiteNames[index % 12]);
  // Middle C (key 12) is ド4, as in scientific pitch notation.
  if (index % 12 == 0) return name + QString::number(index / 12 + 3);
  return name;
}

PianoKey::PianoKey(int index, bool black, QWidget* parent) : QAbstractButton(parent), index_(index), black_(black) {
  setObjectName(QStringLiteral("kennban_%1").arg(index));
  setFocusPolicy(Qt::NoFocus);
  setAccessibleName(editors::qs(keyboardNoteName(index)));
}

void PianoKey::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor face = black_ ? QColor(Qt::black) : palette().color(QPalette::Window);
  p.fillRect(rect(), isDown() ? face.darker(black_ ? 60 : 130) : face);
  const bool focused = parentWidget() && parentWidget()->hasFocus();
  p.setPen(focused && !black_ ? palette().color(QPalette::Highlight) : QColor(Qt::black));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  if (black_) return;

  // The name sits in the lower part, below the black keys, its last line
  // at the bottom.
  const QStringList lines = nameLines();
  p.setFont(nameFont());
  p.setPen(palette().color(QPalette::WindowText));
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    p.drawText(nameLineRect(i), Qt::AlignHCenter | Qt::AlignTop, lines[i]);
  }
}

QRect PianoKey::nameLineRect(int line) const {
  // Kana and digits have no descenders: a line needs only the ascent, which
  // lets two lines fit below the black keys.
  const int step = QFontMetrics(nameFont()).ascent() + 1;
  const int count = static_cast<int>(nameLines().size());
  return QRect(0, height() - 2 - step * (count - line), width(), step);
}

QFont PianoKey::nameFont() const {
  QFont f = font();
  f.setPointSize(ui::kSmallestPointSize);
  return f;
}

QStringList PianoKey::nameLines() const {
  if (black_) return {};
  // A white key is narrower than two characters of a readable size: ド4 and
  // ファ stand on two lines, one character each.
  const QString label = pianoKeyLabel(index_);
  if (label.size() <= 1) return {label};
  return {label.left(1), label.mid(1)};
}

PianoKeyboard::PianoKeyboard(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("kennban"));
  setAccessibleName(QStringLiteral("鍵盤"));
  // Reached with Tab only: a click on a key must not take the focus away from
  // the box being typed in.
  setFocusPolicy(Qt::TabFocus);
  const KeyboardKey first = keyboardKey(0);
  int right = 0;
  int bottom = 0;
  // White keys first, so that every black key is created (and stacked) above them.
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < kKeyboardKeyCount; ++i) {
      const KeyboardKey k = keyboardKey(i);
      if (k.black != (pass == 1)) continue;
      auto* key = new PianoKey(i, k.black, this);
      key->setGeometry(px(k.left - first.left), px(k.top - first.top), px(k.width), px(k.height));
      connect(key, &QAbstractButton::clicked, this, [this, i] { emit keyClicked(i); });
      keys_[i] = key;
      right = std::max(right, key->geometry().right() + 1);
      bottom = std::max(bottom, key->geometry().bottom() + 1);
    }
  }
  setFixedSize(right, bottom);
}

PianoKey* PianoKeyboard::key(int index) const { return index >= 0 && index < 36 ? keys_[index] : nullptr; }

void PianoKeyboard::keyPressEvent(QKeyEvent* event) {
  const int i = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier ? pianoKeyForKey(event->key()) : -1;
  if (i < 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  // A held key plays once, like a piano key held down.
  if (!event->isAutoRepeat()) {
    keys_[i]->setDown(true);
    emit keyClicked(i);
  }
  event->accept();
}

void PianoKeyboard::keyReleaseEvent(QKeyEvent* event) {
  const int i = pianoKeyForKey(event->key());
  if (i < 0 || event->isAutoRepeat()) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  keys_[i]->setDown(false);
  event->accept();
}

void PianoKeyboard::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  for (PianoKey* k : keys_) k->update();
}

void PianoKeyboard::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  for (PianoKey* k : keys_) {
    k->setDown(false);
    k->update();
  }
}

}  // namespace lk
