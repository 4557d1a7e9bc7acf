#include "progress/history_store.h"

#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <system_error>

#include "engine/text.h"

namespace lk {

namespace {

// ---- keystroke column -----------------------------------------------------

void putVarint(std::string& out, std::uint64_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<char>((v & 0x7f) | 0x80));
    v >>= 7;
  }
  out.push_back(static_cast<char>(v));
}

bool getVarint(std::string_view& in, std::uint64_t& v) {
  v = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    if (in.empty()) return false;
    const auto b = static_cast<unsigned char>(in.front());
    in.remove_prefix(1);
    v |= static_cast<std::uint64_t>(b & 0x7f) << shift;
    if (!(b & 0x80)) return true;
  }
  return false;
}

std::uint64_t zigzag(std::int64_t v) { return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63); }
std::int64_t unzigzag(std::uint64_t v) { return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1); }

// ---- statements -------------------------------------------------------------

// The first layout: runs and their keystrokes.
constexpr const char* kSchemaVersion1 = R"sql(
CREATE TABLE runs(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  started TEXT NOT NULL,
  mode TEXT NOT NULL,
  title TEXT NOT NULL,
  questions INTEGER NOT NULL,
  chars INTEGER NOT NULL,
  misses INTEGER NOT NULL,
  seconds INTEGER NOT NULL,
  speed INTEGER NOT NULL,
  accuracy INTEGER NOT NULL,
  settings TEXT NOT NULL
);
CREATE TABLE keystrokes(
  run_id INTEGER PRIMARY KEY REFERENCES runs(id) ON DELETE CASCADE,
  units TEXT NOT NULL,
  data BLOB NOT NULL
);
)sql";

// Version 2: the per-run tallies and the keystroke count, filled in from
// the keystrokes already kept (fillTallies) inside the same transaction.
constexpr const char* kUpgradeTo2 = R"sql(
ALTER TABLE runs ADD COLUMN key_count INTEGER NOT NULL DEFAULT 0;
CREATE TABLE run_keys(
  run_id INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE,
  key INTEGER NOT NULL,
  count INTEGER NOT NULL,
  misses INTEGER NOT NULL,
  PRIMARY KEY(run_id, key)
) WITHOUT ROWID;
CREATE TABLE run_units(
  run_id INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE,
  unit TEXT NOT NULL,
  count INTEGER NOT NULL,
  misses INTEGER NOT NULL,
  PRIMARY KEY(run_id, unit)
) WITHOUT ROWID;
CREATE INDEX runs_by_course ON runs(mode, title, id);
)sql";

// Version 3: whether a run was judged by any spelling (runs kept before
// read as not). The key tallies are counted again (upgradeTo3).
constexpr const char* kUpgradeTo3 = R"sql(
ALTER TABLE runs ADD COLUMN flexible INTEGER NOT NULL DEFAULT 0;
DELETE FROM run_keys;
)sql";

HistoryStore::Status statusOf(int rc) {
  switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
      return HistoryStore::Status::Ok;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return HistoryStore::Status::Busy;
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
      return HistoryStore::Status::Unreadable;
    case SQLITE_CORRUPT:
      return HistoryStore::Status::Damaged;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
      return HistoryStore::Status::CannotOpen;
    default:
      return HistoryStore::Status::Failed;
  }
}

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { rc_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool ok() const { return rc_ == SQLITE_OK || rc_ == SQLITE_ROW || rc_ == SQLITE_DONE; }
  int rc() const { return rc_; }

  void bind(int i, std::int64_t v) { sqlite3_bind_int64(stmt_, i, v); }
  void bind(int i, std::string_view text) {
    sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void bindBlob(int i, std::string_view bytes) {
    sqlite3_bind_blob(stmt_, i, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  }
  void bindNull(int i) { sqlite3_bind_null(stmt_, i); }

  // True while there is a row.
  bool step() {
    if (!stmt_) return false;
    rc_ = sqlite3_step(stmt_);
    return rc_ == SQLITE_ROW;
  }
  // Runs a statement that returns no rows; true when it completed.
  bool run() {
    step();
    return rc_ == SQLITE_DONE;
  }
  void reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }

  std::int64_t integer(int col) const { return sqlite3_column_int64(stmt_, col); }
  std::string_view text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col))) : std::string_view();
  }
  std::string_view blob(int col) const {
    const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, col));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col))) : std::string_view();
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
  int rc_ = SQLITE_OK;
};

int exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

struct RunTallies {
  std::map<char16_t, std::pair<int, int>> keys;
  std::map<std::u16string, std::pair<int, int>> units;
};

RunTallies tally(const std::vector<Keystroke>& keys, const std::vector<std::u16string>& units) {
  RunTallies t;
  for (const Keystroke& k : keys) {
    auto& kt = t.keys[k.expected];
    auto& ut = t.units[k.unit < units.size() ? units[k.unit] : std::u16string()];
    ++kt.first;
    ++ut.first;
    if (!k.hit) {
      ++kt.second;
      ++ut.second;
    }
  }
  return t;
}

int writeKeyTallies(sqlite3* db, std::int64_t runId, const RunTallies& t) {
  Statement k(db, "INSERT INTO run_keys(run_id, key, count, misses) VALUES(?1, ?2, ?3, ?4)");
  if (!k.ok()) return k.rc();
  for (const auto& [key, cm] : t.keys) {
    k.bind(1, runId);
    k.bind(2, static_cast<std::int64_t>(key));
    k.bind(3, cm.first);
    k.bind(4, cm.second);
    if (!k.run()) return k.rc();
    k.reset();
  }
  return SQLITE_OK;
}

// Writes the tallies and the keystroke count of one run.
int writeTallies(sqlite3* db, std::int64_t runId, const std::vector<Keystroke>& keys,
                 const std::vector<std::u16string>& units) {
  const RunTallies t = tally(keys, units);
  if (const int rc = writeKeyTallies(db, runId, t); rc != SQLITE_OK) return rc;
  Statement u(db, "INSERT INTO run_units(run_id, unit, count, misses) VALUES(?1, ?2, ?3, ?4)");
  if (!u.ok()) return u.rc();
  for (const auto& [unit, cm] : t.units) {
    u.bind(1, runId);
    u.bind(2, toUtf8(unit));
    u.bind(3, cm.first);
    u.bind(4, cm.second);
    if (!u.run()) return u.rc();
    u.reset();
  }
  Statement c(db, "UPDATE runs SET key_count = ?2 WHERE id = ?1");
  c.bind(1, runId);
  c.bind(2, static_cast<std::int64_t>(keys.size()));
  return c.run() ? SQLITE_OK : c.rc();
}

// Version 1 to 2: tallies of every run kept so far.
int upgradeTo2(sqlite3* db) {
  int rc = exec(db, kUpgradeTo2);
  if (rc != SQLITE_OK) return rc;
  Statement all(db, "SELECT run_id, units, data FROM keystrokes ORDER BY run_id");
  if (!all.ok()) return all.rc();
  std::vector<Keystroke> keys;
  while (all.step()) {
    // A keystroke column that does not decode stops the upgrade rather than
    // losing the run's tallies silently.
    if (!decodeKeystrokes(all.blob(2), keys)) return SQLITE_FORMAT;
    rc = writeTallies(db, all.integer(0), keys, decodeUnits(all.text(1)));
    if (rc != SQLITE_OK) return rc;
  }
  return all.rc() == SQLITE_DONE ? SQLITE_OK : all.rc();
}

// Version 2 to 3: the key tallies again, from keystrokes read with every hit
// under the key typed (runs judged by any spelling used to file a hit under
// the guide's key).
int upgradeTo3(sqlite3* db) {
  int rc = exec(db, kUpgradeTo3);
  if (rc != SQLITE_OK) return rc;
  Statement all(db, "SELECT run_id, units, data FROM keystrokes ORDER BY run_id");
  if (!all.ok()) return all.rc();
  std::vector<Keystroke> keys;
  while (all.step()) {
    if (!decodeKeystrokes(all.blob(2), keys)) return SQLITE_CORRUPT;
    rc = writeKeyTallies(db, all.integer(0), tally(keys, decodeUnits(all.text(1))));
    if (rc != SQLITE_OK) return rc;
  }
  return all.rc() == SQLITE_DONE ? SQLITE_OK : all.rc();
}

