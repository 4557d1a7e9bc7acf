#pragma once

// The word drill's result screen `t_kekka`: speed, accuracy and the raw
// counters of the last drill; on load the run is offered to the ranking and
// rank.dat is rewritten.

#include "records/scoring.h"
#include "shell/screens/screen.h"

class QLabel;

namespace lk {

class WordResultScreen : public Screen {
  Q_OBJECT

 public:
  explicit WordResultScreen(ScreenHost& host);
  void load() override;

  const DrillScores& scores() const { return scores_; }

 private:
  DrillScores scores_;
  QLabel* title_l_;
  QLabel* label_t_;
  QLabel* label_z_;
  QLabel* label_m_;
  QLabel* label_sp_;
  QLabel* seigo_l_;
};

}  // namespace lk
