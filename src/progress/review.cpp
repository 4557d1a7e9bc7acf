#include "progress/review.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace lk {

namespace {
constexpr std::u16string_view kReviewSuffix = u"（復習）";
}

std::vector<std::size_t> reviewQuestions(const std::vector<AskedQuestion>& asked, const RunRecord& run) {
  std::vector<bool> pick(asked.size(), false);
  std::vector<std::pair<double, std::size_t>> pace;  // ms per key, question
  for (std::size_t q = 0; q < asked.size(); ++q) {
    const AskedQuestion& a = asked[q];
    const std::size_t end = std::min(a.endKey, run.keys.size());
    if (a.firstKey >= end) continue;
    int hits = 0;
    for (std::size_t i = a.firstKey; i < end; ++i) {
      if (!run.keys[i].hit) pick[q] = true;
      else ++hits;
    }
    if (hits > 0) pace.push_back({static_cast<double>(a.doneMs - a.shownMs) / hits, q});
  }
  // The slowest fifth, rounded up so that a short run still names its slowest question.
  std::stable_sort(pace.begin(), pace.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  const std::size_t slow = (pace.size() + 4) / 5;
  for (std::size_t i = 0; i < slow; ++i) pick[pace[i].second] = true;
  std::vector<std::size_t> out;
  for (std::size_t q = 0; q < asked.size(); ++q) {
    if (pick[q]) out.push_back(q);
  }
  return out;
}

std::u16string reviewTitle(std::u16string_view title) {
  std::u16string t(title);
  if (!t.ends_with(kReviewSuffix)) t += kReviewSuffix;
  return t;
}

int keysTypedAt(const RunRecord& run, std::int32_t ms) { return GhostRace(run).keysAt(ms); }

GhostRace::GhostRace(const RunRecord& best) {
  for (const Keystroke& k : best.keys) {
    if (k.hit) hitMs_.push_back(k.ms);
  }
}

int GhostRace::keysAt(std::int32_t ms) const {
  // Keys come in time order: the count is where `ms` falls among the hits.
  return static_cast<int>(std::upper_bound(hitMs_.begin(), hitMs_.end(), ms) - hitMs_.begin());
}

std::optional<std::int64_t> bestRunId(std::span<const RunSummary> runs) {
  const RunSummary* best = nullptr;
  for (const RunSummary& r : runs) {
    if (!best || r.speed > best->speed) best = &r;
  }
  return best ? std::optional<std::int64_t>(best->id) : std::nullopt;
}

std::u16string ghostLead(int own, int ghost) {
  const int d = own - ghost;
  std::u16string s = d > 0 ? u"+" : d < 0 ? u"−" : u"±";
  for (char c : std::to_string(d < 0 ? -d : d)) s.push_back(static_cast<char16_t>(c));
  return s;
}

}  // namespace lk
