#pragma once

// What the keystroke record keeps between screens: the last recorded run
// (shown by the analysis screen even when the store could not keep it) and
// how the analysis screen was reached.

#include "records/run_record.h"

namespace lk {

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
};

}  // namespace lk
