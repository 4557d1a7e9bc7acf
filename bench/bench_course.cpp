// The course's costs over a store of 5,000 runs of 150 keystrokes (course
// lesson size): reading the store and working out every unit's state, as
// the course screen does when it opens, and drawing a lesson (target: under
// 50 ms each); and the word list's size and the time to read it. Needs the
// word list beside the tool (build/bin/course_words.txt).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "course/course_history.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double msSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

lk::RunRecord makeRun(std::mt19937& gen, const std::vector<std::u16string>& units, int serial) {
  lk::RunRecord r;
  r.mode = serial % 2 ? lk::DrillMode::Course : lk::DrillMode::Word;
  r.title = u"コース";
  r.units.assign(units.begin(), units.begin() + 20);
  std::int32_t ms = 0;
  while (r.keys.size() < 150) {
    const auto u = static_cast<std::uint16_t>(gen() % r.units.size());
    const int keys = 1 + static_cast<int>(gen() % 2);
    for (int p = 0; p < keys; ++p) {
      ms += 150 + static_cast<std::int32_t>(gen() % 300);
      if (gen() % 20 == 0) r.keys.push_back({ms, u'a', u'j', u, static_cast<std::uint8_t>(p), false});
      r.keys.push_back({ms, u'a', u'a', u, static_cast<std::uint8_t>(p), true});
    }
  }
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path list = argc > 1 ? fs::path(argv[1]) : fs::path(argv[0]).parent_path() / ".." / "bin" / lk::kCourseWordsFileName;
  auto t0 = Clock::now();
  auto words = lk::loadWordList(list);
  if (words.empty()) {
    std::fprintf(stderr, "%s: no word list\n", list.c_str());
    return 1;
  }
  const lk::CourseWords cw = lk::prepareCourseWords(std::move(words));
  std::printf("word list: %zu words, %ju bytes, read and split in %.1f ms\n", cw.words.size(),
              static_cast<std::uintmax_t>(fs::file_size(list)), msSince(t0));

  const fs::path db = fs::temp_directory_path() / "lk_bench_course.db";
  if (!fs::exists(db)) {
    lk::HistoryStore::Status st;
    auto store = lk::HistoryStore::open(db, st);
    std::mt19937 gen(1);
    std::vector<lk::RunRecord> runs;
    for (int i = 0; i < 5000; ++i) runs.push_back(makeRun(gen, cw.order, i));
    store->addRuns(runs);
  }
  double worst = 0;
  lk::CourseState state;
  for (int i = 0; i < 5; ++i) {
    t0 = Clock::now();
    lk::HistoryStore::Status st;
    state = *lk::courseStateAt(db, cw, lk::kCourseDefaultTarget, st);
    worst = std::max(worst, msSince(t0));
  }
  std::printf("course state over 5,000 runs: %.1f ms (worst of 5), %zu units included\n", worst, state.includedCount);
  {
    // The two halves: reading the keystrokes from the store, and replaying them.
    lk::HistoryStore::Status st;
    auto store = lk::HistoryStore::open(db, st, lk::HistoryStore::Mode::ReadOnly);
    t0 = Clock::now();
    const auto runs = lk::allRuns(*store);
    const double read = msSince(t0);
    t0 = Clock::now();
    lk::computeCourse(runs, cw.order);
    std::printf("  of which reading the store %.1f ms, replaying %.1f ms\n", read, msSince(t0));
  }
  worst = 0;
  std::size_t n = 0;
  for (std::uint64_t seed = 0; seed < 20; ++seed) {
    t0 = Clock::now();
    lk::SeededRandom random(seed);
    n = lk::drawLesson(cw, state, random).size();
    worst = std::max(worst, msSince(t0));
  }
  std::printf("lesson draw: %.2f ms (worst of 20), %zu words\n", worst, n);
  return 0;
}
