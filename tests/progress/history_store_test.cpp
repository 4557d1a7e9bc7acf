// The history store: runs kept and read back whole, tallies that agree with
// the keystrokes, an upgrade from the first layout, and stores that cannot
// be used left exactly as they were.
#include "progress/history_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "fakes/fake_services.h"
#include "fakes/store_fixtures.h"

namespace lk {
namespace {

using Status = HistoryStore::Status;

std::string readBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// A run of `n` keys over a few units, with misses, from a seeded generator.
RunRecord randomRun(std::mt19937& gen, int n, DrillMode mode = DrillMode::Word, std::u16string title = u"初 級") {
  RunRecord r;
  r.mode = mode;
  r.title = std::move(title);
  r.started = LocalDateTime{2026, 3, 4, 5, 6, 7};
  r.units = {u"し", u"しゃ", u"っ", u"ん", u"h", u"-"};
  const std::u16string keys = u"shixtun-";
  std::int32_t ms = 0;
  for (int i = 0; i < n; ++i) {
    ms += static_cast<std::int32_t>(gen() % 900);
    const char16_t expected = keys[gen() % keys.size()];
    const bool hit = gen() % 5 != 0;
    const char16_t typed = hit ? expected : keys[gen() % keys.size()];
    r.keys.push_back(Keystroke{ms, expected, typed, static_cast<std::uint16_t>(gen() % r.units.size()),
                               static_cast<std::uint8_t>(gen() % 3), hit && typed == expected});
  }
  r.chars = n;
  r.misses = static_cast<int>(std::count_if(r.keys.begin(), r.keys.end(), [](const Keystroke& k) { return !k.hit; }));
  r.seconds = ms / 1000 + 1;
  r.speed = 123;
  r.accuracy = 95;
  r.questions = 10;
  r.settings = "ka=ca saidai=30 koukaon=0";
  return r;
}

class HistoryStoreTest : public ::testing::Test {
 protected:
  test::FakeProgramFolder folder;
  std::filesystem::path path() const { return folder.root / kHistoryFileName; }
  std::unique_ptr<HistoryStore> open(HistoryStore::Mode mode = HistoryStore::Mode::ReadWrite) {
    Status status;
    auto store = HistoryStore::open(path(), status, mode);
    EXPECT_EQ(status, Status::Ok);
    return store;
  }
};

TEST(KeystrokeColumn, EncodesAndDecodesEveryField) {
  const std::vector<Keystroke> keys = {{0, u'a', u'a', 0, 0, true},
                                       {70000, u'あ', u'\xffff', 65535, 255, false, true},
                                       {69999, u's', u'x', 3, 1, false}};  // a clock step back survives
  std::vector<Keystroke> back;
  ASSERT_TRUE(decodeKeystrokes(encodeKeystrokes(keys), back));
  EXPECT_EQ(back, keys);
  std::string cut = encodeKeystrokes(keys);
  cut.pop_back();
  EXPECT_FALSE(decodeKeystrokes(cut, back));
  EXPECT_EQ(decodeUnits(encodeUnits({u"し", u"", u"ん"})), (std::vector<std::u16string>{u"し", u"", u"ん"}));
  EXPECT_TRUE(decodeUnits("").empty());
}

TEST_F(HistoryStoreTest, RunsComeBackWholeAndInOrder) {
  std::mt19937 gen(7);
  std::vector<RunRecord> kept;
  {
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->schemaVersion(), HistoryStore::kSchemaVersion);
    for (int i = 0; i < 3; ++i) {
      RunRecord r = randomRun(gen, 40 + i, i == 1 ? DrillMode::Music : DrillMode::Word, i == 1 ? u"歌" : u"初 級");
      ASSERT_EQ(store->addRun(r), Status::Ok);
      EXPECT_GT(r.id, 0);
      kept.push_back(r);
    }
  }
  auto store = open(HistoryStore::Mode::ReadOnly);
  ASSERT_TRUE(store);
  const auto back = store->records(store->lastRunIds(0));
  ASSERT_EQ(back.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(back[i], kept[i]) << i;

  const auto summaries = store->runs(2);
  ASSERT_EQ(summaries.size(), 2u);
  EXPECT_EQ(summaries[0].id, kept[1].id);  // oldest of the last two first
  EXPECT_EQ(summaries[1].keyCount, 42);
  EXPECT_EQ(store->runs(0, RunFilter{DrillMode::Music, std::nullopt}).size(), 1u);
  EXPECT_EQ(store->runs(0, RunFilter{std::nullopt, u"初 級"}).size(), 2u);
  const HistoryTotals t = store->totals();
  EXPECT_EQ(t.runs, 3);
  EXPECT_EQ(t.keys, 40 + 41 + 42);
  // Totals of the runs a filter lets through.
  EXPECT_EQ(store->totals(RunFilter{DrillMode::Music, std::nullopt}).keys, 41);
  EXPECT_EQ(store->totals(RunFilter{std::nullopt, u"初 級"}).runs, 2);
  EXPECT_EQ(store->totals(RunFilter{DrillMode::Char, u"初 級"}).runs, 0);
  EXPECT_EQ(store->courses().size(), 2u);
}

TEST_F(HistoryStoreTest, TalliesAgreeWithARecountOfTheKeystrokes) {
  std::mt19937 gen(11);
  auto store = open();
  ASSERT_TRUE(store);
  for (int i = 0; i < 12; ++i) {
    RunRecord r = randomRun(gen, 30 + static_cast<int>(gen() % 200));
    ASSERT_EQ(store->addRun(r), Status::Ok);
  }
  for (int last : {1, 5, 12, 0}) {
    const auto runs = store->records(store->lastRunIds(last));
    std::map<std::u16string, std::pair<std::int64_t, std::int64_t>> units, keys;
    for (const RunRecord& r : runs) {
      for (const Keystroke& k : r.keys) {
        auto& u = units[std::u16string(r.unitOf(k))];
        auto& e = keys[std::u16string(1, k.expected)];
        ++u.first;
        ++e.first;
        u.second += !k.hit;
        e.second += !k.hit;
      }
    }
    auto check = [&](const std::vector<TallyRow>& rows, const auto& want, const char* what) {
      ASSERT_EQ(rows.size(), want.size()) << what << " last " << last;
      for (const TallyRow& row : rows) {
        auto it = want.find(row.name);
        ASSERT_NE(it, want.end()) << what;
        EXPECT_EQ(row.count, it->second.first) << what << " last " << last;
        EXPECT_EQ(row.misses, it->second.second) << what << " last " << last;
      }
      for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_GE(rows[i - 1].misses, rows[i].misses) << what;
    };
    check(store->unitTallies(last), units, "units");
    check(store->keyTallies(last), keys, "keys");
    // The same counts through the per-run statistics.
    for (const UnitStat& u : unitStats(runs)) {
      EXPECT_EQ(u.count, units[u.unit].first);
      EXPECT_EQ(u.misses, units[u.unit].second);
    }
  }
  const auto weak = store->weakestUnits(20, 3);
  ASSERT_LE(weak.size(), 3u);
  for (std::size_t i = 1; i < weak.size(); ++i) {
    EXPECT_GE(weak[i - 1].misses * weak[i].count, weak[i].misses * weak[i - 1].count);
  }
}

// The first layout of the store, as version 1 wrote it.
void writeVersion1(const std::filesystem::path& p, const std::vector<RunRecord>& runs, bool damageLast = false) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(p.string().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE runs(id INTEGER PRIMARY KEY AUTOINCREMENT, started TEXT NOT NULL, mode TEXT NOT "
                         "NULL, title TEXT NOT NULL, questions INTEGER NOT NULL, chars INTEGER NOT NULL, misses INTEGER "
                         "NOT NULL, seconds INTEGER NOT NULL, speed INTEGER NOT NULL, accuracy INTEGER NOT NULL, "
                         "settings TEXT NOT NULL);"
                         "CREATE TABLE keystrokes(run_id INTEGER PRIMARY KEY REFERENCES runs(id) ON DELETE CASCADE, "
                         "units TEXT NOT NULL, data BLOB NOT NULL);"
                         "PRAGMA user_version = 1;",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const RunRecord& r = runs[i];
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO runs(started, mode, title, questions, chars, misses, seconds, speed, accuracy, "
                       "settings) VALUES('2026-01-02T03:04:05', 'word', ?1, 10, ?2, ?3, 30, 100, 90, '')",
                       -1, &s, nullptr);
    const std::string title = "run " + std::to_string(i);
    sqlite3_bind_text(s, 1, title.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(s, 2, r.chars);
    sqlite3_bind_int(s, 3, r.misses);
    ASSERT_EQ(sqlite3_step(s), SQLITE_DONE);
    sqlite3_finalize(s);
    std::string data = encodeKeystrokes(r.keys);
    if (damageLast && i + 1 == runs.size()) data.back() = '\x80';  // a varint that never ends
    const std::string units = encodeUnits(r.units);
    sqlite3_prepare_v2(db, "INSERT INTO keystrokes(run_id, units, data) VALUES(last_insert_rowid(), ?1, ?2)", -1, &s,
                       nullptr);
    sqlite3_bind_text(s, 1, units.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_blob(s, 2, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
    ASSERT_EQ(sqlite3_step(s), SQLITE_DONE);
    sqlite3_finalize(s);
  }
  sqlite3_close(db);
}

TEST_F(HistoryStoreTest, UpgradesTheFirstLayoutKeepingEveryRun) {
  std::mt19937 gen(3);
  const std::vector<RunRecord> old = {randomRun(gen, 50), randomRun(gen, 80)};
  writeVersion1(path(), old);
  {
    // Read-only: upgraded on a copy, the file stays in the first layout.
    const std::string before = readBytes(path());
    auto reader = open(HistoryStore::Mode::ReadOnly);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->totals().keys, 130);
    EXPECT_EQ(reader->records(reader->lastRunIds(1))[0].keys, old[1].keys);
    reader.reset();
    EXPECT_EQ(readBytes(path()), before);
  }
  auto store = open();
  ASSERT_TRUE(store);
  EXPECT_EQ(store->schemaVersion(), HistoryStore::kSchemaVersion);
  const auto back = store->records(store->lastRunIds(0));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1].keys, old[1].keys);
  EXPECT_EQ(back[0].title, u"run 0");
  EXPECT_EQ(store->totals().keys, 130);
  std::int64_t misses = 0;
  for (const TallyRow& t : store->unitTallies(0)) misses += t.misses;
  EXPECT_EQ(misses, old[0].misses + old[1].misses);
  // New runs go in after the old ones.
  RunRecord r = randomRun(gen, 5);
  ASSERT_EQ(store->addRun(r), Status::Ok);
  EXPECT_EQ(store->runs().back().id, r.id);
  EXPECT_EQ(store->runs().size(), 3u);
}

// The second layout: the first with the tallies, filed by the expected key
// as version 2 did.
void writeVersion2(const std::filesystem::path& p, const std::vector<RunRecord>& runs) {
  writeVersion1(p, runs);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(p.string().c_str(), &db), SQLITE_OK);
  std::string sql =
      "ALTER TABLE runs ADD COLUMN key_count INTEGER NOT NULL DEFAULT 0;"
      "CREATE TABLE run_keys(run_id INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE, key INTEGER NOT NULL, "
      "count INTEGER NOT NULL, misses INTEGER NOT NULL, PRIMARY KEY(run_id, key)) WITHOUT ROWID;"
      "CREATE TABLE run_units(run_id INTEGER NOT NULL REFERENCES runs(id) ON DELETE CASCADE, unit TEXT NOT NULL, "
      "count INTEGER NOT NULL, misses INTEGER NOT NULL, PRIMARY KEY(run_id, unit)) WITHOUT ROWID;"
      "CREATE INDEX runs_by_course ON runs(mode, title, id);";
  for (std::size_t i = 0; i < runs.size(); ++i) {
    std::map<char16_t, std::pair<int, int>> keys;
    for (const Keystroke& k : runs[i].keys) {
      ++keys[k.expected].first;
      keys[k.expected].second += !k.hit;
    }
    for (const auto& [key, cm] : keys) {
      sql += "INSERT INTO run_keys VALUES(" + std::to_string(i + 1) + ", " + std::to_string(key) + ", " +
             std::to_string(cm.first) + ", " + std::to_string(cm.second) + ");";
    }
    sql += "UPDATE runs SET key_count = " + std::to_string(runs[i].keys.size()) + " WHERE id = " + std::to_string(i + 1) + ";";
  }
  sql += "PRAGMA user_version = 2;";
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

TEST_F(HistoryStoreTest, UpgradeKeepsWhetherARunWasFlexibleAndFilesHitsByTheKeyTyped) {
  // A run kept by version 2 in どの綴りでも: "shi" for し with the guide's
  // "i" recorded as expected on the hit of "h".
  RunRecord old;
  old.units = {u"し"};
  old.keys = {{100, u's', u's', 0, 0, true}, {200, u'i', u'h', 0, 1, true}, {300, u'i', u'i', 0, 2, true}};
  writeVersion2(path(), {old});

  auto store = open();
  ASSERT_TRUE(store);
  EXPECT_EQ(store->schemaVersion(), HistoryStore::kSchemaVersion);
  ASSERT_EQ(store->runs().size(), 1u);
  EXPECT_FALSE(store->runs()[0].flexible);  // not known then: read as off
  const auto back = store->records(store->lastRunIds(0));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].keys[1].expected, u'h');
  std::map<std::u16string, std::int64_t> keys;
  for (const TallyRow& t : store->keyTallies(0)) keys[t.name] = t.count;
  EXPECT_EQ(keys, (std::map<std::u16string, std::int64_t>{{u"h", 1}, {u"i", 1}, {u"s", 1}}));

