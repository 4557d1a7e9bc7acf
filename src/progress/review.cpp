#include "progress/review.h"

#include <algorithm>
#include <numeric>

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

int keysTypedAt(const RunRecord& run, std::int32_t ms) {
  // Keys come in time order: the count is where `ms` falls among the hits.
  int n = 0;
  for (const Keystroke& k : run.keys) {
    if (k.ms > ms) break;
    n += k.hit;
  }
  return n;
}

}  // namespace lk
