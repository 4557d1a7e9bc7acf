#pragma once

// The melody keyboard of the music editor: 36 keys `kennban_0` .. `kennban_35`
// over three octaves, lowest C first, black keys lying on top of the white
// ones. Each white key carries its note name at the smallest size the
// screens draw text (ド4 and ファ on two lines), the ド of each octave its
// octave number as well. A key does not take focus, so clicking it leaves
// the text cursor where it was; the keyboard itself is reached with Tab and
// then plays from the computer keyboard (pianoKeyForKey).

#include <QAbstractButton>
#include <QFont>
#include <QStringList>
#include <QWidget>

namespace lk {

// The key a computer key plays while the piano has the focus: the home row
// A S D F G H J K gives the white keys ド to ド of the middle octave, the row
// above (W E, T Y U) the black keys between them. -1 for any other key.
int pianoKeyForKey(int qtKey);

// The label of a key: "ド4", "レ", … for white keys (middle C is ド4), empty
// for black ones.
QString pianoKeyLabel(int index);

class PianoKey : public QAbstractButton {
  Q_OBJECT

 public:
  PianoKey(int index, bool black, QWidget* parent);
  int index() const { return index_; }
  bool isBlack() const { return black_; }
  // The note name as drawn: the font, and its lines from the top (none on a
  // black key).
  QFont nameFont() const;
  QStringList nameLines() const;
  // Where line `line` of the name is drawn (top-aligned), in key coordinates.
  QRect nameLineRect(int line) const;

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
  // A key was clicked or played from the computer keyboard.
  void keyClicked(int index);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  PianoKey* keys_[36] = {};
};

}  // namespace lk
