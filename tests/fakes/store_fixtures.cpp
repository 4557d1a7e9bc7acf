#include "fakes/store_fixtures.h"

#include <sqlite3.h>

#include <fstream>
#include <string>
#include <system_error>

namespace lk::test {

namespace {

std::filesystem::path journalOf(const std::filesystem::path& db) { return db.string() + "-journal"; }

}  // namespace

bool damageMiddlePage(const std::filesystem::path& db) {
  std::fstream f(db, std::ios::in | std::ios::out | std::ios::binary);
  unsigned char header[18] = {};
  if (!f.read(reinterpret_cast<char*>(header), sizeof header)) return false;
  std::size_t pageSize = static_cast<std::size_t>(header[16]) << 8 | header[17];
  if (pageSize == 1) pageSize = 65536;
  const std::size_t pages = std::filesystem::file_size(db) / pageSize;
  if (pages < 3) return false;
  f.seekp(static_cast<std::streamoff>(pages / 2 * pageSize));
  const std::string garbage(100, '\xff');
  f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  return static_cast<bool>(f);
}

bool leaveHotJournal(const std::filesystem::path& db) {
  // The crash is a copy of the file and its journal taken in the middle of
  // the transaction; the real connection then rolls back and closes.
  const std::filesystem::path file = db.string() + ".crash";
  sqlite3* c = nullptr;
  if (sqlite3_open(db.string().c_str(), &c) != SQLITE_OK) return false;
  const bool changed = sqlite3_exec(c,
                                    "PRAGMA cache_size = 10; BEGIN; UPDATE runs SET title = 'lost';"
                                    "DELETE FROM keystrokes;",
                                    nullptr, nullptr, nullptr) == SQLITE_OK;
  std::error_code ec;
  const std::string before = [&] {
    std::ifstream in(db, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  const bool copied = changed && std::filesystem::copy_file(db, file, ec) &&
                      std::filesystem::copy_file(journalOf(db), journalOf(file), ec);
  sqlite3_exec(c, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(c);
  if (!copied) return false;
  const std::string after = [&] {
    std::ifstream in(db, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  std::filesystem::rename(file, db, ec);
  if (ec) return false;
  std::filesystem::rename(journalOf(file), journalOf(db), ec);
  // The rollback rewrote the file: pages of the change had reached it.
  return !ec && before != after;
}

}  // namespace lk::test
