// History store commands: the runs, keys and units kept in luminakey.db, so
// that every figure the analysis screen shows can be checked from outside.
#include <cstdio>
#include <ostream>

#include "engine/text.h"
#include "progress/history_export.h"
#include "progress/history_store.h"
#include "progress/keystroke_stats.h"
#include "progress/pairs.h"
#include "progress/weakness.h"
#include "tools/command.h"

namespace lk::tool {

namespace {

struct StoreArgs {
  std::string db;
  int last = 0;         // 0: not given
  std::int64_t run = 0;  // 0: not given
};

int positiveNumber(const std::string& option, const std::string& value) {
  std::size_t used = 0;
  long long n = 0;
  try {
    n = std::stoll(value, &used);
  } catch (...) {
    used = 0;
  }
  if (used != value.size() || n <= 0 || n > 1'000'000'000) {
    throw UsageError{option + " expects a positive number, got '" + value + "'"};
  }
  return static_cast<int>(n);
}

StoreArgs parseStoreArgs(const std::vector<std::string>& args, bool allowRun, bool* keysFlag = nullptr) {
  StoreArgs a;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& opt = args[i];
    if (keysFlag && opt == "--keys") {
      *keysFlag = true;
      continue;
    }
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError{opt + " expects a value"};
      return args[++i];
    };
    if (opt == "--db") {
      a.db = value();
    } else if (opt == "--last") {
      a.last = positiveNumber(opt, value());
    } else if (opt == "--run" && allowRun) {
      a.run = positiveNumber(opt, value());
    } else {
      throw UsageError{"unexpected argument '" + opt + "'"};
    }
  }
  if (a.db.empty()) throw UsageError{"--db FILE is required"};
  requireRegularFile(a.db);
  if (a.run && a.last) throw UsageError{"--run and --last exclude each other"};
  return a;
}

const char* whyUnusable(HistoryStore::Status status) {
  switch (status) {
    case HistoryStore::Status::TooNew:
      return "written by a newer version";
    case HistoryStore::Status::Busy:
      return "locked by another program";
    case HistoryStore::Status::Damaged:
      return "damaged";
    case HistoryStore::Status::Unreadable:
      return "not a LuminaKey history store or damaged";
    default:
      return "cannot be opened";
  }
}

// The store is only read (an older one is upgraded on a copy in memory, a
// hot journal rolled back, on a copy where the file cannot be written); a
// missing, damaged or unreadable one is reported and left alone.
std::unique_ptr<HistoryStore> openStore(const std::string& db, Io& io) {
  HistoryStore::Status status;
  auto store = HistoryStore::open(db, status, HistoryStore::Mode::ReadOnly);
  if (!store) io.err << db << ": " << whyUnusable(status) << '\n';
  return store;
}

// Damage the quick check cannot see shows when the rows are read: reported
// before anything is printed, so a part of the history never passes for all of it.
bool readFailed(const HistoryStore& store, const std::string& db, Io& io) {
  if (store.lastStatus() == HistoryStore::Status::Ok) return false;
  io.err << db << ": " << whyUnusable(store.lastStatus()) << '\n';
  return true;
}

std::string median(const std::optional<int>& ms) { return ms ? std::to_string(*ms) : std::string(); }

// The runs the key and unit tables cover: one run, the last N, or the last one.
std::vector<RunRecord> selectedRuns(const HistoryStore& store, const StoreArgs& a) {
  if (a.run) return store.records({a.run});
  return store.records(store.lastRunIds(a.last ? a.last : 1));
}

int history(const std::vector<std::string>& args, Io& io) {
  const StoreArgs a = parseStoreArgs(args, false);
  auto store = openStore(a.db, io);
  if (!store) return 1;
  const std::vector<RunSummary> runs = store->runs(a.last);
  if (readFailed(*store, a.db, io)) return 1;
  io.out << "id\tstarted\tmode\ttitle\tchars\tmisses\tseconds\tspeed\taccuracy\n";
  for (const RunSummary& r : runs) {
    io.out << r.id << '\t' << formatDateTime(r.started) << '\t' << drillModeName(r.mode) << '\t' << toUtf8(r.title)
           << '\t' << r.chars << '\t' << r.misses << '\t' << r.seconds << '\t' << r.speed << '\t' << r.accuracy
           << '\n';
  }
  return 0;
}

int keys(const std::vector<std::string>& args, Io& io) {
  const StoreArgs a = parseStoreArgs(args, true);
  auto store = openStore(a.db, io);
  if (!store) return 1;
  const std::vector<RunRecord> runs = selectedRuns(*store, a);
  if (readFailed(*store, a.db, io)) return 1;
  if (a.run && runs.empty()) {
    io.err << a.db << ": no run " << a.run << '\n';
    return 1;
  }
  io.out << "key\tcount\tmisses\tmedian_ms\ttyped_instead\n";
  for (const KeyStat& k : keyStats(runs)) {
    io.out << toUtf8(std::u16string(1, k.key)) << '\t' << k.count << '\t' << k.misses << '\t' << median(k.medianMs)
           << '\t';
    for (std::size_t i = 0; i < k.typedInstead.size(); ++i) {
      if (i) io.out << ',';
      io.out << toUtf8(std::u16string(1, k.typedInstead[i].first)) << ':' << k.typedInstead[i].second;
    }
    io.out << '\n';
  }
  return 0;
}

int unitsStats(const std::vector<std::string>& args, Io& io) {
  const StoreArgs a = parseStoreArgs(args, false);
  auto store = openStore(a.db, io);
  if (!store) return 1;
  const std::vector<RunRecord> runs = selectedRuns(*store, a);
  if (readFailed(*store, a.db, io)) return 1;
  io.out << "unit\tcount\tmisses\tmedian_ms\n";
  for (const UnitStat& u : unitStats(runs)) {
    io.out << toUtf8(u.unit) << '\t' << u.count << '\t' << u.misses << '\t' << median(u.medianMs) << '\n';
  }
  return 0;
}

