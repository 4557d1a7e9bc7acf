#pragma once

// The training menu `t_menu`: the three built-in levels, the two
// one-character drills, the problem-file row, the ranking and the way back.

#include <optional>

#include "practice/training_menu.h"
#include "shell/screens/screen.h"

class QLabel;

namespace lk {

class TrainingMenuScreen : public Screen {
  Q_OBJECT

 public:
  explicit TrainingMenuScreen(ScreenHost& host);
  void load() override;

 private:
  void startBuiltIn(int level);
  void startOneChar(bool advanced);
  void readProblemFile();
  void startFile();
  void startWeakDrill();
  void startWeakChars();

  TrainingMenuFile file_;
  std::optional<ProblemSet> fileProblems_;  // of the last successful read, for 苦手克服
  QLabel* saidai_l_;
  QLabel* title_l_;
  QLabel* mkazu_l_;
};

}  // namespace lk