RunSummary readSummary(const Statement& s) {
  RunSummary r;
  r.id = s.integer(0);
  parseDateTime(s.text(1), r.started);
  parseDrillMode(s.text(2), r.mode);
  r.title = fromUtf8(s.text(3));
  r.questions = static_cast<int>(s.integer(4));
  r.chars = static_cast<int>(s.integer(5));
  r.misses = static_cast<int>(s.integer(6));
  r.seconds = static_cast<int>(s.integer(7));
  r.speed = static_cast<int>(s.integer(8));
  r.accuracy = static_cast<int>(s.integer(9));
  r.keyCount = static_cast<int>(s.integer(10));
  r.settings = std::string(s.text(11));
  r.flexible = s.integer(12) != 0;
  return r;
}

constexpr const char* kSummaryColumns =
    "id, started, mode, title, questions, chars, misses, seconds, speed, accuracy, key_count, settings, flexible";

}  // namespace

std::string encodeKeystrokes(const std::vector<Keystroke>& keys) {
  std::string out;
  out.reserve(keys.size() * 6);
  std::int64_t previous = 0;
  for (const Keystroke& k : keys) {
    putVarint(out, zigzag(static_cast<std::int64_t>(k.ms) - previous));
    previous = k.ms;
    putVarint(out, k.expected);
    putVarint(out, k.typed);
    putVarint(out, k.unit);
    putVarint(out, (k.afterPause ? 0x200u : 0u) | (static_cast<std::uint64_t>(k.unitPos) << 1) | (k.hit ? 1u : 0u));
  }
  return out;
}

bool decodeKeystrokes(std::string_view bytes, std::vector<Keystroke>& keys) {
  keys.clear();
  std::int64_t ms = 0;
  while (!bytes.empty()) {
    std::uint64_t step, expected, typed, unit, placeHit;
    if (!getVarint(bytes, step) || !getVarint(bytes, expected) || !getVarint(bytes, typed) ||
        !getVarint(bytes, unit) || !getVarint(bytes, placeHit)) {
      return false;
    }
    if (expected > 0xffff || typed > 0xffff || unit > 0xffff || placeHit > 0x3ff) return false;
    ms += unzigzag(step);
    const bool hit = (placeHit & 1) != 0;
    // A hit is the key typed; older records of flexible runs held the guide's key there.
    keys.push_back(Keystroke{static_cast<std::int32_t>(ms), static_cast<char16_t>(hit ? typed : expected),
                             static_cast<char16_t>(typed), static_cast<std::uint16_t>(unit),
                             static_cast<std::uint8_t>((placeHit >> 1) & 0xff), hit, (placeHit & 0x200) != 0});
  }
  return true;
}

std::string encodeUnits(const std::vector<std::u16string>& units) {
  std::string out;
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (i) out.push_back('\n');
    out += toUtf8(units[i]);
  }
  return out;
}

std::vector<std::u16string> decodeUnits(std::string_view text) {
  std::vector<std::u16string> out;
  if (text.empty()) return out;
  std::size_t start = 0;
  while (true) {
    const std::size_t nl = text.find('\n', start);
    out.push_back(fromUtf8(text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start)));
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  return out;
}

