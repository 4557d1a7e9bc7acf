#pragma once

// The one-character drill screen `o_type`: countdown, then 60 seconds of
// single characters with a gauge that empties from the right, the ○/× marks
// and the counters. It shows the state of its OneCharDrill.

#include <QTimer>
#include <array>
#include <memory>

#include "practice/one_char_drill.h"
#include "shell/screens/screen.h"

class QFrame;
class QLabel;
class QPushButton;

namespace lk {

class OneCharDrillScreen : public DrillScreen {
  Q_OBJECT

 public:
  static constexpr int kGaugeSegments = OneCharDrill::kSeconds;

  explicit OneCharDrillScreen(ScreenHost& host);
  ~OneCharDrillScreen() override;

  void load() override;

  // Handlers of Timer2 (countdown), Timer1 (clock) and Timer3 (marks);
  // tests call them instead of waiting.
  void countdownTick();
  void clockTick();
  void markTick();

  const OneCharDrill* drill() const { return drill_.get(); }

 protected:
  void typed(char16_t ch) override;
  void unload() override;

 private:
  void startDrill();
  void endDrill();
  void showQuestion();
  void showMark(QLabel* mark);

  std::unique_ptr<OneCharDrill> drill_;
  RunRecord record_;
  std::unique_ptr<KeystrokeRecorder> recorder_;

  QFrame* kanban_;
  QLabel* title_l_;
  QLabel* count_l_;
  QFrame* picture2_;
  QFrame* shape2_;
  QLabel* label_q_;
  QLabel* maru_l_;
  QLabel* batu_l_;
  std::array<QLabel*, 3> captions_{};  // "Miss:", "Time:", "No."
  QLabel* label_m_;
  QLabel* label_t_;
  QLabel* label_n_;
  std::array<QFrame*, kGaugeSegments> shape1_{};
  QPushButton* kekka_b_;
  QTimer* timer1_;
  QTimer* timer2_;
  QTimer* timer3_;
};

}  // namespace lk
