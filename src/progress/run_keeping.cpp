#include "progress/run_keeping.h"

#include <algorithm>
#include <cmath>

#include "practice/scoring.h"
#include "progress/history_store.h"

namespace lk {

namespace {

int accuracyOf(int good, int misses, int total) {
  if (misses == 0) return 100;
  if (total <= 0) return 0;
  return toScore16((static_cast<double>(good) / total) * 100.0);
}

}  // namespace

void finishRun(AppState& state, RunRecord record, DrillMode mode, int questions) {
  state.progress.lastRun = std::move(record);
  RunRecord& run = state.progress.lastRun;
  state.progress.hasRun = true;
  run.id = 0;
  run.mode = mode;
  run.title = state.problems.title;
  run.questions = questions;
  run.settings = describeKeySettings(state.settings);
  const DrillResult& r = state.result;
  switch (mode) {
    case DrillMode::Word: {
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
      run.accuracy = accuracyOf(r.charCount, r.missCount, r.charCount + r.missCount);
      break;
    }
    case DrillMode::Music: {
      const int hits = static_cast<int>(std::count_if(run.keys.begin(), run.keys.end(),
                                                      [](const Keystroke& k) { return k.hit; }));
      const std::int32_t ms = run.keys.empty() ? 0 : run.keys.back().ms;
      run.chars = hits;
      run.misses = r.missCount;
      run.seconds = std::max(1, static_cast<int>(std::lround(ms / 1000.0)));
      run.speed = toScore16(hits / (std::max<std::int32_t>(ms, 1) / 60000.0));
      run.accuracy = accuracyOf(hits - r.missCount, r.missCount, hits);
      break;
    }
  }
}

std::filesystem::path historyPath(ProgramFolder& folder) { return folder.dataFolder() / kHistoryFileName; }

bool keepRun(AppState& state) {
  Services& sv = state.services;
  ProgressState& p = state.progress;
  p.lastRunKept = false;
  if (sv.folder) {
    HistoryStore::Status status;
    if (auto store = HistoryStore::open(historyPath(*sv.folder), status)) {
      p.lastRunKept = store->addRun(p.lastRun) == HistoryStore::Status::Ok;
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
