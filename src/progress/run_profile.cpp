#include "progress/run_profile.h"

#include <algorithm>
#include <cmath>

#include "progress/keystroke_stats.h"

namespace lk {

std::vector<SpeedPoint> speedWindows(const RunRecord& run, int window) {
  std::vector<SpeedPoint> out;
  const std::size_t w = window > 0 ? static_cast<std::size_t>(window) : 1;
  if (run.keys.size() <= w) return out;
  out.reserve(run.keys.size() - w);
  // Running counts over keys (i - w, i]: hits, and keys after a pause.
  int hits = 0, pauses = 0;
  for (std::size_t i = 1; i <= w; ++i) {
    hits += run.keys[i].hit;
    pauses += run.keys[i].afterPause;
  }
  for (std::size_t i = w;; ++i) {
    const std::int32_t span = run.keys[i].ms - run.keys[i - w].ms;
    if (pauses == 0 && span > 0) out.push_back(SpeedPoint{i, run.keys[i].ms, hits * 60000.0 / span});
    if (i + 1 >= run.keys.size()) break;
    hits += run.keys[i + 1].hit - run.keys[i + 1 - w].hit;
    pauses += run.keys[i + 1].afterPause - run.keys[i + 1 - w].afterPause;
  }
  return out;
}

std::vector<MissCost> missCosts(const RunRecord& run, std::optional<int> medianKey) {
  std::vector<MissCost> out;
  const std::int32_t median = medianKey.value_or(0);
  for (std::size_t i = 0; i < run.keys.size(); ++i) {
    if (run.keys[i].hit) continue;
    // Whether a hit comes later at all: a trailing streak costs nothing.
    std::size_t next = i + 1;
    while (next < run.keys.size() && !run.keys[next].hit) ++next;
    std::int32_t cost = 0;
    if (next < run.keys.size()) {
      cost = run.keys[i + 1].ms - run.keys[i].ms;
      if (i + 1 == next) cost -= median;
    }
    out.push_back(MissCost{i, std::max<std::int32_t>(0, cost)});
  }
  return out;
}

std::optional<double> fluidness(const RunRecord& run) {
  std::vector<double> x;
  for (std::size_t i = 1; i < run.keys.size(); ++i) {
    if (run.keys[i].afterPause) continue;
    const std::int32_t dt = run.keys[i].ms - run.keys[i - 1].ms;
    if (dt <= 0) continue;
    x.push_back(std::sqrt(1.0 / dt));
  }
  if (x.size() < 2) return std::nullopt;
  double sum = 0;
  for (double v : x) sum += v;
  const double mean = sum / static_cast<double>(x.size());
  double sq = 0;
  for (double v : x) sq += (v - mean) * (v - mean);
  const double sigma = std::sqrt(sq / static_cast<double>(x.size()));
  return std::clamp(100.0 * (1.0 - sigma / mean), 0.0, 100.0);
}

RunProfile profileRun(const RunRecord& run, int window) {
  RunProfile p;
  p.speeds = speedWindows(run, window);
  for (const SpeedPoint& s : p.speeds) {
    if (!p.topCpm || s.cpm > *p.topCpm) p.topCpm = s.cpm;
    if (!p.worstCpm || s.cpm < *p.worstCpm) p.worstCpm = s.cpm;
  }
  std::vector<std::int32_t> times;
  times.reserve(run.keys.size());
  for (std::size_t i = 0; i < run.keys.size(); ++i) {
    if (keystrokeTimed(run, i)) times.push_back(keystrokeMs(run, i));
  }
  p.medianKeyMs = medianMs(times);
  p.missCosts = missCosts(run, p.medianKeyMs);
  std::int64_t missMs = 0;
  for (const MissCost& m : p.missCosts) missMs += m.costMs;
  p.runMs = run.keys.empty() ? 0 : run.keys.back().ms;
  p.missMs = static_cast<std::int32_t>(std::min<std::int64_t>(missMs, p.runMs));
  p.noMissMs = p.runMs - p.missMs;
  // The run's own speed scaled by the time saved: the drills time a run in
  // whole seconds, so a speed of chars over milliseconds could come out
  // below the run's speed with no miss at all.
  if (p.noMissMs > 0) p.noMissSpeed = static_cast<int>(std::lround(static_cast<double>(run.speed) * p.runMs / p.noMissMs));
  p.fluidness = fluidness(run);
  return p;
}

}  // namespace lk
