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
                                       {70000, u'あ', u'\xffff', 65535, 255, false},
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

}  // namespace
}  // namespace lk