  std::mt19937 gen(9);
  RunRecord flexible = randomRun(gen, 10);
  flexible.flexible = true;
  ASSERT_EQ(store->addRun(flexible), Status::Ok);
  EXPECT_TRUE(store->runs().back().flexible);
  EXPECT_EQ(store->records({flexible.id})[0], flexible);
}

TEST_F(HistoryStoreTest, FailedUpgradeLeavesTheFileAsItWas) {
  std::mt19937 gen(5);
  writeVersion1(path(), {randomRun(gen, 20), randomRun(gen, 20)}, true);
  const std::string before = readBytes(path());
  for (auto mode : {HistoryStore::Mode::ReadWrite, HistoryStore::Mode::ReadOnly}) {
    Status status;
    EXPECT_FALSE(HistoryStore::open(path(), status, mode));
    EXPECT_EQ(status, Status::Unreadable);
  }
  EXPECT_EQ(readBytes(path()), before);
}

TEST_F(HistoryStoreTest, UnusableFilesAreNeverChanged) {
  struct Case {
    const char* name;
    std::string bytes;  // empty: build an SQLite file below
    const char* sql;
    Status want;
  };
  const std::vector<Case> cases = {
      {"not a database", std::string(3000, 'x'), nullptr, Status::Unreadable},
      {"damaged header", "SQLite format 3" + std::string(1, '\0') + std::string(500, '\x7f'), nullptr,
       Status::Unreadable},
      {"someone else's database", "", "CREATE TABLE notes(x)", Status::Unreadable},
      {"newer version", "", "CREATE TABLE runs(x); PRAGMA user_version = 99", Status::TooNew},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(path());
    if (c.sql) {
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open(path().string().c_str(), &db), SQLITE_OK);
      ASSERT_EQ(sqlite3_exec(db, c.sql, nullptr, nullptr, nullptr), SQLITE_OK);
      sqlite3_close(db);
    } else {
      folder.write(kHistoryFileName, c.bytes);
    }
    const std::string before = readBytes(path());
    for (auto mode : {HistoryStore::Mode::ReadWrite, HistoryStore::Mode::ReadOnly}) {
      Status status;
      EXPECT_FALSE(HistoryStore::open(path(), status, mode)) << c.name;
      EXPECT_EQ(status, c.want) << c.name;
    }
    EXPECT_EQ(readBytes(path()), before) << c.name;
  }
}

