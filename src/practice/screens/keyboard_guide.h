#pragma once

// The on-screen keyboard under the drills: it lights the key of the next
// character to type (and the Shift key held with it) and names the finger
// that types it. The drill screen only says where its next text comes
// from; the guide follows the options and repaints after every key and
// timer tick of the screen, and tells assistive technology the lit key
// and finger through its accessible description.

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "shell/keyboard_map.h"

namespace lk {

class Screen;

class KeyboardGuideWidget : public QWidget {
  Q_OBJECT

 public:
  // `next` gives the text still to type; its first character is lit.
  KeyboardGuideWidget(KeyboardLayout layout, std::function<std::u16string()> next, QWidget* parent);

  // The height the guide needs at `width` pixels.
  static int heightFor(int width);

  KeyboardLayout layout() const { return layout_; }
  void setKeyboardLayout(KeyboardLayout layout);

  // What is lit now: nothing when the next character is on no key.
  std::optional<GuideStroke> stroke() const;
  // The finger line under the keys ("右人差し指", "左小指 + Shift 右小指", …).
  QString fingerText() const;
  // What assistive technology is told: the lit key and the fingers
  // ("「J」キー　右人差し指"); empty when nothing is lit.
  QString describe() const;
  // Repaints and updates the accessible description to the next key.
  void follow();
  // Where `key` is drawn, in this widget's coordinates.
  QRect keyRect(const GuideKey& key) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double unit() const;
  QPointF origin() const;

  KeyboardLayout layout_;
  std::function<std::u16string()> next_;
};

// Puts a KeyboardGuideWidget under a screen's controls while the option
// says so: the screen grows downwards by the guide's height, and without
// the guide the screen keeps exactly its own size and controls.
class KeyboardGuide : public QObject {
  Q_OBJECT

 public:
  // Call after the screen has set its client size and created its timers.
  KeyboardGuide(Screen& screen, std::function<std::u16string()> next);

  KeyboardGuideWidget* widget() const { return widget_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void follow();  // shows, hides or re-lays the guide as the options say
  void repaint();

  Screen& screen_;
  std::function<std::u16string()> next_;
  QSize base_;
  QPointer<KeyboardGuideWidget> widget_;
};

}  // namespace lk
