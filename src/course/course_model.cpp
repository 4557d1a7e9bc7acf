#include "course/course_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <map>
#include <unordered_map>

#include "progress/keystroke_stats.h"

namespace lk {

namespace {

constexpr std::array<std::u16string_view, 5> kVowels = {u"あ", u"い", u"う", u"え", u"お"};
constexpr std::size_t kFitSamples = 30;
constexpr double kMinR2 = 0.5;
constexpr int kForecastHorizon = 100;

}  // namespace

std::vector<std::u16string> introductionOrder(std::span<const CourseWord> words) {
  std::unordered_map<std::u16string, double> weight;
  for (std::size_t rank = 0; rank < words.size(); ++rank) {
    for (std::u16string& u : readingUnits(words[rank].reading)) weight[u] += 1.0 / static_cast<double>(rank + 1);
  }
  std::vector<std::u16string> out(kVowels.begin(), kVowels.end());
  std::vector<std::pair<std::u16string, double>> rest;
  for (auto& [u, w] : weight) {
    if (std::find(out.begin(), out.end(), u) == out.end()) rest.emplace_back(u, w);
  }
  std::sort(rest.begin(), rest.end(),
            [](const auto& a, const auto& b) { return a.second != b.second ? a.second > b.second : a.first < b.first; });
  for (auto& [u, w] : rest) out.push_back(u);
  return out;
}

namespace {

// An occurrence by the run's unit number: replaying thousands of runs
// should not copy a string per unit typed.
struct Occurrence {
  std::uint16_t unit = 0;
  int keys = 0;
  std::int32_t ms = 0;
  bool timed = false;
  bool missed = false;
};

template <typename F>
void forEachOccurrence(const RunRecord& run, F&& f) {
  Occurrence o;
  bool open = false;  // o may still take keys
  std::int32_t startMs = 0;
  auto flush = [&] {
    // An occurrence that typed nothing (a miss, then the run ended) carries no time.
    if (o.keys == 0) o.timed = false;
    f(o);
  };
  for (std::size_t i = 0; i < run.keys.size(); ++i) {
    const Keystroke& k = run.keys[i];
    // A key at a unit's first place starts a new occurrence (a miss there
    // opens the one it waited for), unless the open one has no hit yet.
    const bool continues = open && k.unit == o.unit && (k.unitPos > 0 || o.keys == 0);
    if (!continues) {
      if (open) flush();
      o = Occurrence{k.unit, 0, 0, false, false};
      open = true;
      // From the key before: the run's first key and a key after a pause time a wait.
      o.timed = i > 0 && !k.afterPause;
      startMs = i > 0 ? run.keys[i - 1].ms : k.ms;
    }
    if (k.hit) {
      ++o.keys;
      o.ms = k.ms - startMs;
    } else {
      o.missed = true;
    }
  }
  if (open) flush();
}

}  // namespace

std::vector<UnitOccurrence> unitOccurrences(const RunRecord& run) {
  std::vector<UnitOccurrence> out;
  forEachOccurrence(run, [&](const Occurrence& o) {
    out.push_back({std::u16string(o.unit < run.units.size() ? std::u16string_view(run.units[o.unit]) : std::u16string_view()),
                   o.keys, o.ms, o.timed, o.missed});
  });
  return out;
}

CourseState computeCourse(std::span<const RunRecord> runs, const std::vector<std::u16string>& order, int targetKpm) {
  CourseState st;
  const double targetMs = 60000.0 / std::clamp(targetKpm, kCourseMinTarget, kCourseMaxTarget);
  std::unordered_map<std::u16string, std::size_t> index;
  st.units.resize(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    st.units[i].unit = order[i];
    index[order[i]] = i;
  }
  std::vector<std::deque<bool>> recent(order.size());  // missed flags of the last occurrences
  st.includedCount = std::min(kCourseFirstUnits, order.size());

  for (const RunRecord& run : runs) {
    std::map<std::size_t, std::pair<double, int>> perRun;  // ms and keys of this run's timed occurrences
    std::vector<std::size_t> place(run.units.size(), order.size());  // the run's units in the course order
    for (std::size_t i = 0; i < run.units.size(); ++i) {
      auto it = index.find(run.units[i]);
      if (it != index.end()) place[i] = it->second;
    }
    forEachOccurrence(run, [&](const Occurrence& o) {
      if (o.unit >= place.size() || place[o.unit] == order.size()) return;
      const std::size_t at = place[o.unit];
      UnitProgress& u = st.units[at];
      auto& r = recent[at];
      r.push_back(o.missed);
      if (r.size() > kCourseRecentOccurrences) r.pop_front();
      if (o.timed && o.keys > 0) {
        const double perKey = static_cast<double>(o.ms) / o.keys;
        u.smoothedMsPerKey = u.samples == 0 ? perKey : u.smoothedMsPerKey + kCourseSmoothing * (perKey - u.smoothedMsPerKey);
        ++u.samples;
        auto& pr = perRun[at];
        pr.first += o.ms;
        pr.second += o.keys;
      }
      u.confidence = u.smoothedMsPerKey > 0 ? targetMs / u.smoothedMsPerKey : 0;
      u.best = std::max(u.best, u.confidence);
      u.recentCount = static_cast<int>(r.size());
      u.missesRecent = static_cast<int>(std::count(r.begin(), r.end(), true));
      u.reached = u.best >= 1.0 && u.missesRecent <= kCourseMaxMissRate * static_cast<double>(r.size());
    });
    for (const auto& [i, pr] : perRun) st.units[i].lessonMsPerKey.push_back(pr.first / pr.second);
    if (run.mode != DrillMode::Course) continue;
    st.lastIncluded.reset();
    const bool allReached = std::all_of(st.units.begin(), st.units.begin() + static_cast<std::ptrdiff_t>(st.includedCount),
                                        [](const UnitProgress& u) { return u.reached; });
    if (allReached && st.includedCount < st.units.size()) {
      st.lastIncluded = st.units[st.includedCount].unit;
      ++st.includedCount;
    }
  }
  for (std::size_t i = 0; i < st.units.size(); ++i) st.units[i].included = i < st.includedCount;
  for (std::size_t i = 0; i < st.includedCount; ++i) {
    // Lowest confidence; a tie goes to the unit included last.
    if (!st.focus || st.units[i].confidence <= st.units[*st.focus].confidence) st.focus = i;
  }
  if (st.focus) st.units[*st.focus].focus = true;
  return st;
}

std::optional<Fit> fitQuadratic(std::span<const double> ys) {
  const std::size_t n = ys.size();
  if (n < 3) return std::nullopt;
  // Normal equations of least squares for 1, x, x², x = 0..n-1.
  double s[5] = {0, 0, 0, 0, 0}, t[3] = {0, 0, 0};
  for (std::size_t i = 0; i < n; ++i) {
    const double x = static_cast<double>(i);
    double p = 1;
    for (int k = 0; k < 5; ++k) {
      s[k] += p;
      if (k < 3) t[k] += p * ys[i];
      p *= x;
    }
  }
  double m[3][4] = {{s[0], s[1], s[2], t[0]}, {s[1], s[2], s[3], t[1]}, {s[2], s[3], s[4], t[2]}};
  for (int c = 0; c < 3; ++c) {
    int piv = c;
    for (int r = c + 1; r < 3; ++r) {
      if (std::abs(m[r][c]) > std::abs(m[piv][c])) piv = r;
    }
    if (std::abs(m[piv][c]) < 1e-12) return std::nullopt;
    std::swap(m[c], m[piv]);
    for (int r = 0; r < 3; ++r) {
      if (r == c) continue;
      const double f = m[r][c] / m[c][c];
      for (int k = c; k < 4; ++k) m[r][k] -= f * m[c][k];
    }
  }
  Fit fit{m[0][3] / m[0][0], m[1][3] / m[1][1], m[2][3] / m[2][2], 0};
  double mean = 0;
  for (double y : ys) mean += y;
  mean /= static_cast<double>(n);
  double ssRes = 0, ssTot = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double x = static_cast<double>(i);
    const double e = ys[i] - (fit.a + fit.b * x + fit.c * x * x);
    ssRes += e * e;
    ssTot += (ys[i] - mean) * (ys[i] - mean);
  }
  // A flat series explains nothing: no trend to extend.
  fit.r2 = ssTot > 0 ? 1.0 - ssRes / ssTot : 0;
  return fit;
}

std::optional<int> lessonsLeft(const UnitProgress& unit, int targetKpm) {
  const auto& all = unit.lessonMsPerKey;
  const std::size_t from = all.size() > kFitSamples ? all.size() - kFitSamples : 0;
  std::vector<double> speeds;  // keys per minute, which grow as the learner does
  for (std::size_t i = from; i < all.size(); ++i) speeds.push_back(all[i] > 0 ? 60000.0 / all[i] : 0);
  const auto fit = fitQuadratic(speeds);
  if (!fit || fit->r2 < kMinR2) return std::nullopt;
  const double last = static_cast<double>(speeds.size() - 1);
  for (int k = 1; k <= kForecastHorizon; ++k) {
    const double x = last + k;
    if (fit->a + fit->b * x + fit->c * x * x >= targetKpm) return k;
  }
  return std::nullopt;
}

}  // namespace lk