// The weakness model over the last runs, as the 苦手克服 drill draws by it.
int weak(const std::vector<std::string>& args, Io& io) {
  std::string db;
  int top = 0;  // 0: all
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& opt = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError{opt + " expects a value"};
      return args[++i];
    };
    if (opt == "--db") {
      db = value();
    } else if (opt == "--top") {
      top = positiveNumber(opt, value());
    } else {
      throw UsageError{"unexpected argument '" + opt + "'"};
    }
  }
  if (db.empty()) throw UsageError{"--db FILE is required"};
  auto store = openStore(db, io);
  if (!store) return 1;
  const std::vector<RunRecord> runs = recentRuns(*store);
  if (readFailed(*store, db, io)) return 1;
  const WeaknessModel model(runs);
  io.out << "unit\tscore\tmisses\tcount\tmedian_ms\n";
  int printed = 0;
  for (const Weakness& w : model.ranked()) {
    if (top && printed++ >= top) break;
    char score[32];
    std::snprintf(score, sizeof score, "%.3f", w.score);
    io.out << toUtf8(w.name) << '\t' << score << '\t' << w.misses << '\t' << w.count << '\t' << median(w.medianMs)
           << '\n';
  }
  return 0;
}

// The kept runs as the analysis screen's CSVに書き出す button writes them.
int exportCsv(const std::vector<std::string>& args, Io& io) {
  std::string db, out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--db") {
      if (i + 1 >= args.size()) throw UsageError{arg + " expects a value"};
      db = args[++i];
    } else if (!arg.empty() && arg.front() != '-' && out.empty()) {
      out = arg;
    } else {
      throw UsageError{"unexpected argument '" + arg + "'"};
    }
  }
  if (db.empty()) throw UsageError{"--db FILE is required"};
  if (out.empty()) throw UsageError{"OUT (the CSV file to write) is required"};
  requireRegularFile(db);
  auto store = openStore(db, io);
  if (!store) return 1;
  const std::vector<RunSummary> runs = store->runs();
  // A store damaged where the rows lie writes no CSV, as the button does.
  if (readFailed(*store, db, io)) return 1;
  if (!writeHistoryCsv(runs, out)) {
    io.err << out << ": cannot be written\n";
    return 1;
  }
  return 0;
}

// Pairs of units (or, with --keys, of keys): the second's time after the
// first, slowest first, as the analysis screen lists them.
int pairs(const std::vector<std::string>& args, Io& io) {
  bool byKeys = false;
  const StoreArgs a = parseStoreArgs(args, true, &byKeys);
  auto store = openStore(a.db, io);
  if (!store) return 1;
  const std::vector<RunRecord> runs = selectedRuns(*store, a);
  if (readFailed(*store, a.db, io)) return 1;
  if (a.run && runs.empty()) {
    io.err << a.db << ": no run " << a.run << '\n';
    return 1;
  }
  std::vector<PairStat> stats = byKeys ? keyPairs(runs) : unitPairs(runs);
  rankPairsBySlowness(stats);
  io.out << "first\tsecond\tcount\tmisses\tmedian_ms\n";
  for (const PairStat& p : stats) {
    io.out << toUtf8(p.first) << '\t' << toUtf8(p.second) << '\t' << p.count << '\t' << p.misses << '\t'
           << median(p.medianMs) << '\n';
  }
  return 0;
}

// One run's keystrokes as the replay view plays them.
int replay(const std::vector<std::string>& args, Io& io) {
  const StoreArgs a = parseStoreArgs(args, true);
  if (!a.run) throw UsageError{"--run ID is required"};
  if (a.last) throw UsageError{"unexpected argument '--last'"};
  auto store = openStore(a.db, io);
  if (!store) return 1;
  const std::vector<RunRecord> runs = store->records({a.run});
  if (readFailed(*store, a.db, io)) return 1;
  if (runs.empty()) {
    io.err << a.db << ": no run " << a.run << '\n';
    return 1;
  }
  const RunRecord& run = runs.front();
  io.out << "ms\tkey\texpected\tresult\tunit\n";
  for (const Keystroke& k : run.keys) {
    io.out << k.ms << '\t' << toUtf8(std::u16string(1, k.typed)) << '\t' << toUtf8(std::u16string(1, k.expected))
           << '\t' << (k.hit ? "hit" : "miss") << '\t' << toUtf8(std::u16string(run.unitOf(k))) << '\n';
  }
  return 0;
}

}  // namespace

LK_TOOL_COMMAND("history", "history --db FILE [--last N]: the kept runs, oldest first, tab-separated", history);
LK_TOOL_COMMAND("keys", "keys --db FILE [--run ID | --last N]: per expected key: count, misses, median time, what came instead",
                keys);
LK_TOOL_COMMAND("units-stats", "units-stats --db FILE [--last N]: per unit: count, misses, median time", unitsStats);
LK_TOOL_COMMAND("weak", "weak --db FILE [--top N]: the weakest units of the last 20 runs: score, misses, count, median time",
                weak);
LK_TOOL_COMMAND("pairs",
                "pairs --db FILE [--run ID | --last N] [--keys]: unit (or key) pairs seen 3 times or more, slowest first",
                pairs);
LK_TOOL_COMMAND("replay", "replay --db FILE --run ID: the run's keystrokes: time, key typed, key expected, hit or miss, unit",
                replay);
LK_TOOL_COMMAND("export-csv", "export-csv --db FILE OUT: the kept runs as CSV, as the analysis screen exports them", exportCsv);

}  // namespace lk::tool
