#pragma once

// The end of a recorded drill: its figures go into the run record held by
// the application state, and the run goes into the history store beside
// set.dat. A store that cannot take the run never stops the program: the
// record stays in memory for the analysis screen and one message says the
// run was not kept.

#include <filesystem>
#include <memory>
#include <string_view>

#include "progress/history_store.h"
#include "progress/keystroke_record.h"
#include "shell/app_state.h"

namespace lk {

inline constexpr std::u16string_view kHistorySaveFailed = u"記録の保存に失敗しました。";

// Fills mode, title, counts, time and scores of state.progress.lastRun from the
// drill's counters (state.result) and the key settings in force. Word:
// the scores of the result screen; one-character: correct keys in 60 s;
// music: the song's keys over the time from the first key to the clear.
// Accuracy is the word drill's formula (accuracyScore) in every mode.
// `record` (the keys) becomes state.progress.lastRun.
void finishRun(AppState& state, RunRecord record, DrillMode mode, int questions);

// luminakey.db in the data folder (beside set.dat and rank.dat): where runs are kept.
std::filesystem::path historyPath(ProgramFolder& folder);

// The store the history views read: the data folder's, or, like set.dat and
// rank.dat, the program folder's until the data folder has its own (an
// installed, read-only program folder that came with a store).
std::filesystem::path historyPathToRead(ProgramFolder& folder);

// Opens historyPathToRead() without creating anything; the program folder's
// store is only read. Null with `status` set when there is none or it cannot
// be used (HistoryStore::Status::CannotOpen when there is no file at all).
std::unique_ptr<HistoryStore> openHistoryToRead(ProgramFolder& folder, HistoryStore::Status& status);

// A store the views cannot read although it is there (damaged, not ours):
// the history says "記録ファイルが壊れています。" rather than that there is none.
bool historyStoreBroken(HistoryStore::Status status);

inline constexpr std::u16string_view kHistoryBroken = u"記録ファイルが壊れています。";
inline constexpr std::u16string_view kHistoryReadFailed = u"記録の読み込みに失敗しました。";

// Keeps state.progress.lastRun in the store; true when kept. A run with no
// key typed is not kept (and no message shows). A failure is only noted: a
// message box on the last key would come before the drill has drawn its
// クリア！, so tellUnkeptRun shows it once the result is on screen. The first run kept in a
// data folder without a store, while the program folder has one, starts the
// data folder's store as a copy of it, so no earlier run is hidden.
// A damaged store is never written.
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
