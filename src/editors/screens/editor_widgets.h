#pragma once

// Small pieces both editor screens share: the status line naming the file
// being edited, and text changes that Ctrl+Z can take back.

#include <QLabel>
#include <QTimer>
#include <filesystem>

class QLineEdit;

namespace lk::editors {

// The clock the editor screens' notices and beats run on: a QTimer, unless a
// test makes it manual and steps it with fire() instead of waiting.
class ScreenTimer : public QObject {
  Q_OBJECT

 public:
  explicit ScreenTimer(QObject* parent = nullptr);

  void setInterval(int ms) { timer_.setInterval(ms); }
  void setSingleShot(bool single) { single_ = single; }
  void setManual(bool manual);
  void start();
  void stop();
  bool isActive() const { return active_; }
  // One timeout now, as the clock would give it; nothing when stopped.
  void fire();

 signals:
  void timeout();

 private:
  QTimer timer_;
  bool single_ = false;
  bool manual_ = false;
  bool active_ = false;
};

// How long "保存しました" stays before the file name comes back.
inline constexpr int kSavedNoticeMs = 3000;

// Shows the name of the file last loaded or saved (the full path as its
// tool tip), and "保存しました" for a few seconds after a save.
class FileStatusLine : public QLabel {
  Q_OBJECT

 public:
  FileStatusLine(QWidget* parent, const QRect& geometry);

  void showFile(const std::filesystem::path& file);
  void showSaved();

 private:
  QString fileName_;
  ScreenTimer noticeTimer_;
};

// Replaces the text of `box` as an edit of its own, so that Ctrl+Z in the
// box brings the old text back (QLineEdit::setText forgets the history).
// Text added at the end is inserted there; anything else replaces the whole.
void setTextUndoable(QLineEdit* box, const QString& text);

}  // namespace lk::editors