TEST_F(HistoryStoreTest, FolderThatCannotBeWritten) {
  // Root ignores permission bits, so it tries a folder no one may create files in.
  std::filesystem::path dir = folder.root / "locked";
  if (geteuid() == 0) {
    dir = "/proc/luminakey-test";
  } else {
    std::filesystem::create_directory(dir);
    std::filesystem::permissions(dir, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  }
  Status status;
  EXPECT_FALSE(HistoryStore::open(dir / kHistoryFileName, status));
  EXPECT_EQ(status, Status::CannotOpen);
  EXPECT_FALSE(HistoryStore::open(folder.root / "missing" / kHistoryFileName, status));
  EXPECT_EQ(status, Status::CannotOpen);
  if (geteuid() != 0) std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
}

TEST_F(HistoryStoreTest, LockedStoreRefusesAndKeepsWhatItHas) {
  std::mt19937 gen(9);
  auto store = open();
  ASSERT_TRUE(store);
  RunRecord first = randomRun(gen, 10);
  ASSERT_EQ(store->addRun(first), Status::Ok);

  // Another program holds the write lock.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path().string().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  RunRecord second = randomRun(gen, 10);
  EXPECT_EQ(store->addRun(second), Status::Busy);
  EXPECT_EQ(second.id, 0);
  Status status;
  EXPECT_FALSE(HistoryStore::open(path(), status));
  EXPECT_EQ(status, Status::Busy);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  EXPECT_EQ(store->runs().size(), 1u);
  ASSERT_EQ(store->addRun(second), Status::Ok);
  EXPECT_EQ(store->runs().size(), 2u);
}

// A store of `runs` runs of 600 keys each: more pages than a small cache holds.
void writeRuns(const std::filesystem::path& db, int runs) {
  std::mt19937 gen(11);
  std::vector<RunRecord> all;
  for (int i = 0; i < runs; ++i) all.push_back(randomRun(gen, 600));
  Status status;
  auto store = HistoryStore::open(db, status);
  ASSERT_TRUE(store);
  ASSERT_EQ(store->addRuns(all), Status::Ok);
}

TEST_F(HistoryStoreTest, ADamagedPageIsFoundOnOpenAndTheStoreIsNeverWritten) {
  writeRuns(path(), 40);
  ASSERT_TRUE(test::damageMiddlePage(path()));
  const std::string before = readBytes(path());
  for (auto mode : {HistoryStore::Mode::ReadWrite, HistoryStore::Mode::Existing, HistoryStore::Mode::ReadOnly}) {
    Status status;
    EXPECT_FALSE(HistoryStore::open(path(), status, mode));
    EXPECT_EQ(status, Status::Damaged);
  }
  EXPECT_EQ(readBytes(path()), before);
}

TEST_F(HistoryStoreTest, AHotJournalIsRolledBackOnOpenInEveryMode) {
  for (auto mode : {HistoryStore::Mode::ReadOnly, HistoryStore::Mode::Existing, HistoryStore::Mode::ReadWrite}) {
    std::filesystem::remove(path());
    writeRuns(path(), 40);
    ASSERT_TRUE(test::leaveHotJournal(path())) << "the crash left pages of the change in the file";
    const std::filesystem::path journal = path().string() + "-journal";
    ASSERT_GT(std::filesystem::file_size(journal), 0u);
    auto store = open(mode);
    ASSERT_TRUE(store);
    const auto runs = store->runs();
    ASSERT_EQ(runs.size(), 40u);
    EXPECT_EQ(runs.front().title, u"初 級");
    EXPECT_EQ(store->records({runs.back().id}).front().keys.size(), 600u);
    EXPECT_FALSE(std::filesystem::exists(journal)) << "rolled back in the file itself";
  }
}

TEST_F(HistoryStoreTest, CopyMakesAWholeStoreOrNone) {
  writeRuns(path(), 3);
  const std::filesystem::path to = folder.root / "data" / kHistoryFileName;
  std::filesystem::create_directory(folder.root / "data");
  ASSERT_EQ(HistoryStore::copy(path(), to), Status::Ok);
  Status status;
  auto copy = HistoryStore::open(to, status, HistoryStore::Mode::Existing);
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->runs().size(), 3u);
  copy.reset();
  // An existing target is never replaced; a damaged source gives no file.
  EXPECT_EQ(HistoryStore::copy(path(), to), Status::Failed);
  ASSERT_TRUE(test::damageMiddlePage(path()));
  const std::filesystem::path other = folder.root / "data" / "other.db";
  EXPECT_EQ(HistoryStore::copy(path(), other), Status::Damaged);
  EXPECT_FALSE(std::filesystem::exists(other));
}

}  // namespace
}  // namespace lk