namespace {

// PRAGMA quick_check reads every page (and, as the first read, rolls back a
// hot journal where the connection may write). Anything but "ok" is damage.
HistoryStore::Status checkPages(sqlite3* db, int* rcOut = nullptr) {
  Statement q(db, "PRAGMA quick_check(1)");
  const bool row = q.ok() && q.step();
  if (rcOut) *rcOut = q.rc();
  if (!row) {
    switch (q.rc() & 0xff) {
      case SQLITE_CORRUPT:
        return HistoryStore::Status::Damaged;
      case SQLITE_NOTADB:
        return HistoryStore::Status::Unreadable;
      default: {
        const HistoryStore::Status st = statusOf(q.rc());
        return st == HistoryStore::Status::Ok ? HistoryStore::Status::Failed : st;
      }
    }
  }
  return q.text(0) == "ok" ? HistoryStore::Status::Ok : HistoryStore::Status::Damaged;
}

// A copy of `db` in memory: reading it never touches the file again.
sqlite3* copyIntoMemory(sqlite3* db, int& rc) {
  sqlite3* memory = nullptr;
  if (sqlite3_open(":memory:", &memory) != SQLITE_OK) {
    sqlite3_close(memory);
    rc = SQLITE_NOMEM;
    return nullptr;
  }
  sqlite3_backup* copy = sqlite3_backup_init(memory, "main", db, "main");
  rc = copy ? sqlite3_backup_step(copy, -1) : sqlite3_errcode(memory);
  sqlite3_backup_finish(copy);
  if (rc != SQLITE_DONE) {
    sqlite3_close(memory);
    return nullptr;
  }
  rc = SQLITE_OK;
  return memory;
}

std::filesystem::path journalOf(const std::filesystem::path& path) {
  return std::filesystem::path(path.string() + "-journal");
}

// The file and its hot journal copied to a private folder and opened there
// (which rolls the journal back on the copies), then taken into memory: how
// a crashed store in a folder the user cannot write is still read.
sqlite3* rollBackOnACopy(const std::filesystem::path& path, HistoryStore::Status& status) {
  std::string pattern = (std::filesystem::temp_directory_path() / "luminakey-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    status = HistoryStore::Status::CannotOpen;
    return nullptr;
  }
  const std::filesystem::path dir = pattern;
  const std::filesystem::path copy = dir / kHistoryFileName;
  std::error_code ec;
  sqlite3* memory = nullptr;
  if (std::filesystem::copy_file(path, copy, ec) && std::filesystem::copy_file(journalOf(path), journalOf(copy), ec)) {
    // The copies keep the originals' modes, which are why this path is taken.
    for (const auto& p : {copy, journalOf(copy)}) {
      std::filesystem::permissions(p, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, ec);
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(copy.string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
      status = checkPages(db);
      if (status == HistoryStore::Status::Ok) {
        int rc = SQLITE_OK;
        memory = copyIntoMemory(db, rc);
        if (!memory) status = HistoryStore::Status::Failed;
      }
    } else {
      status = HistoryStore::Status::CannotOpen;
    }
    sqlite3_close(db);
  } else {
    status = HistoryStore::Status::CannotOpen;
  }
  std::filesystem::remove_all(dir, ec);
  return memory;
}

}  // namespace

std::unique_ptr<HistoryStore> HistoryStore::open(const std::filesystem::path& path, Status& status, Mode mode) {
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  if (mode != Mode::ReadWrite && !exists) {
    status = Status::CannotOpen;
    return nullptr;
  }
  sqlite3* db = nullptr;
  // Even a reader opens for writing where it may, so that SQLite can roll
  // back a hot journal; ReadOnly still never changes the schema.
  const int flags = mode == Mode::ReadWrite ? (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) : SQLITE_OPEN_READWRITE;
  int rc = sqlite3_open_v2(path.string().c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK && mode == Mode::ReadOnly) {
    sqlite3_close(db);
    db = nullptr;
    rc = sqlite3_open_v2(path.string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  }
  if (rc != SQLITE_OK) {
    sqlite3_close(db);
    status = Status::CannotOpen;
    return nullptr;
  }
  // Another copy of the program may be writing a run: wait briefly, then give up.
  sqlite3_busy_timeout(db, 300);
  std::unique_ptr<HistoryStore> store(new HistoryStore(db));

  int checkRc = SQLITE_OK;
  status = checkPages(db, &checkRc);
  bool inMemory = false;
  if (status != Status::Ok && mode == Mode::ReadOnly && (checkRc & 0xff) == SQLITE_READONLY &&
      std::filesystem::exists(journalOf(path), ec)) {
    // A hot journal this process may not roll back in place.
    sqlite3* memory = rollBackOnACopy(path, status);
    if (!memory) return nullptr;
    store.reset(new HistoryStore(memory));
    inMemory = true;
  }
  if (status != Status::Ok) return nullptr;

  status = store->prepareSchema(mode);
  if (status == Status::Outdated) {
    // Read-only, but written by an older version: the file is copied into
    // memory and upgraded there, so it can be read without being changed.
    if (!inMemory) {
      sqlite3* memory = copyIntoMemory(store->db_, rc);
      if (!memory) {
        status = statusOf(rc) == Status::Ok ? Status::Failed : statusOf(rc);
        return nullptr;
      }
      store.reset(new HistoryStore(memory));
    }
    status = store->prepareSchema(Mode::ReadWrite);
  }
  if (status != Status::Ok) return nullptr;
  return store;
}

HistoryStore::Status HistoryStore::copy(const std::filesystem::path& from, const std::filesystem::path& to) {
  Status status;
  const auto source = open(from, status, Mode::ReadOnly);
  if (!source) return status;
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(to, ec))) return Status::Failed;
  // Written beside the target and linked to its name only when complete, so
  // an interrupted copy never stands in for the store it copies, and a
  // store another copy of the program started meanwhile is never replaced.
  std::filesystem::path temp = to;
  temp += ".copy" + std::to_string(getpid());
  std::filesystem::remove(temp, ec);
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(temp.string().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_backup* b = sqlite3_backup_init(db, "main", source->db_, "main");
    rc = b ? sqlite3_backup_step(b, -1) : sqlite3_errcode(db);
    sqlite3_backup_finish(b);
    if (rc == SQLITE_DONE) rc = SQLITE_OK;
  }
  if (sqlite3_close(db) != SQLITE_OK && rc == SQLITE_OK) rc = SQLITE_IOERR;
  if (rc == SQLITE_OK) {
    std::error_code seen;
    const auto there = [&] { return std::filesystem::exists(std::filesystem::symlink_status(to, seen)); };
    std::filesystem::create_hard_link(temp, to, ec);
    // A folder without hard links: the name is checked again just before.
    if (ec && !there()) std::filesystem::rename(temp, to, ec);
    const bool made = !ec || there();
    std::filesystem::remove(temp, ec);
    if (made) return Status::Ok;
    rc = SQLITE_CANTOPEN;
  }
  std::filesystem::remove(temp, ec);
  std::filesystem::remove(journalOf(temp), ec);
  status = statusOf(rc);
  return status == Status::Ok ? Status::Failed : status;
}

