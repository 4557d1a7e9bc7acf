#pragma once

// What the course reads from the history store, shared by its screen and the tool.

#include <filesystem>
#include <optional>
#include <vector>

#include "course/course_model.h"
#include "course/lesson.h"
#include "progress/history_store.h"

namespace lk {

// Every kept run with its keystrokes, oldest first.
std::vector<RunRecord> allRuns(const HistoryStore& store);

// The course state over a store at `path`: a missing store is the first
// lesson's state; a store that cannot be read sets `status` and gives none.
std::optional<CourseState> courseStateAt(const std::filesystem::path& path, const CourseWords& words, int targetKpm,
                                         HistoryStore::Status& status);

}  // namespace lk
