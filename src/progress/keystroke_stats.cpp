#include "progress/keystroke_stats.h"

#include <algorithm>
#include <map>

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
        t.times.push_back(keystrokeMs(run, i));
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
        t.times.push_back(keystrokeMs(run, i));
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
  // The keys of each unit as this run expected them, read from its hits:
  // a hit at place 0 begins the unit's keys, later places extend them.
  std::vector<std::u16string> spelling(run.units.size());
  std::vector<bool> complete(run.units.size(), false);
  std::u16string current;
  int currentUnit = -1;
  auto finish = [&] {
    if (currentUnit >= 0 && !complete[static_cast<std::size_t>(currentUnit)]) {
      spelling[static_cast<std::size_t>(currentUnit)] = current;
      complete[static_cast<std::size_t>(currentUnit)] = true;
    }
  };
  for (const Keystroke& k : run.keys) {
    if (!k.hit || k.unit >= run.units.size()) continue;
    if (k.unitPos == 0 || k.unit != currentUnit) {
      finish();
      current.clear();
      currentUnit = k.unit;
    }
    current.push_back(k.expected);
  }
  finish();

  std::map<std::tuple<std::u16string, std::u16string, std::u16string>, int> counts;
  for (const Keystroke& k : run.keys) {
    if (k.hit) continue;
    std::u16string expected = k.unit < spelling.size() ? spelling[k.unit] : std::u16string();
    // A unit never typed to the end still shows the key it waited for.
    if (expected.size() <= k.unitPos || expected[k.unitPos] != k.expected) {
      expected = expected.substr(0, std::min<std::size_t>(expected.size(), k.unitPos));
      expected.resize(k.unitPos, u'?');
      expected.push_back(k.expected);
    }
    std::u16string typed = expected.substr(0, k.unitPos);
    typed.push_back(k.typed);
    ++counts[{std::u16string(run.unitOf(k)), expected, typed}];
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
