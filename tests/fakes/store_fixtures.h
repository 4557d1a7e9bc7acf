#pragma once

// Damaged history stores made on the spot from a good one, so no binary
// fixture has to live in git.

#include <filesystem>

namespace lk::test {

// Overwrites the start of a page in the middle of the SQLite file `db` (a
// b-tree or overflow page header) with 0xFF bytes: PRAGMA quick_check
// then fails. False when the file has fewer than three pages.
bool damageMiddlePage(const std::filesystem::path& db);

// Leaves `db` as a crash mid-transaction leaves it: pages of an unfinished
// change (every run retitled "lost", every keystroke deleted) already in
// the file, the old pages in a hot `db-journal` beside it. The store needs
// more pages than a small cache holds (a few dozen runs with keys). False
// when no page reached the file before the crash.
bool leaveHotJournal(const std::filesystem::path& db);

}  // namespace lk::test
