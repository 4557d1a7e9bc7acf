#pragma once

// The word drill screen `t_original`: a countdown view (signboard with the
// title, the question count and the countdown), then the drill view (two
// question lines, misses, clock, progress markers). It only shows the state
// of its WordDrill and forwards ticks and typed characters to it.

#include <QTimer>
#include <array>
#include <memory>
#include <optional>

#include "practice/word_drill.h"
#include "records/progress_state.h"
#include "progress/review.h"
#include "shell/screens/screen.h"

class QFrame;
class QLabel;
class QPushButton;

namespace lk {

class WordDrillScreen : public DrillScreen {
  Q_OBJECT

 public:
  explicit WordDrillScreen(ScreenHost& host);
  ~WordDrillScreen() override;

  void load() override;

  // The handlers of Timer2 (countdown) and Timer1 (clock); tests call them
  // instead of waiting for the timers.
  void countdownTick();
  void clockTick();

  const WordDrill* drill() const { return drill_.get(); }

 protected:
  void typed(char16_t ch) override;
  void unload() override;

 private:
  void showDrillView();
  void showQuestion();
  void showCleared();
  void showMarkers();
  // A miss shows the next expected key in red for a moment (AppOptions::missCue).
  void showMissCue();
  // Files the keys judged by the last type() under the question they answered.
  void noteAskedKeys(int question, std::size_t before);
  void loadGhost();
  void showGhost();
  void endMissCue();
  void play(std::string_view sound);

  std::unique_ptr<WordDrill> drill_;
  RunRecord record_;
  std::unique_ptr<KeystrokeRecorder> recorder_;
  std::vector<AskedQuestion> asked_;
  // The course's best run, raced when the ゴースト option is on; none without one.
  std::optional<GhostRace> ghost_;
  int hits_ = 0;  // keys accepted in this run  // the questions in the order asked, with their keys

  QFrame* kanban_;
  QLabel* title_l_;
  QLabel* kazu_l_;
  QLabel* count_l_;
  QLabel* titlehyouzi_l_;
  QFrame* traback_;
  QLabel* label_q2_;
  QLabel* label_q_;
  QLabel* missCue_l_;
  QLabel* label3_;
  QLabel* label_n_;
  QLabel* label1_;
  QLabel* label_m_;
  QLabel* label2_;
  QLabel* label_t_;
  QFrame* picture2_;
  QFrame* ghost_track_;
  QFrame* ghost_fill_;
  QFrame* own_fill_;
  QLabel* ghost_l_;
  std::array<QFrame*, WordDrill::kMarkerCount> shape1_{};
  QFrame* kekkaback_;
  QPushButton* kekka_b_;
  QTimer* timer1_;
  QTimer* timer2_;
  QTimer* missCue_;
};

}  // namespace lk
