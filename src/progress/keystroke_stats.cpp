#include "progress/keystroke_stats.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace lk {

namespace {

template <class Stat, class Key>
struct Tally {
  Stat stat;
  std::vector<std::int32_t> times;
  std::map<Key, int> wrong;
};

}  // namespace

std::int32_t keystrokeMs(const RunRecord& run, std::size_t i) {
  const std::int32_t before = i == 0 ? 0 : run.keys[i - 1].ms;
  return std::max<std::int32_t>(0, run.keys[i].ms - before);
}

bool keystrokeTimed(const RunRecord& run, std::size_t i) {
  return i > 0 && i < run.keys.size() && run.keys[i].hit && !run.keys[i].afterPause;
}

std::optional<int> medianMs(std::vector<std::int32_t>& values) {
  if (values.empty()) return std::nullopt;
  const std::size_t mid = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid), values.end());
  const std::int64_t upper = values[mid];
  if (values.size() % 2 == 1) return static_cast<int>(upper);
  const std::int64_t lower = *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid));
  return static_cast<int>((lower + upper) / 2);
}

std::vector<KeyStat> keyStats(std::span<const RunRecord> runs) {
  std::map<char16_t, Tally<KeyStat, char16_t>> byKey;
  for (const RunRecord& run : runs) {
    for (std::size_t i = 0; i < run.keys.size(); ++i) {
      const Keystroke& k = run.keys[i];
      auto& t = byKey[k.expected];
      ++t.stat.count;
      if (k.hit) {
        if (keystrokeTimed(run, i)) t.times.push_back(keystrokeMs(run, i));
      } else {
        ++t.stat.misses;
        ++t.wrong[k.typed];
      }
    }
  }
  std::vector<KeyStat> out;
  out.reserve(byKey.size());
  for (auto& [key, t] : byKey) {
    t.stat.key = key;
    t.stat.medianMs = medianMs(t.times);
    t.stat.typedInstead.assign(t.wrong.begin(), t.wrong.end());
    std::stable_sort(t.stat.typedInstead.begin(), t.stat.typedInstead.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    out.push_back(std::move(t.stat));
  }
  std::stable_sort(out.begin(), out.end(), [](const KeyStat& a, const KeyStat& b) { return a.misses > b.misses; });
  return out;
}

std::vector<UnitStat> unitStats(std::span<const RunRecord> runs) {
  std::map<std::u16string, Tally<UnitStat, int>> byUnit;
  for (const RunRecord& run : runs) {
    for (std::size_t i = 0; i < run.keys.size(); ++i) {
      const Keystroke& k = run.keys[i];
      auto& t = byUnit[std::u16string(run.unitOf(k))];
      ++t.stat.count;
      if (k.hit) {
        if (keystrokeTimed(run, i)) t.times.push_back(keystrokeMs(run, i));
        if (k.unitPos == 0) ++t.stat.occurrences;
      } else {
        ++t.stat.misses;
      }
    }
  }
  std::vector<UnitStat> out;
  out.reserve(byUnit.size());
  for (auto& [unit, t] : byUnit) {
    t.stat.unit = unit;
    t.stat.medianMs = medianMs(t.times);
    out.push_back(std::move(t.stat));
  }
  std::stable_sort(out.begin(), out.end(), [](const UnitStat& a, const UnitStat& b) { return a.misses > b.misses; });
  return out;
}

std::vector<UnitStat> slowestUnits(std::span<const RunRecord> runs) {
  std::vector<UnitStat> all = unitStats(runs);
  std::erase_if(all, [](const UnitStat& u) { return !u.medianMs; });
  std::stable_sort(all.begin(), all.end(), [](const UnitStat& a, const UnitStat& b) {
    if (*a.medianMs != *b.medianMs) return *a.medianMs > *b.medianMs;
    return a.unit < b.unit;
  });
  return all;
}

std::vector<MissPattern> missPatterns(const RunRecord& run) {
  // Each time a unit comes up: the keys hit in it, in order, and its misses
  // with the number of hits before each. A unit comes up anew when a key
  // belongs to another unit than the key before, or starts the same unit
  // again after hits (こ after こ).
  struct Miss {
    std::size_t hitsBefore;
    char16_t expected, typed;
  };
  struct Occurrence {
    std::uint16_t unit;
    std::u16string hits;
    std::vector<Miss> misses;
  };
  std::vector<Occurrence> occurrences;
  for (const Keystroke& k : run.keys) {
    if (k.unit >= run.units.size()) continue;
    if (occurrences.empty() || occurrences.back().unit != k.unit ||
        (k.unitPos == 0 && !occurrences.back().hits.empty())) {
      occurrences.push_back(Occurrence{k.unit, {}, {}});
    }
    Occurrence& o = occurrences.back();
    if (k.hit) o.hits.push_back(k.typed);
    else o.misses.push_back(Miss{o.hits.size(), k.expected, k.typed});
  }

  std::map<std::tuple<std::u16string, std::u16string, std::u16string>, int> counts;
  for (const Occurrence& o : occurrences) {
    for (const Miss& m : o.misses) {
      // The spelling the learner went on to type; a unit never typed to the
      // end shows the key it waited for after the keys that came.
      std::u16string expected = o.hits;
      if (expected.size() <= m.hitsBefore) {
        expected.resize(m.hitsBefore);
        expected.push_back(m.expected);
      }
      std::u16string typed = o.hits.substr(0, m.hitsBefore);
      typed.push_back(m.typed);
      ++counts[{run.units[o.unit], expected, typed}];
    }
  }
  std::vector<MissPattern> out;
  out.reserve(counts.size());
  for (auto& [key, n] : counts) {
    out.push_back(MissPattern{std::get<0>(key), std::get<1>(key), std::get<2>(key), n});
  }
  std::stable_sort(out.begin(), out.end(), [](const MissPattern& a, const MissPattern& b) { return a.count > b.count; });
  return out;
}

std::u16string describeMissPattern(const MissPattern& p) {
  std::u16string s = p.unit;
  s += u' ';
  s += p.expected;
  s += u" → ";
  s += p.typed;
  s += u" ×";
  for (char c : std::to_string(p.count)) s.push_back(static_cast<char16_t>(c));
  return s;
}

}  // namespace lk
