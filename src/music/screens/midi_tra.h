#pragma once

// The music drill screen `midi_tra`: the lyric line, its reading, the romaji
// still to type, the misses and one progress mark per line. It shows the
// state of its MusicDrill and forwards typed characters to it; each hit
// plays the next step of the melody through the MIDI output.

#include <array>
#include <memory>

#include "music/music_drill.h"
#include "shell/screens/screen.h"

class QFrame;
class QLabel;
class QPushButton;

namespace lk {

class MusicDrillScreen : public DrillScreen {
  Q_OBJECT

 public:
  explicit MusicDrillScreen(ScreenHost& host);
  ~MusicDrillScreen() override;

  void load() override;

  const MusicDrill* drill() const { return drill_.get(); }

 protected:
  void typed(char16_t ch) override;
  void unload() override;

 private:
  void showLine();
  void showCleared();

  std::unique_ptr<MusicDrill> drill_;
  RunRecord record_;
  std::unique_ptr<KeystrokeRecorder> recorder_;

  QLabel* titlehyouzi_l_;
  QLabel* label1_;
  QLabel* label_m_;
  QLabel* label_q2_;
  QLabel* label_q4_;
  QLabel* label_q_;
  QFrame* picture2_;
  QFrame* picture3_;
  std::array<QFrame*, MusicDrill::kMarkCount> shape1_{};
  QFrame* bback_;
  QPushButton* kekka_b_;
  QPushButton* bunseki_b_;
};

}  // namespace lk
