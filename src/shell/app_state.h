#pragma once

// The one application state object: everything that outlives a screen. The
// app (or a test) owns it for the whole run and hands it to every screen.

#include "engine/key_settings.h"
#include "records/drill_result.h"
#include "records/problem_set.h"
#include "records/ranking_file.h"
#include "records/progress_state.h"
#include "records/app_options.h"
#include "records/screen_position.h"
#include "shell/services.h"

namespace lk {

struct AppState {
  KeySettings settings;
  // set.dat as this copy last read or wrote it: a save writes only the
  // fields that differ from it, so it never undoes another copy's save.
  KeySettings settingsOnFile;
  ProblemSet problems;
  DrillResult result;
  RankingTable ranking;
  ScreenPosition position;
  AppOptions options;  // luminakey.ini
  Services services;  // pointers owned by the app or the test
  ProgressState progress;  // the keystroke record of the last drill
};

}  // namespace lk
