#pragma once

// The melody keyboard of the music editor: 36 keys `kennban_0` .. `kennban_35`
// over three octaves, lowest C first, black keys lying on top of the white
// ones. A key does not take focus, so clicking it leaves the text cursor
// where it was.

#include <QAbstractButton>
#include <QWidget>

namespace lk {

class PianoKey : public QAbstractButton {
  Q_OBJECT

 public:
  PianoKey(int index, bool black, QWidget* parent);
  int index() const { return index_; }
  bool isBlack() const { return black_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int index_;
  bool black_;
};

class PianoKeyboard : public QWidget {
  Q_OBJECT

 public:
  // Placed with its top-left corner at the first white key; sized to the keys.
  explicit PianoKeyboard(QWidget* parent = nullptr);
  PianoKey* key(int index) const;

 signals:
  void keyClicked(int index);

 private:
  PianoKey* keys_[36] = {};
};

}  // namespace lk
