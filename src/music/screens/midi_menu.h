#pragma once

// The music menu `midi_menu`: three built-in songs, the file row (read a
// music problem file, then start it with [開始]) and [Return].

#include "music/music_menu.h"
#include "music/songs.h"
#include "shell/screens/screen.h"

class QLabel;

namespace lk {

class MusicMenuScreen : public Screen {
  Q_OBJECT

 public:
  explicit MusicMenuScreen(ScreenHost& host);
  ~MusicMenuScreen() override;

  void load() override;

 private:
  void startSong(BuiltInSong song);
  void readProblemFile();
  void startFile();

  MusicMenuFile file_;
  QLabel* title_l_;
};

}  // namespace lk
