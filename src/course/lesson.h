#pragma once

// A course lesson: about 120 keys of words typed with the included units
// only, at least 40 % of them holding the focus unit, no word twice.
// Pseudo-words fill in while fewer than 15 real words qualify.

#include <string>
#include <vector>

#include "course/course_model.h"
#include "course/word_list.h"
#include "records/problem_set.h"
#include "shell/services.h"

namespace lk {

inline constexpr int kLessonKeys = 120;
inline constexpr double kLessonFocusShare = 0.4;
inline constexpr std::size_t kLessonMinRealWords = 15;

struct LessonWord {
  std::u16string text;     // "洋裁", or the reading for a pseudo-word
  std::u16string reading;  // "ようさい"
  bool pseudo = false;
};

// The words a course may use, each with its units (read once, kept by the screen).
struct CourseWords {
  std::vector<CourseWord> words;
  std::vector<std::vector<std::u16string>> units;  // per word
  std::vector<std::u16string> order;               // introduction order
};
CourseWords prepareCourseWords(std::vector<CourseWord> words);

std::vector<LessonWord> drawLesson(const CourseWords& words, const CourseState& state, Random& random);

// A seeded generator for a lesson that can be drawn again (the tool's --seed).
class SeededRandom : public Random {
 public:
  explicit SeededRandom(std::uint64_t seed) : state_(seed) {}
  void reseed() override {}
  double next() override;

 private:
  std::uint64_t state_;
};

// The lesson as the word drill's problem set: "洋裁（ようさい）" over its reading.
ProblemSet lessonProblemSet(const std::vector<LessonWord>& lesson);

}  // namespace lk