HistoryStore::~HistoryStore() { sqlite3_close(db_); }

HistoryStore::Status HistoryStore::prepareSchema(Mode mode) {
  exec(db_, "PRAGMA foreign_keys = ON");
  // Every check and change of the schema happens under one write lock, so
  // two programs starting together cannot both create or upgrade it.
  const bool writing = mode != Mode::ReadOnly;
  if (writing) {
    const int rc = exec(db_, "BEGIN IMMEDIATE");
    if (rc != SQLITE_OK) return statusOf(rc);
  }
  auto fail = [&](int rc) {
    if (writing) exec(db_, "ROLLBACK");
    return statusOf(rc) == Status::Ok ? Status::Failed : statusOf(rc);
  };

  Statement v(db_, "PRAGMA user_version");
  if (!v.ok()) return fail(v.rc());
  if (!v.step()) return fail(v.rc());
  version_ = static_cast<int>(v.integer(0));
  Statement t(db_, "SELECT count(*) FROM sqlite_master");
  if (!t.ok() || !t.step()) return fail(t.rc());
  const std::int64_t tables = t.integer(0);

  if (version_ > kSchemaVersion) {
    if (writing) exec(db_, "ROLLBACK");
    return Status::TooNew;
  }
  // A file with tables but no version of ours belongs to someone else.
  if (version_ == 0 && tables > 0) return fail(SQLITE_NOTADB);
  if (mode == Mode::ReadOnly) {
    if (version_ == kSchemaVersion) return Status::Ok;
    return version_ == 0 ? Status::CannotOpen : Status::Outdated;
  }
  if (version_ < kSchemaVersion) {
    int rc = SQLITE_OK;
    if (version_ == 0) rc = exec(db_, kSchemaVersion1);
    if (rc == SQLITE_OK && version_ <= 1) rc = upgradeTo2(db_);
    if (rc == SQLITE_OK && version_ <= 2) rc = upgradeTo3(db_);
    if (rc == SQLITE_OK) rc = exec(db_, ("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    if (rc != SQLITE_OK) return fail(rc);
    version_ = kSchemaVersion;
  }
  const int rc = exec(db_, "COMMIT");
  if (rc != SQLITE_OK) return fail(rc);
  return Status::Ok;
}

int HistoryStore::insertRun(RunRecord& run) {
  Statement r(db_,
              "INSERT INTO runs(started, mode, title, questions, chars, misses, seconds, speed, accuracy, settings,"
              " flexible) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
  if (!r.ok()) return r.rc();
  r.bind(1, formatDateTime(run.started));
  r.bind(2, drillModeName(run.mode));
  r.bind(3, toUtf8(run.title));
  r.bind(4, run.questions);
  r.bind(5, run.chars);
  r.bind(6, run.misses);
  r.bind(7, run.seconds);
  r.bind(8, run.speed);
  r.bind(9, run.accuracy);
  r.bind(10, run.settings);
  r.bind(11, run.flexible ? 1 : 0);
  if (!r.run()) return r.rc();
  const std::int64_t id = sqlite3_last_insert_rowid(db_);

  Statement k(db_, "INSERT INTO keystrokes(run_id, units, data) VALUES(?1, ?2, ?3)");
  if (!k.ok()) return k.rc();
  k.bind(1, id);
  k.bind(2, encodeUnits(run.units));
  k.bindBlob(3, encodeKeystrokes(run.keys));
  if (!k.run()) return k.rc();
  const int rc = writeTallies(db_, id, run.keys, run.units);
  if (rc != SQLITE_OK) return rc;
  run.id = id;
  return SQLITE_OK;
}

HistoryStore::Status HistoryStore::addRun(RunRecord& run) { return addRuns(std::span<RunRecord>(&run, 1)); }

HistoryStore::Status HistoryStore::addRuns(std::span<RunRecord> runs) {
  int rc = exec(db_, "BEGIN IMMEDIATE");
  if (rc != SQLITE_OK) return lastStatus_ = statusOf(rc);
  for (RunRecord& run : runs) {
    rc = insertRun(run);
    if (rc != SQLITE_OK) break;
  }
  if (rc == SQLITE_OK) rc = exec(db_, "COMMIT");
  if (rc != SQLITE_OK) {
    exec(db_, "ROLLBACK");
    // Nothing was kept: no run may claim an id.
    for (RunRecord& run : runs) run.id = 0;
    const Status s = statusOf(rc);
    return lastStatus_ = (s == Status::Ok ? Status::Failed : s);
  }
  return lastStatus_ = Status::Ok;
}

std::vector<RunSummary> HistoryStore::runs(int last, const RunFilter& filter) const {
  const std::string sql = std::string("SELECT ") + kSummaryColumns +
                          " FROM runs WHERE (?1 IS NULL OR mode = ?1) AND (?2 IS NULL OR title = ?2)"
                          " ORDER BY id DESC LIMIT ?3";
  Statement s(db_, sql.c_str());
  std::vector<RunSummary> out;
  if (!s.ok()) return lastStatus_ = statusOf(s.rc()), out;
  if (filter.mode) s.bind(1, drillModeName(*filter.mode)); else s.bindNull(1);
  if (filter.title) s.bind(2, toUtf8(*filter.title)); else s.bindNull(2);
  s.bind(3, last > 0 ? last : -1);
  while (s.step()) out.push_back(readSummary(s));
  lastStatus_ = statusOf(s.rc());
  std::reverse(out.begin(), out.end());
  return out;
}

std::vector<std::int64_t> HistoryStore::lastRunIds(int last) const {
  Statement s(db_, "SELECT id FROM runs ORDER BY id DESC LIMIT ?1");
  std::vector<std::int64_t> out;
  s.bind(1, last > 0 ? last : -1);
  while (s.step()) out.push_back(s.integer(0));
  lastStatus_ = statusOf(s.rc());
  std::reverse(out.begin(), out.end());
  return out;
}

std::vector<RunRecord> HistoryStore::records(const std::vector<std::int64_t>& ids) const {
  const std::string sql = std::string("SELECT ") + kSummaryColumns +
                          ", k.units, k.data FROM runs LEFT JOIN keystrokes AS k ON k.run_id = runs.id WHERE id = ?1";
  Statement s(db_, sql.c_str());
  std::vector<RunRecord> out;
  for (std::int64_t id : ids) {
    s.bind(1, id);
    if (s.step()) {
      const RunSummary sum = readSummary(s);
      RunRecord r;
      r.id = sum.id;
      r.mode = sum.mode;
      r.started = sum.started;
      r.title = sum.title;
      r.questions = sum.questions;
      r.chars = sum.chars;
      r.misses = sum.misses;
      r.seconds = sum.seconds;
      r.speed = sum.speed;
      r.accuracy = sum.accuracy;
      r.settings = sum.settings;
      r.flexible = sum.flexible;
      r.units = decodeUnits(s.text(13));
      if (!decodeKeystrokes(s.blob(14), r.keys)) r.keys.clear();
      out.push_back(std::move(r));
    }
    lastStatus_ = statusOf(s.rc());
    s.reset();
    if (lastStatus_ != Status::Ok) break;
  }
  return out;
}

HistoryTotals HistoryStore::totals(const RunFilter& filter) const {
  Statement s(db_,
              "SELECT count(*), coalesce(sum(key_count), 0), coalesce(sum(seconds), 0) FROM runs"
              " WHERE (?1 IS NULL OR mode = ?1) AND (?2 IS NULL OR title = ?2)");
  HistoryTotals t;
  if (filter.mode) s.bind(1, drillModeName(*filter.mode)); else s.bindNull(1);
  if (filter.title) s.bind(2, toUtf8(*filter.title)); else s.bindNull(2);
  if (s.step()) {
    t.runs = static_cast<int>(s.integer(0));
    t.keys = s.integer(1);
    t.seconds = s.integer(2);
  }
  return t;
}

std::vector<std::pair<DrillMode, std::u16string>> HistoryStore::courses() const {
  Statement s(db_, "SELECT DISTINCT mode, title FROM runs ORDER BY mode, title");
  std::vector<std::pair<DrillMode, std::u16string>> out;
  while (s.step()) {
    DrillMode m;
    if (parseDrillMode(s.text(0), m)) out.emplace_back(m, fromUtf8(s.text(1)));
  }
  return out;
}

std::vector<TallyRow> HistoryStore::tallies(const char* table, const char* column, int last) const {
  const std::string sql = std::string("SELECT ") + column + ", sum(count), sum(misses) FROM " + table +
                          " WHERE run_id IN (SELECT id FROM runs ORDER BY id DESC LIMIT ?1) GROUP BY " + column;
  Statement s(db_, sql.c_str());
  std::vector<TallyRow> out;
  s.bind(1, last > 0 ? last : -1);
  const bool isKey = std::string_view(column) == "key";
  while (s.step()) {
    TallyRow row;
    row.name = isKey ? std::u16string(1, static_cast<char16_t>(s.integer(0))) : fromUtf8(s.text(0));
    row.count = s.integer(1);
    row.misses = s.integer(2);
    out.push_back(std::move(row));
  }
  lastStatus_ = statusOf(s.rc());
  std::sort(out.begin(), out.end(), [](const TallyRow& a, const TallyRow& b) {
    if (a.misses != b.misses) return a.misses > b.misses;
    return a.name < b.name;
  });
  return out;
}

std::vector<TallyRow> HistoryStore::unitTallies(int last) const { return tallies("run_units", "unit", last); }
std::vector<TallyRow> HistoryStore::keyTallies(int last) const { return tallies("run_keys", "key", last); }

std::vector<TallyRow> HistoryStore::weakestUnits(int last, int limit) const {
  std::vector<TallyRow> all = unitTallies(last);
  std::erase_if(all, [](const TallyRow& r) { return r.misses == 0 || r.count == 0; });
  // Highest miss rate first; of equal rates, the one missed more often.
  std::stable_sort(all.begin(), all.end(), [](const TallyRow& a, const TallyRow& b) {
    const std::int64_t l = a.misses * b.count, r = b.misses * a.count;
    if (l != r) return l > r;
    return a.misses > b.misses;
  });
  if (limit >= 0 && static_cast<int>(all.size()) > limit) all.resize(static_cast<std::size_t>(limit));
  return all;
}

}  // namespace lk
