// Looking back at runs: the profile of one 1,500-key run as the replay view
// and 分析 compute it (target under 30 ms), and the unit and key pairs of
// the last 20 runs read from a store of 5,000 runs (target under 50 ms).
// The store is the one bench_history generates in the temporary folder;
// this program makes it the same way when it is missing.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "progress/history_store.h"
#include "progress/pairs.h"
#include "progress/run_profile.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kRuns = 5000;
constexpr int kKeysPerRun = 1500;

// A word-drill-like run: units of one to three keys, a miss every fifteenth
// key or so, 150-450 ms between keys.
lk::RunRecord makeRun(std::mt19937& gen, int keys, int serial) {
  static const std::vector<std::u16string> units = {u"か", u"し", u"つ", u"ん", u"しゃ", u"っ", u"きょ", u"う"};
  static const std::vector<std::u16string> spell = {u"ka", u"si", u"tu", u"nn", u"sya", u"t", u"kyo", u"u"};
  lk::RunRecord r;
  r.title = serial % 3 == 0 ? u"上 級" : u"初 級";
  r.started = lk::LocalDateTime{2026, 1 + serial % 12, 1 + serial % 28, serial % 24, serial % 60, 0};
  r.units = units;
  std::int32_t ms = 0;
  while (static_cast<int>(r.keys.size()) < keys) {
    const auto u = static_cast<std::uint16_t>(gen() % units.size());
    for (std::size_t p = 0; p < spell[u].size() && static_cast<int>(r.keys.size()) < keys; ++p) {
      ms += 150 + static_cast<std::int32_t>(gen() % 300);
      if (gen() % 15 == 0) {
        r.keys.push_back({ms, spell[u][p], u'j', u, static_cast<std::uint8_t>(p), false});
        ms += 200;
      }
      r.keys.push_back({ms, spell[u][p], spell[u][p], u, static_cast<std::uint8_t>(p), true});
    }
  }
  r.keys.resize(static_cast<std::size_t>(keys));
  r.chars = keys;
  r.seconds = ms / 1000 + 1;
  r.speed = 300;
  r.accuracy = 95;
  r.questions = 50;
  r.settings = "saidai=50 koukaon=0";
  return r;
}

double msSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

void report(const char* what, std::vector<double> times, double target) {
  std::sort(times.begin(), times.end());
  const double m = times[times.size() / 2];
  std::printf("bench_replay: %s: median %.2f ms, max %.2f ms -> target under %.0f ms %s\n", what, m, times.back(), target,
              m < target ? "met" : "NOT met");
}

}  // namespace

int main() {
  std::mt19937 gen(42);
  {
    const lk::RunRecord run = makeRun(gen, kKeysPerRun, 1);
    std::vector<double> times;
    std::size_t sink = 0;
    for (int i = 0; i < 50; ++i) {
      const auto t0 = Clock::now();
      const lk::RunProfile p = lk::profileRun(run);
      times.push_back(msSince(t0));
      sink += p.speeds.size() + p.missCosts.size();
    }
    report("profile of a 1,500-key run", times, 30);
    if (sink == 0) std::printf("  (no windows)\n");
  }

  const fs::path dir = fs::temp_directory_path() / "luminakey-bench-5000";
  const fs::path big = dir / lk::kHistoryFileName;
  if (!fs::exists(big)) {
    fs::create_directories(dir);
    lk::HistoryStore::Status status;
    auto store = lk::HistoryStore::open(big, status);
    for (int batch = 0; batch < kRuns / 100; ++batch) {
      std::vector<lk::RunRecord> runs;
      for (int i = 0; i < 100; ++i) runs.push_back(makeRun(gen, kKeysPerRun, batch * 100 + i));
      store->addRuns(runs);
    }
  }
  lk::HistoryStore::Status status;
  auto store = lk::HistoryStore::open(big, status, lk::HistoryStore::Mode::ReadOnly);
  if (!store) {
    std::printf("bench_replay: %s cannot be opened\n", big.c_str());
    return 1;
  }
  std::vector<double> times;
  for (int i = 0; i < 15; ++i) {
    const auto t0 = Clock::now();
    const std::vector<lk::RunRecord> runs = store->records(store->lastRunIds(20));
    std::vector<lk::PairStat> units = lk::unitPairs(runs);
    std::vector<lk::PairStat> keys = lk::keyPairs(runs);
    lk::rankPairsBySlowness(units);
    lk::rankPairsByMisses(keys);
    times.push_back(msSince(t0));
  }
  report("pairs of the last 20 runs of 5,000", times, 50);
  return 0;
}
