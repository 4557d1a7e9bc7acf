#pragma once

// The end of a recorded drill: its figures go into the run record held by
// the application state, and the run goes into the history store beside
// set.dat. A store that cannot take the run never stops the program: the
// record stays in memory for the analysis screen and one message says the
// run was not kept.

#include <filesystem>

#include "progress/keystroke_record.h"
#include "shell/app_state.h"

namespace lk {

inline constexpr std::u16string_view kHistorySaveFailed = u"記録の保存に失敗しました。";

// Fills mode, title, counts, time and scores of state.progress.lastRun from the
// drill's counters (state.result) and the key settings in force. Word:
// the scores of the result screen; one-character: correct keys in 60 s;
// music: the song's keys over the time from the first key to the clear.
// `record` (the keys) becomes state.progress.lastRun.
void finishRun(AppState& state, RunRecord record, DrillMode mode, int questions);

// luminakey.db in the data folder (beside set.dat and rank.dat).
std::filesystem::path historyPath(ProgramFolder& folder);

// Keeps state.progress.lastRun in the store; true when kept. A failure is
// only noted: a message box on the last key would come before the drill has
// drawn its クリア！, so tellUnkeptRun shows it once the result is on screen.
bool keepRun(AppState& state);

// Shows kHistorySaveFailed through the message service if the last run was
// not kept and nobody has said so yet.
void tellUnkeptRun(AppState& state);

// Both, as a drill calls them at its end.
inline bool endRecordedRun(AppState& state, RunRecord record, DrillMode mode, int questions) {
  finishRun(state, std::move(record), mode, questions);
  return keepRun(state);
}

}  // namespace lk
