#pragma once

// The history store: luminakey.db (SQLite) beside set.dat and rank.dat. One
// row per finished drill with its keystrokes, and per-run tallies by key and
// by unit so that the history views never have to read every keystroke.
//
// The learner's runs of years live here, so the store is careful: a file it
// cannot read (corrupt, of a newer version, not ours, locked) is left exactly
// as it is, a schema upgrade runs in one transaction, and every run is
// written in one transaction.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "progress/keystroke_record.h"
#include "progress/keystroke_stats.h"

struct sqlite3;

namespace lk {

inline constexpr const char* kHistoryFileName = "luminakey.db";

// The keystroke column: per key the time step, the two keys, the unit and
// its place with the hit and after-pause flags, as variable-length integers.
// Decoding files every hit under the key typed.
std::string encodeKeystrokes(const std::vector<Keystroke>& keys);
bool decodeKeystrokes(std::string_view bytes, std::vector<Keystroke>& keys);
// The unit column: UTF-8, one unit per line.
std::string encodeUnits(const std::vector<std::u16string>& units);
std::vector<std::u16string> decodeUnits(std::string_view text);

// One run without its keystrokes (the runs table).
struct RunSummary {
  std::int64_t id = 0;
  DrillMode mode = DrillMode::Word;
  LocalDateTime started;
  std::u16string title;
  int questions = 0;
  int chars = 0;
  int misses = 0;
  int seconds = 0;
  int speed = 0;
  int accuracy = 0;
  int keyCount = 0;  // keystrokes recorded
  std::string settings;
  bool flexible = false;  // judged by any spelling (どの綴りでも)
};

struct HistoryTotals {
  int runs = 0;
  std::int64_t keys = 0;
  std::int64_t seconds = 0;
};

// Counts and misses from the per-run tallies (no times).
struct TallyRow {
  std::u16string name;  // a unit, or one expected key
  std::int64_t count = 0;
  std::int64_t misses = 0;
};

struct RunFilter {
  std::optional<DrillMode> mode;
  std::optional<std::u16string> title;
};

class HistoryStore {
 public:
  static constexpr int kSchemaVersion = 3;

  enum class Status {
    Ok,
    CannotOpen,   // missing folder, no permission, full disk
    Unreadable,   // not a store of ours, or its content cannot be decoded
    Damaged,      // fails SQLite's quick check: pages or indexes are broken
    TooNew,       // written by a later version: read it, never change it
    Busy,         // locked by another program
    Failed,       // a statement failed (write error, full disk)
    Outdated,     // (internal) read-only open of an older schema
  };

  enum class Mode { ReadWrite, Existing, ReadOnly };

  // Opens the store at `path`. ReadWrite creates a missing file and brings an
  // older schema up to date; Existing does the same but never creates a
  // file; ReadOnly never creates a file or changes its schema (an older
  // schema is upgraded on a copy in memory). Every mode first runs
  // `PRAGMA quick_check`: a damaged store is never used, so never written.
  //
  // A hot journal left by a crash is rolled back, as SQLite does on any
  // open that may write; ReadOnly does that too where it may write the file,
  // and otherwise rolls it back on a copy of the file and its journal, so an
  // intact store can be read from a read-only folder.
  // Null with `status` set when the store cannot be used.
  static std::unique_ptr<HistoryStore> open(const std::filesystem::path& path, Status& status,
                                            Mode mode = Mode::ReadWrite);

  // Makes `to` (which must not exist yet) a copy of the store at `from`, as
  // ReadOnly reads it (an older schema comes up to date, a hot journal is
  // rolled back). The copy appears whole or not at all.
  static Status copy(const std::filesystem::path& from, const std::filesystem::path& to);
  ~HistoryStore();
  HistoryStore(const HistoryStore&) = delete;
  HistoryStore& operator=(const HistoryStore&) = delete;

  int schemaVersion() const { return version_; }

  // Keeps a finished run with its keystrokes and tallies in one transaction;
  // sets run.id. Nothing is kept when it fails.
  Status addRun(RunRecord& run);
  // Several runs in one transaction (imports, generated stores): all or none.
  Status addRuns(std::span<RunRecord> runs);

  // The last `last` runs that pass `filter` (all when last <= 0), oldest first.
  std::vector<RunSummary> runs(int last = 0, const RunFilter& filter = {}) const;
  // Full records (with keystrokes) of the given ids, in that order; unknown ids are skipped.
  std::vector<RunRecord> records(const std::vector<std::int64_t>& ids) const;
  // Ids of the last `last` runs, oldest first.
  std::vector<std::int64_t> lastRunIds(int last) const;
  // Runs, keystrokes and seconds of the runs that pass `filter`.
  HistoryTotals totals(const RunFilter& filter = {}) const;
  // Course titles and the modes they were run in, for the history filter.
  std::vector<std::pair<DrillMode, std::u16string>> courses() const;

  // Tallies over the last `last` runs, sorted by misses (descending) then name.
  std::vector<TallyRow> unitTallies(int last) const;
  std::vector<TallyRow> keyTallies(int last) const;
  // The units with the highest miss rate over the last `last` runs (units
  // never missed are left out), at most `limit`.
  std::vector<TallyRow> weakestUnits(int last, int limit) const;

  Status lastStatus() const { return lastStatus_; }

 private:
  explicit HistoryStore(sqlite3* db) : db_(db) {}
  Status prepareSchema(Mode mode);
  int insertRun(RunRecord& run);
  std::vector<TallyRow> tallies(const char* table, const char* column, int last) const;

  sqlite3* db_;
  int version_ = 0;
  mutable Status lastStatus_ = Status::Ok;
};

}  // namespace lk
