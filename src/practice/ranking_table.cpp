#include "practice/ranking_table.h"

#include <string>

#include "shell/services.h"

namespace lk {

namespace {

int num(const std::optional<int>& v) { return v.value_or(0); }

RankingEntry& at(RankingTable& t, int i) { return t.entries[static_cast<std::size_t>(i)]; }

void insertAt(RankingTable& table, int p, const RankingRun& run, Clock& clock) {
  RankingEntry entry;
  entry.sokudo = run.sokudo;
  entry.seigo = run.seigo;
  entry.zisuu = run.zisuu;
  entry.nitizi = rankingDateText(clock.now());
  entry.title = storableRankingTitle(run.title);
  for (int j = kRankingSize - 1; j > p; --j) at(table, j) = std::move(at(table, j - 1));
  at(table, p) = std::move(entry);
}

}  // namespace

RankingOffer offerRun(RankingTable& table, const RankingRun& run, Clock& clock) {
  const int s = run.sokudo, a = run.seigo;
  std::optional<int> place;
  for (int i = 0; i < kRankingSize && !place; ++i) {
    const int si = num(at(table, i).sokudo);
    if (s > si) {
      place = i;
    } else if (s == si) {
      int k = 0;
      while (i + k < kRankingSize && num(at(table, i + k).sokudo) == s) ++k;
      // Enter before the first entry of equal speed and lower accuracy; after
      // all of them when none is lower, unless that is past the last row.
      for (int p = i; p < i + k && !place; ++p) {
        if (a > num(at(table, p).seigo)) place = p;
      }
      if (!place && i + k < kRankingSize) place = i + k;
      if (!place) break;  // equal to or worse than every remaining entry
    }
  }
  RankingOffer offer;
  if (!place) return offer;
  insertAt(table, *place, run, clock);
  offer.index = *place;
  const int rank = table.jun()[static_cast<std::size_t>(*place)];
  const std::string digits = std::to_string(rank);
  offer.message = std::u16string(digits.begin(), digits.end()) + std::u16string(kRankedInSuffix);
  return offer;
}

RankingOfferOutcome offerRunAndSave(RankingTable& table, const RankingRun& run, Clock& clock,
                                    const std::filesystem::path& file) {
  RankingOfferOutcome out;
  // Offered after the merge, so the rank message names the place the run
  // holds among every copy's runs.
  out.save = saveRankingMerged(table, file, [&](RankingTable& merged) { out.offer = offerRun(merged, run, clock); });
  return out;
}

}  // namespace lk
