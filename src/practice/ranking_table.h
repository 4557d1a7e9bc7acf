#pragma once

// A finished word drill offered to the ten best: where it enters and the
// rank message. The table and its file are records/ranking_file.h.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "records/ranking_file.h"

namespace lk {

class Clock;

// A finished word drill offered to the table.
struct RankingRun {
  int sokudo = 0;
  int seigo = 0;
  int zisuu = 0;
  std::u16string title;
};

struct RankingOffer {
  std::optional<int> index;  // row the run entered, when it entered
  std::u16string message;    // "<jun>位にランクインしました！" or empty
};

inline constexpr std::u16string_view kRankedInSuffix = u"位にランクインしました！";

// Places the run before the first entry that is slower, or as fast and less
// accurate; equal runs go after the entries they equal, and a run no better
// than all ten does not enter. Returns the rank message. Does not save.
RankingOffer offerRun(RankingTable& table, const RankingRun& run, Clock& clock);

// What the result screen does: offer, then save whether or not the run
// entered. The offer is made on the table merged with the file (see
// saveRanking), so its rank message counts every copy's runs; when the save
// fails the run still enters the table in memory. The messages to show, in
// order (rank message, then a save failure).
struct RankingOfferOutcome {
  RankingOffer offer;
  RankingFileResult save;
};
RankingOfferOutcome offerRunAndSave(RankingTable& table, const RankingRun& run, Clock& clock,
                                    const std::filesystem::path& file);

}  // namespace lk
