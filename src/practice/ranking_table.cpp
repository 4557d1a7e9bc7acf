#include "practice/ranking_table.h"

#include "shell/services.h"

namespace lk {

std::array<int, kRankingSize> RankingTable::jun() const {
  std::array<int, kRankingSize> out{};
  out[0] = 1;
  for (int i = 1; i < kRankingSize; ++i) {
    const RankingEntry& e = entries[static_cast<std::size_t>(i)];
    const RankingEntry& prev = entries[static_cast<std::size_t>(i - 1)];
    const int s = e.sokudo.value_or(0), a = e.seigo.value_or(0);
    const bool tie = s == prev.sokudo.value_or(0) && a == prev.seigo.value_or(0) && s != 0 && a != 0;
    out[static_cast<std::size_t>(i)] = tie ? out[static_cast<std::size_t>(i - 1)] : i + 1;
  }
  return out;
}

RankingFileResult loadRanking(RankingTable&, const std::filesystem::path&) {
  return {false, std::u16string(kRankingLoadFailed)};
}

RankingFileResult saveRanking(const RankingTable&, const std::filesystem::path&) {
  return {false, std::u16string(kRankingSaveFailed)};
}

RankingOffer offerRun(RankingTable&, const RankingRun&, Clock&) { return {}; }

RankingOfferOutcome offerRunAndSave(RankingTable& table, const RankingRun& run, Clock& clock,
                                    const std::filesystem::path& file) {
  RankingOfferOutcome out;
  out.offer = offerRun(table, run, clock);
  out.save = saveRanking(table, file);
  return out;
}

std::u16string rankingDateText(const LocalDateTime&) { return {}; }

}  // namespace lk
