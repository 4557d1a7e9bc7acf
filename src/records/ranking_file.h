#pragma once

// The ten best word drills across every course, and their file rank.dat.
// The table in memory is authoritative; the file is its copy, rewritten after
// every word drill. Operations return the message to show; they never show it.
// Offering a run to the table is the drill's business (practice/ranking_table.h).

#include <array>
#include <filesystem>
#include <optional>
#include <functional>
#include <string>
#include <string_view>

#include "records/date_time.h"

namespace lk {

inline constexpr int kRankingSize = 10;

// One row. Each field can be empty; a row never filled has all five empty.
// An empty number counts as 0 in every comparison.
struct RankingEntry {
  std::optional<int> sokudo;  // characters per minute
  std::optional<int> seigo;   // accuracy in percent, may be negative
  std::optional<int> zisuu;   // character count of the drill
  std::u16string nitizi;      // "yy/mm/dd hh:mm AM/PM" of the moment it entered
  std::u16string title;       // course title

  bool empty() const { return !sokudo && !seigo && !zisuu && nitizi.empty() && title.empty(); }
  bool operator==(const RankingEntry&) const = default;
};

struct RankingTable {
  std::array<RankingEntry, kRankingSize> entries{};

  // Rank numbers, derived on demand: ties (equal non-zero speed and equal
  // non-zero accuracy) share a number and the next different row skips.
  std::array<int, kRankingSize> jun() const;

  bool operator==(const RankingTable&) const = default;
};

struct RankingFileResult {
  bool ok = true;
  std::u16string message;  // empty on success
};

inline constexpr std::u16string_view kRankingLoadFailed = u"ランキングの読み込みに失敗しました。";
inline constexpr std::u16string_view kRankingSaveFailed = u"ランキングの保存に失敗しました。";

// Reads rank.dat into the table, one field per line, each line decoded on its
// own. Damage costs only what it touches: an entry with a damaged number is
// left out (the entries after it move up), a damaged text is kept empty, and
// the load reports failure. A file cut short fills rows as far as it goes;
// the rest keep what they held. Not a regular file: failure, nothing read.
RankingFileResult loadRanking(RankingTable& table, const std::filesystem::path& file);

// Saves under a lock on "rank.dat.lock": re-reads the file, merges the runs
// this table does not hold yet (another copy of the program may have saved
// since), writes the ten best of both and leaves `table` as written. A file
// that does not read whole is first kept as "rank.dat.broken" (or
// ".broken.N"); a symbolic link to one, or to anything that is not a regular
// file, is never written through. A failed save leaves the file as it was.
RankingFileResult saveRanking(RankingTable& table, const std::filesystem::path& file);
// The same for a table the caller keeps as it is.
RankingFileResult saveRanking(const RankingTable& table, const std::filesystem::path& file);

// The save under the file's lock that saveRanking and the drill's offer share:
// read what is on disk now, merge it into `table`, let `change` act on the
// merged table (the offer of a new run), then write. `change` runs even when
// the save cannot go on, so the run still enters the table in memory.
RankingFileResult saveRankingMerged(RankingTable& table, const std::filesystem::path& file,
                                    const std::function<void(RankingTable&)>& change);

// The file cannot hold a double quote or a line break inside a text; the
// table keeps what the file will give back.
std::u16string storableRankingTitle(std::u16string_view title);

// "04/12/25 03:05 PM" for 25 December 2004, 15:05.
std::u16string rankingDateText(const LocalDateTime& when);

}  // namespace lk
