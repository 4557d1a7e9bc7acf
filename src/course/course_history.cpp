#include "course/course_history.h"

namespace lk {

std::vector<RunRecord> allRuns(const HistoryStore& store) {
  std::vector<std::int64_t> ids;
  for (const RunSummary& r : store.runs()) ids.push_back(r.id);
  return store.records(ids);
}

std::optional<CourseState> courseStateAt(const std::filesystem::path& path, const CourseWords& words, int targetKpm,
                                         HistoryStore::Status& status) {
  status = HistoryStore::Status::Ok;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return computeCourse({}, words.order, targetKpm);
  auto store = HistoryStore::open(path, status, HistoryStore::Mode::ReadOnly);
  if (!store) return std::nullopt;
  const std::vector<RunRecord> runs = allRuns(*store);
  return computeCourse(runs, words.order, targetKpm);
}

}  // namespace lk
