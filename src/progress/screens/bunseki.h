#pragma once

// The analysis screen `bunseki` ("分析"). Two pages: this run (missed units
// and keys with what came instead, the slowest units, a keyboard shaded by
// miss rate) and the history (speed and accuracy of the last 100 runs with a
// moving average; totals and the ten weakest units of the weakness model
// over the last 20 runs, all filtered by mode and course; CSV export). It
// reads the last run from the application state (after a restart the last
// kept run) and the history from luminakey.db (the program folder's until
// the data folder has one); it never writes the store. The run page also
// shows the run's speed profile (a third page charts it beside the slowest
// and most-missed kana pairs of this run and the last 20), opens the replay
// view (再生) and starts the 復習 drill of its missed questions; the history
// page lists the runs, each of which can be replayed.

#include <memory>
#include <optional>

#include "progress/history_store.h"
#include "shell/screens/screen.h"

class QChartView;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace lk {

class KeyboardPicture;

class AnalysisScreen : public Screen {
  Q_OBJECT

 public:
  static constexpr int kHistoryRuns = 100;
  static constexpr int kWeakRuns = 20;
  static constexpr int kWeakUnits = 10;
  static constexpr int kAverageWindow = 5;

  explicit AnalysisScreen(ScreenHost& host);
  ~AnalysisScreen() override;

  void load() override;

 private:
  void showRun();
  void showKeyboard();
  void fillFilters();
  void showHistory();
  void layoutChosen(int index);
  void exportCsv();
  RunFilter filter() const;
  // The run of the first page: the last drill, else the last kept run.
  const RunRecord* shownRun() const;
  void showProfile();
  void showRunList();
  void showPairs();
  void replay(const RunRecord& run);
  void replayChosenRun();
  void startReview();

  std::unique_ptr<HistoryStore> store_;
  // Why store_ is null: CannotOpen when there is no store yet.
  HistoryStore::Status storeStatus_ = HistoryStore::Status::CannotOpen;
  std::optional<RunRecord> storedRun_;
  QTabWidget* tabs_;
  QLabel* run_l_;
  QListWidget* missed_units_;
  QListWidget* missed_keys_;
  QListWidget* slow_units_;
  QComboBox* layout_c_;
  KeyboardPicture* keyboard_;
  QComboBox* mode_c_;
  QComboBox* course_c_;
  QChartView* chart_;
  QLabel* totals_l_;
  QListWidget* weak_units_;
  QLabel* profile_l_;
  QChartView* profile_chart_;
  QPushButton* replay_b_;
  QPushButton* review_b_;
  QListWidget* run_list_;
  QPushButton* run_replay_b_;
  QListWidget* slow_pairs_;
  QListWidget* slow_pairs_recent_;
  QListWidget* missed_pairs_recent_;
  std::vector<std::int64_t> runListIds_;  // run_list_'s rows, newest first
};

}  // namespace lk
