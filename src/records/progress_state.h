#pragma once

// What the keystroke record keeps between screens: the last recorded run
// (shown by the analysis screen even when the store could not keep it) and
// how the analysis screen was reached.

#include <cstdint>
#include <string>
#include <vector>

#include "records/run_record.h"

namespace lk {

// One question as the word drill asked it: its text, canonical romaji, and
// the keys of the run typed while it was on screen.
struct AskedQuestion {
  std::u16string text;
  std::u16string romaji;
  std::size_t firstKey = 0, endKey = 0;  // keys [firstKey, endKey) of the run
  std::int32_t shownMs = 0, doneMs = 0;  // on screen from, finished at
};

struct ProgressState {
  RunRecord lastRun;         // keystrokes and figures of the last finished drill
  bool hasRun = false;       // lastRun holds a finished drill
  bool lastRunKept = false;  // and it made it into the history store
  // The store could not keep it and the learner has not been told yet: the
  // message waits for the screen that shows the run's result.
  bool unkeptRunUntold = false;
  // The analysis screen opens on this run (from a result) or on the history
  // (from the training menu); its back button leads to the music menu after
  // a song, to the training menu otherwise.
  bool openOnHistory = false;
  bool backToMusicMenu = false;
  // The questions of lastRun when a word drill made it (empty otherwise):
  // what 間違えた問題を練習 asks again.
  std::vector<AskedQuestion> lastRunQuestions;
  // The next word drill is a 復習 of missed questions (set by the analysis
  // screen); the drill takes it over on load as reviewRunning, which keeps
  // its result out of the ranking.
  bool reviewNext = false;
  bool reviewRunning = false;
  // The problems are a fixed course (初級/中級/上級 or a problem file), the
  // kind the ghost races; the training menu sets it, and clears it on load.
  bool ghostCourse = false;
};

}  // namespace lk
