// rank.dat on arbitrary bytes, then the rank numbers and an offer on what was
// read: the table stays ten rows and the numbers stay in 1..10.
#include <cstdlib>

#include "memory_file.h"
#include "practice/ranking_table.h"
#include "shell/services.h"

namespace {
class FixedClock : public lk::Clock {
 public:
  lk::LocalDateTime now() override { return {2004, 12, 25, 15, 5, 0}; }
  std::int64_t monotonicMs() override { return 0; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lk::RankingTable t;
  const auto r = lk::loadRanking(t, lk::fuzz::memoryFile(data, size));
  if (r.ok != r.message.empty()) std::abort();
  for (int j : t.jun()) {
    if (j < 1 || j > lk::kRankingSize) std::abort();
  }
  FixedClock clock;
  const auto offer = lk::offerRun(t, {150, 90, 300, u"fuzz"}, clock);
  if (offer.index && (*offer.index < 0 || *offer.index >= lk::kRankingSize)) std::abort();
  if (offer.index.has_value() == offer.message.empty()) std::abort();
  return 0;
}
