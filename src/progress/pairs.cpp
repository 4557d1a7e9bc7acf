#include "progress/pairs.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

#include "progress/keystroke_stats.h"

namespace lk {

namespace {

struct PairTally {
  int count = 0;
  int misses = 0;
  std::vector<std::int32_t> times;
};

using PairMap = std::map<std::pair<std::u16string, std::u16string>, PairTally>;

std::vector<PairStat> collect(PairMap& map) {
  std::vector<PairStat> out;
  out.reserve(map.size());
  for (auto& [names, t] : map) {
    out.push_back(PairStat{names.first, names.second, t.count, t.misses, medianMs(t.times)});
  }
  return out;
}

// One pass over a run's keys, grouped into stretches that end in an
// accepted key (keys) or into unit occurrences (units).
struct Stretch {
  std::size_t begin = 0, end = 0;  // keys [begin, end)
  std::int32_t lastHitMs = -1;
  int misses = 0;
  bool paused = false;
};

}  // namespace

std::vector<PairStat> unitPairs(std::span<const RunRecord> runs) {
  PairMap map;
  for (const RunRecord& run : runs) {
    // Occurrences as missPatterns counts them: a new one when the unit
    // changes, or when the same unit starts again after hits.
    std::vector<std::pair<std::uint16_t, Stretch>> occ;
    bool anyHit = false;
    for (std::size_t i = 0; i < run.keys.size(); ++i) {
      const Keystroke& k = run.keys[i];
      if (occ.empty() || occ.back().first != k.unit || (k.unitPos == 0 && anyHit)) {
        occ.push_back({k.unit, Stretch{i, i, -1, 0, false}});
        anyHit = false;
      }
      Stretch& s = occ.back().second;
      s.end = i + 1;
      s.paused = s.paused || k.afterPause;
      if (k.hit) {
        s.lastHitMs = k.ms;
        anyHit = true;
      } else {
        ++s.misses;
      }
    }
    for (std::size_t j = 1; j < occ.size(); ++j) {
      const Stretch& a = occ[j - 1].second;
      const Stretch& b = occ[j].second;
      PairTally& t = map[{std::u16string(run.unitOf(run.keys[a.begin])), std::u16string(run.unitOf(run.keys[b.begin]))}];
      ++t.count;
      t.misses += b.misses;
      if (b.misses == 0 && !b.paused && a.lastHitMs >= 0 && b.lastHitMs >= 0) {
        t.times.push_back(std::max<std::int32_t>(0, b.lastHitMs - a.lastHitMs));
      }
    }
  }
  return collect(map);
}

std::vector<PairStat> keyPairs(std::span<const RunRecord> runs) {
  PairMap map;
  for (const RunRecord& run : runs) {
    std::optional<std::size_t> prevHit;
    int misses = 0;
    bool paused = false;
    for (std::size_t i = 0; i < run.keys.size(); ++i) {
      const Keystroke& k = run.keys[i];
      paused = paused || k.afterPause;
      if (!k.hit) {
        ++misses;
        continue;
      }
      if (prevHit) {
        const Keystroke& a = run.keys[*prevHit];
        PairTally& t = map[{std::u16string(1, a.expected), std::u16string(1, k.expected)}];
        ++t.count;
        t.misses += misses;
        if (misses == 0 && !paused) t.times.push_back(std::max<std::int32_t>(0, k.ms - a.ms));
      }
      prevHit = i;
      misses = 0;
      paused = false;
    }
  }
  return collect(map);
}

void rankPairsBySlowness(std::vector<PairStat>& pairs) {
  std::erase_if(pairs, [](const PairStat& p) { return p.count < kPairMinCount; });
  std::stable_sort(pairs.begin(), pairs.end(), [](const PairStat& a, const PairStat& b) {
    if (a.medianMs.has_value() != b.medianMs.has_value()) return a.medianMs.has_value();
    if (a.medianMs && *a.medianMs != *b.medianMs) return *a.medianMs > *b.medianMs;
    return std::tie(a.first, a.second) < std::tie(b.first, b.second);
  });
}

void rankPairsByMisses(std::vector<PairStat>& pairs) {
  std::erase_if(pairs, [](const PairStat& p) { return p.count < kPairMinCount; });
  std::stable_sort(pairs.begin(), pairs.end(), [](const PairStat& a, const PairStat& b) {
    if (a.misses != b.misses) return a.misses > b.misses;
    return std::tie(a.first, a.second) < std::tie(b.first, b.second);
  });
}

}  // namespace lk
