#include "progress/weakness.h"

#include <algorithm>

#include "progress/history_store.h"
#include "progress/keystroke_stats.h"

namespace lk {

namespace {

struct Tally {
  int count = 0;
  int misses = 0;
  std::vector<std::int32_t> times;
};

}  // namespace

WeaknessModel::WeaknessModel(std::span<const RunRecord> runs, bool byKey) {
  std::map<std::u16string, Tally> tallies;
  std::vector<std::int32_t> allTimes;
  long long keys = 0;
  long long misses = 0;
  for (const RunRecord& run : runs) {
    for (std::size_t i = 0; i < run.keys.size(); ++i) {
      const Keystroke& k = run.keys[i];
      Tally& t = tallies[byKey ? std::u16string(1, k.expected) : std::u16string(run.unitOf(k))];
      ++t.count;
      ++keys;
      if (k.hit) {
        if (!keystrokeTimed(run, i)) continue;
        t.times.push_back(keystrokeMs(run, i));
        allTimes.push_back(t.times.back());
      } else {
        ++t.misses;
        ++misses;
      }
    }
  }
  if (keys == 0) return;
  missRate_ = static_cast<double>(misses) / static_cast<double>(keys);
  medianMs_ = medianMs(allTimes);

  constexpr double K = kWeaknessPriorKeys;
  constexpr double F = kWeaknessMissFloor;
  for (auto& [name, t] : tallies) {
    Weakness w;
    w.name = name;
    w.count = t.count;
    w.misses = t.misses;
    const double hits = static_cast<double>(t.times.size());
    w.medianMs = medianMs(t.times);
    const double p = (t.misses + K * missRate_) / (t.count + K);
    // Without a time of its own (or of the learner) a unit is as fast as any.
    const double ratio = w.medianMs && medianMs_ && *medianMs_ > 0
                             ? std::min(static_cast<double>(*w.medianMs) / *medianMs_, kWeaknessMaxSlowness)
                             : 1.0;
    const double s = (hits * ratio + K) / (hits + K);
    w.score = (p + F) / (missRate_ + F) / 2.0 + s / 2.0;
    scores_[name] = w.score;
    ranked_.push_back(std::move(w));
  }
  std::stable_sort(ranked_.begin(), ranked_.end(), [](const Weakness& a, const Weakness& b) {
    if (a.score != b.score) return a.score > b.score;
    return a.name < b.name;
  });
}

double WeaknessModel::score(const std::u16string& name) const {
  const auto it = scores_.find(name);
  return it == scores_.end() ? 1.0 : it->second;
}

std::vector<RunRecord> recentRuns(const HistoryStore& store, std::optional<DrillMode> mode, int last) {
  RunFilter filter;
  filter.mode = mode;
  return recentRuns(store, filter, last);
}

std::vector<RunRecord> recentRuns(const HistoryStore& store, const RunFilter& filter, int last) {
  std::vector<std::int64_t> ids;
  for (const RunSummary& r : store.runs(last, filter)) ids.push_back(r.id);
  return store.records(ids);
}

std::vector<RunRecord> recentRuns(const std::filesystem::path& db, std::optional<DrillMode> mode, int last) {
  std::error_code ec;
  if (!std::filesystem::exists(db, ec)) return {};
  HistoryStore::Status status;
  const auto store = HistoryStore::open(db, status, HistoryStore::Mode::Existing);
  return store ? recentRuns(*store, mode, last) : std::vector<RunRecord>{};
}

}  // namespace lk
