// The history store's costs: keeping one finished 50-question run (its own
// transaction, on disk), opening the analysis screen over a store of 5,000
// runs of 1,500 keystrokes each (target: under 150 ms), and that store's
// size on disk. The generated store is kept in the temporary folder and
// reused by later runs. Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "progress/history_store.h"
#include "progress/screens/progress_screens.h"
#include "shell/screens/gui_test_support.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kRuns = 5000;
constexpr int kKeysPerRun = 1500;

// A run shaped like a word drill: units of one to three keys, a miss every
// fifteenth key or so, 150-450 ms between keys.
lk::RunRecord makeRun(std::mt19937& gen, int keys, int serial) {
  static const std::vector<std::u16string> units = {u"か", u"し", u"つ", u"ん", u"しゃ", u"っ", u"きょ", u"う", u"と", u"の",
                                                    u"は", u"を", u"ふ", u"じ", u"ちゃ", u"ー"};
  static const std::vector<std::u16string> spell = {u"ka", u"si", u"tu", u"nn", u"sya", u"t", u"kyo", u"u", u"to", u"no",
                                                    u"ha", u"wo", u"hu", u"zi", u"tya", u"-"};
  lk::RunRecord r;
  r.mode = serial % 7 == 0 ? lk::DrillMode::Char : lk::DrillMode::Word;
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
  r.misses = static_cast<int>(std::count_if(r.keys.begin(), r.keys.end(), [](const lk::Keystroke& k) { return !k.hit; }));
  r.seconds = ms / 1000 + 1;
  r.speed = 300 + static_cast<int>(gen() % 100);
  r.accuracy = 90 + static_cast<int>(gen() % 10);
  r.questions = 50;
  r.settings = "saidai=50 koukaon=0";
  return r;
}

double msSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::mt19937 gen(42);

  // 1. Keeping one 50-question run (1,500 keys) in a store that already holds a few.
  {
    const fs::path dir = fs::temp_directory_path() / "luminakey-bench-keep";
    fs::remove_all(dir);
    fs::create_directories(dir);
    lk::HistoryStore::Status status;
    auto store = lk::HistoryStore::open(dir / lk::kHistoryFileName, status);
    std::vector<double> times;
    for (int i = 0; i < 30; ++i) {
      lk::RunRecord r = makeRun(gen, kKeysPerRun, i);
      const auto t0 = Clock::now();
      store->addRun(r);
      times.push_back(msSince(t0));
    }
    std::printf("bench_history: keeping a 50-question run of %d keys: median %.2f ms, max %.2f ms\n", kKeysPerRun,
                median(times), *std::max_element(times.begin(), times.end()));
    store.reset();
    fs::remove_all(dir);
  }

  // 2. The big store, generated once.
  const fs::path bigDir = fs::temp_directory_path() / "luminakey-bench-5000";
  const fs::path big = bigDir / lk::kHistoryFileName;
  if (!fs::exists(big)) {
    fs::create_directories(bigDir);
    const auto t0 = Clock::now();
    lk::HistoryStore::Status status;
    auto store = lk::HistoryStore::open(big, status);
    for (int batch = 0; batch < kRuns / 100; ++batch) {
      std::vector<lk::RunRecord> runs;
      for (int i = 0; i < 100; ++i) runs.push_back(makeRun(gen, kKeysPerRun, batch * 100 + i));
      store->addRuns(runs);
    }
    std::printf("  generated %d runs x %d keys in %.1f s\n", kRuns, kKeysPerRun, msSince(t0) / 1000.0);
  }
  std::printf("  store of %d runs x %d keys on disk: %.1f MB (%.2f bytes per keystroke)\n", kRuns, kKeysPerRun,
              static_cast<double>(fs::file_size(big)) / 1e6,
              static_cast<double>(fs::file_size(big)) / (static_cast<double>(kRuns) * kKeysPerRun));

  // 3. Opening the analysis screen over it, on this run's page and on the history page.
  lk::test::GuiHarness h({lk::registerProgressScreens});
  h.fakes.folder.data = bigDir;
  h.state.progress.lastRun = makeRun(gen, kKeysPerRun, 1);
  h.state.progress.hasRun = true;
  for (bool history : {false, true}) {
    std::vector<double> times;
    for (int i = 0; i < 15; ++i) {
      h.state.progress.openOnHistory = history;
      const auto t0 = Clock::now();
      h.open(lk::ScreenId::bunseki);  // load, then shown
      QCoreApplication::processEvents();
      times.push_back(msSince(t0));
      h.current()->close();
      lk::test::GuiHarness::settle();
    }
    const double m = median(times);
    std::printf("  opening bunseki (%s page): median %.1f ms, max %.1f ms -> target under 150 ms %s\n",
                history ? "history" : "this run", m, *std::max_element(times.begin(), times.end()),
                m < 150.0 ? "met" : "NOT met");
  }
  return 0;
}
