#pragma once

// The replay view (再生): one run's keystrokes appearing at their recorded
// times, misses in red with the key that came and the time each cost, a
// time bar, pause, 1×/2×/4× and a jump to the next miss. It only plays a
// RunRecord; what it shows is worked out by progress/run_profile.h.

#include <QDialog>
#include <vector>

#include "progress/keystroke_record.h"
#include "progress/run_profile.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace lk {

class ReplayView : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kTickMs = 40;
  static constexpr int kShownKeys = 60;  // keys on the line at most, the latest

  ReplayView(const RunRecord& run, QWidget* parent);

  // Playback position, milliseconds into the run.
  int positionMs() const { return positionMs_; }
  void setPositionMs(int ms);
  // The clock runs at the chosen speed while playing (tests call tick()).
  void play();
  void pause();
  bool playing() const { return playing_; }
  void tick(int elapsedMs);
  // Moves to the first miss after the position; false when none is left.
  bool jumpToNextMiss();
  // Keys shown so far (at or before the position), and the latest miss among them (-1: none).
  int keysShown() const { return shown_; }
  int missShown() const { return missShown_; }

 private:
  void show_();

  RunRecord run_;
  RunProfile profile_;
  int positionMs_ = 0;
  int shown_ = 0;
  int missShown_ = -1;
  bool playing_ = false;
  QLabel* keys_l_;
  QLabel* miss_l_;
  QLabel* time_l_;
  QSlider* time_bar_;
  QPushButton* play_b_;
  QComboBox* speed_c_;
  QPushButton* next_miss_b_;
  QTimer* timer_;
};

}  // namespace lk
