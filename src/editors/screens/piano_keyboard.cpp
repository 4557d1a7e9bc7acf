#include "editors/screens/piano_keyboard.h"

#include <QPainter>

#include "editors/melody_conversion.h"
#include "editors/screens/qt_text.h"

namespace lk {

using editors::px;

PianoKey::PianoKey(int index, bool black, QWidget* parent) : QAbstractButton(parent), index_(index), black_(black) {
  setObjectName(QStringLiteral("kennban_%1").arg(index));
  setFocusPolicy(Qt::NoFocus);
  setAccessibleName(editors::qs(keyboardNoteName(index)));
}

void PianoKey::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor face = black_ ? QColor(Qt::black) : palette().color(QPalette::Window);
  p.fillRect(rect(), isDown() ? face.darker(black_ ? 60 : 130) : face);
  p.setPen(QColor(Qt::black));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

PianoKeyboard::PianoKeyboard(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("kennban"));
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

}  // namespace lk
