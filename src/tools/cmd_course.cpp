// Course commands: the state of every unit and the lesson the program would
// draw, so that the course screen's figures can be checked from outside.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <ostream>

#include "course/course_history.h"
#include "engine/text.h"
#include "tools/command.h"

namespace lk::tool {

namespace {

struct CourseArgs {
  std::string db;
  int target = kCourseDefaultTarget;
  std::uint64_t seed = 0;
  bool hasSeed = false;
};

long long numberArg(const std::string& option, const std::string& value, long long lo, long long hi) {
  std::size_t used = 0;
  long long n = 0;
  try {
    n = std::stoll(value, &used);
  } catch (...) {
    used = 0;
  }
  if (used != value.size() || n < lo || n > hi) {
    throw UsageError{option + " expects a number from " + std::to_string(lo) + " to " + std::to_string(hi) + ", got '" +
                     value + "'"};
  }
  return n;
}

CourseArgs parseArgs(const std::vector<std::string>& args, bool lesson) {
  CourseArgs a;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& opt = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError{opt + " expects a value"};
      return args[++i];
    };
    if (opt == "--db") {
      a.db = value();
    } else if (opt == "--target") {
      a.target = static_cast<int>(numberArg(opt, value(), kCourseMinTarget, kCourseMaxTarget));
    } else if (opt == "--seed" && lesson) {
      a.seed = static_cast<std::uint64_t>(numberArg(opt, value(), 0, 1'000'000'000'000LL));
      a.hasSeed = true;
    } else {
      throw UsageError{"unexpected argument '" + opt + "'"};
    }
  }
  if (a.db.empty()) throw UsageError{"--db FILE is required"};
  if (lesson && !a.hasSeed) throw UsageError{"--seed N is required"};
  requireRegularFile(a.db);
  return a;
}

std::filesystem::path toolFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path() : exe.parent_path();
}

// The word list and the state, or a message and none.
bool load(const CourseArgs& a, Io& io, CourseWords& words, CourseState& state) {
  const auto path = findCourseWords(toolFolder());
  auto list = path.empty() ? std::vector<CourseWord>{} : loadWordList(path);
  if (list.empty()) {
    io.err << kCourseWordsFileName << ": not found beside the program or in its share folder\n";
    return false;
  }
  words = prepareCourseWords(std::move(list));
  HistoryStore::Status status;
  auto st = courseStateAt(a.db, words, a.target, status);
  if (!st) {
    io.err << a.db << ": " << (status == HistoryStore::Status::Damaged ? "damaged" : "cannot be read") << '\n';
    return false;
  }
  state = std::move(*st);
  return true;
}

int course(const std::vector<std::string>& args, Io& io) {
  const CourseArgs a = parseArgs(args, false);
  CourseWords words;
  CourseState state;
  if (!load(a, io, words, state)) return 1;
  io.out << "unit\tstate\tconfidence\tbest\treached\tmisses_recent\tsamples\n";
  char buf[64];
  for (const UnitProgress& u : state.units) {
    const char* st = u.focus ? "focus" : u.included ? "included" : "locked";
    std::snprintf(buf, sizeof buf, "%.2f\t%.2f", u.confidence, u.best);
    io.out << toUtf8(u.unit) << '\t' << st << '\t' << buf << '\t' << (u.reached ? "yes" : "no") << '\t'
           << u.missesRecent << '\t' << u.samples << '\n';
  }
  return 0;
}

int courseLesson(const std::vector<std::string>& args, Io& io) {
  const CourseArgs a = parseArgs(args, true);
  CourseWords words;
  CourseState state;
  if (!load(a, io, words, state)) return 1;
  SeededRandom random(a.seed);
  for (const LessonWord& w : drawLesson(words, state, random)) io.out << toUtf8(w.text) << '\t' << toUtf8(w.reading) << '\n';
  return 0;
}

}  // namespace

LK_TOOL_COMMAND("course", "course --db FILE [--target KPM]: every course unit in order: state, confidence, best, reached, recent misses, samples",
                course);
LK_TOOL_COMMAND("course-lesson", "course-lesson --db FILE --seed N [--target KPM]: the course lesson drawn with that seed, TEXT<TAB>READING",
                courseLesson);

}  // namespace lk::tool
