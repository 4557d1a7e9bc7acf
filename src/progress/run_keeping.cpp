#include "progress/run_keeping.h"

#include <algorithm>
#include <cmath>

#include "records/scoring.h"
#include "progress/history_store.h"
#include "records/data_files.h"

namespace lk {

void finishRun(AppState& state, RunRecord record, DrillMode mode, int questions) {
  state.progress.lastRun = std::move(record);
  RunRecord& run = state.progress.lastRun;
  state.progress.hasRun = true;
  state.progress.lastRunQuestions.clear();  // the word drill sets its own after this
  run.id = 0;
  run.mode = mode;
  run.title = state.problems.title;
  run.questions = questions;
  run.settings = describeKeySettings(state.settings);
  // The one-character drill compares characters; どの綴りでも never applies to it.
  run.flexible = mode != DrillMode::Char && state.options.flexibleRomaji;
  const DrillResult& r = state.result;
  switch (mode) {
    case DrillMode::Word:
    case DrillMode::Course: {  // a course lesson runs in the word drill
      DrillResult copy = r;  // scoring turns a 0 s drill into 1 s, as the result screen shows it
      const DrillScores s = scoreDrill(copy);
      run.chars = copy.charCount;
      run.misses = copy.missCount;
      run.seconds = copy.elapsedSeconds;
      run.speed = s.sokudo;
      run.accuracy = s.seigo;
      break;
    }
    case DrillMode::Char: {
      run.chars = r.charCount;
      run.misses = r.missCount;
      run.seconds = 60;
      run.speed = r.charCount;  // a minute's worth of keys
      run.accuracy = accuracyScore(r.charCount, r.missCount);
      break;
    }
    case DrillMode::Music: {
      const int hits = static_cast<int>(std::count_if(run.keys.begin(), run.keys.end(),
                                                      [](const Keystroke& k) { return k.hit; }));
      // From the first key to the clear: the song's clock starts with its first line shown.
      const std::int32_t ms = run.keys.empty() ? 0 : run.keys.back().ms - run.keys.front().ms;
      run.chars = hits;
      run.misses = r.missCount;
      run.seconds = std::max(1, static_cast<int>(std::lround(ms / 1000.0)));
      run.speed = toScore16(hits / (std::max<std::int32_t>(ms, 1) / 60000.0));
      run.accuracy = accuracyScore(hits, r.missCount);
      break;
    }
  }
}

std::filesystem::path historyPath(ProgramFolder& folder) { return folder.dataFolder() / kHistoryFileName; }

std::filesystem::path historyPathToRead(ProgramFolder& folder) {
  return fileToLoad(folder.dataFolder(), folder.programFolder(), kHistoryFileName);
}

std::unique_ptr<HistoryStore> openHistoryToRead(ProgramFolder& folder, HistoryStore::Status& status) {
  const std::filesystem::path path = historyPathToRead(folder);
  // The data folder's store is brought up to date in place; the program
  // folder's is never written (an older one is upgraded in memory).
  const auto mode = path == historyPath(folder) ? HistoryStore::Mode::Existing : HistoryStore::Mode::ReadOnly;
  return HistoryStore::open(path, status, mode);
}

bool historyStoreBroken(HistoryStore::Status status) {
  return status == HistoryStore::Status::Damaged || status == HistoryStore::Status::Unreadable;
}

bool keepRun(AppState& state) {
  Services& sv = state.services;
  ProgressState& p = state.progress;
  p.lastRunKept = false;
  // A run without a single key typed (an idle drill) is no practice to keep.
  if (p.lastRun.keys.empty()) return false;
  if (sv.folder) {
    const std::filesystem::path path = historyPath(*sv.folder);
    const std::filesystem::path read = historyPathToRead(*sv.folder);
    HistoryStore::Status status = HistoryStore::Status::Ok;
    if (read != path) status = HistoryStore::copy(read, path);
    if (status == HistoryStore::Status::Ok) {
      if (auto store = HistoryStore::open(path, status)) {
        p.lastRunKept = store->addRun(p.lastRun) == HistoryStore::Status::Ok;
      }
    }
  }
  p.unkeptRunUntold = !p.lastRunKept;
  return p.lastRunKept;
}

void tellUnkeptRun(AppState& state) {
  ProgressState& p = state.progress;
  if (!p.unkeptRunUntold) return;
  p.unkeptRunUntold = false;
  if (state.services.messages) state.services.messages->show(kHistorySaveFailed);
}

}  // namespace lk
