#include "course/course_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "course/lesson.h"

namespace lk {
namespace {

// One typed unit of a scripted run: its keys at a steady pace, optionally a
// miss first.
struct Step {
  std::u16string unit;
  int keys = 1;
  int msPerKey = 400;
  bool missFirst = false;
  bool afterPause = false;
};

RunRecord scriptedRun(DrillMode mode, const std::vector<Step>& steps) {
  RunRecord r;
  r.mode = mode;
  std::int32_t t = 0;
  for (const Step& s : steps) {
    auto it = std::find(r.units.begin(), r.units.end(), s.unit);
    const auto u = static_cast<std::uint16_t>(it - r.units.begin());
    if (it == r.units.end()) r.units.push_back(s.unit);
    bool first = true;
    if (s.missFirst) {
      t += s.msPerKey;
      r.keys.push_back({t, u'x', u'q', u, 0, false, s.afterPause});
      first = false;
    }
    for (int k = 0; k < s.keys; ++k) {
      t += s.msPerKey + (first && s.afterPause ? 6000 : 0);
      r.keys.push_back({t, u'x', u'x', u, static_cast<std::uint8_t>(k), true, first && s.afterPause});
      first = false;
    }
  }
  return r;
}

const std::vector<std::u16string> kOrder = {u"あ", u"い", u"う", u"え", u"お", u"か", u"きゃ", u"く", u"け", u"こ"};

// Every unit of the first lesson a few times, each at `ms` per key (きゃ takes three keys).
std::vector<Step> firstLessonSteps(int ms, int times = 3) {
  std::vector<Step> out{{u"あ", 1, ms}};  // the run's first key carries no time
  for (int n = 0; n < times; ++n) {
    for (std::size_t i = 0; i < kCourseFirstUnits; ++i) out.push_back({kOrder[i], kOrder[i] == u"きゃ" ? 3 : 1, ms});
  }
  return out;
}

const UnitProgress& unit(const CourseState& s, std::u16string_view u) {
  return *std::find_if(s.units.begin(), s.units.end(), [&](const UnitProgress& p) { return p.unit == u; });
}

TEST(CourseOccurrences, TimeFromTheKeyBeforeOverEveryKeyOfTheUnit) {
  const RunRecord r = scriptedRun(DrillMode::Course, {{u"あ", 1, 300}, {u"きゃ", 3, 200}, {u"い", 1, 100, true},
                                                       {u"う", 1, 100, false, true}});
  const auto occ = unitOccurrences(r);
  ASSERT_EQ(occ.size(), 4u);
  EXPECT_FALSE(occ[0].timed);  // first key of the run
  EXPECT_TRUE(occ[1].timed);
  EXPECT_EQ(occ[1].keys, 3);
  EXPECT_EQ(occ[1].ms, 600);
  EXPECT_TRUE(occ[2].missed);  // the miss and the hit are one occurrence, timed from before the miss
  EXPECT_EQ(occ[2].ms, 200);
  EXPECT_FALSE(occ[3].timed);  // a question's first key after a pause
}

TEST(CourseState, FirstLessonWithoutHistory) {
  const CourseState s = computeCourse({}, kOrder);
  EXPECT_EQ(s.includedCount, kCourseFirstUnits);
  ASSERT_TRUE(s.focus);
  EXPECT_EQ(*s.focus, kCourseFirstUnits - 1);  // all at 0: the last included one
  EXPECT_FALSE(s.units[kCourseFirstUnits].included);
}

TEST(CourseState, TwoKeyUnitAtTargetSpeedPerKeyIsReached) {
  // 120 keys per minute is 500 ms per key: きゃ at 500 ms per key (1.5 s for the unit) is exactly on target.
  const std::vector<RunRecord> runs{scriptedRun(DrillMode::Word, firstLessonSteps(500))};
  const CourseState s = computeCourse(runs, kOrder, 120);
  EXPECT_NEAR(unit(s, u"きゃ").confidence, 1.0, 1e-9);
  EXPECT_TRUE(unit(s, u"きゃ").reached);
  EXPECT_EQ(unit(s, u"きゃ").samples, 3);
  // Not a course run: nothing more is included yet.
  EXPECT_EQ(s.includedCount, kCourseFirstUnits);
}

TEST(CourseState, IncludesOneUnitAfterACourseRunWhenAllAreReached) {
  struct Case {
    const char* name;
    int ms;
    int missedUnits;  // occurrences of え with a miss, out of 21
    std::size_t included;
  } cases[] = {
      {"fast, clean", 300, 0, 9},
      {"fast, one miss in 20 is 5 %", 300, 1, 9},
      {"fast, two misses in 20", 300, 2, 8},
      {"slow", 700, 0, 8},
  };
  for (const Case& c : cases) {
    std::vector<Step> steps = firstLessonSteps(c.ms);
    for (int i = 0; i < 18; ++i) steps.push_back({u"え", 1, c.ms, i < c.missedUnits});
    const std::vector<RunRecord> runs{scriptedRun(DrillMode::Course, steps)};
    const CourseState s = computeCourse(runs, kOrder, 120);
    EXPECT_EQ(s.includedCount, c.included) << c.name;
    EXPECT_EQ(s.lastIncluded.has_value(), c.included == 9) << c.name;
    if (c.included == 9) EXPECT_EQ(*s.lastIncluded, u"け") << c.name;
  }
  // One unit a course run, and reached once stays reached while the misses stay low.
  auto everyUnit = [](int ms) {
    std::vector<Step> out{{u"あ", 1, ms}};
    for (int n = 0; n < 3; ++n) {
      for (const auto& u : kOrder) out.push_back({u, u == u"きゃ" ? 3 : 1, ms});
    }
    return out;
  };
  std::vector<RunRecord> runs{scriptedRun(DrillMode::Course, everyUnit(300)),
                              scriptedRun(DrillMode::Course, everyUnit(600))};
  EXPECT_EQ(computeCourse(runs, kOrder, 120).includedCount, 10u);
  EXPECT_EQ(computeCourse(std::span(runs).first(1), kOrder, 120).includedCount, 9u);
}

TEST(CourseState, FocusIsTheLeastConfidentIncludedUnit) {
  std::vector<Step> steps = firstLessonSteps(300);
  steps.push_back({u"う", 1, 3000});  // one slow う pulls its smoothed time up
  const std::vector<RunRecord> runs{scriptedRun(DrillMode::Word, steps)};
  const CourseState s = computeCourse(runs, kOrder, 120);
  ASSERT_TRUE(s.focus);
  EXPECT_EQ(s.units[*s.focus].unit, u"う");
  EXPECT_TRUE(s.units[*s.focus].focus);
  EXPECT_NEAR(s.units[*s.focus].smoothedMsPerKey, 300 + 0.1 * 2700, 1e-9);
}

TEST(CourseForecast, QuadraticFitAndItsGate) {
  const std::vector<double> quad{1, 2, 5, 10, 17};  // 1 + x²
  const auto fit = fitQuadratic(quad);
  ASSERT_TRUE(fit);
  EXPECT_NEAR(fit->a, 1, 1e-9);
  EXPECT_NEAR(fit->b, 0, 1e-9);
  EXPECT_NEAR(fit->c, 1, 1e-9);
  EXPECT_NEAR(fit->r2, 1, 1e-9);
  EXPECT_FALSE(fitQuadratic(std::vector<double>{1, 2}));

  UnitProgress rising;  // 100, 110, ... keys per minute: 120 in two more lessons... after the last at 140
  for (int kpm : {100, 110, 120, 130, 140}) rising.lessonMsPerKey.push_back(60000.0 / kpm);
  EXPECT_EQ(lessonsLeft(rising, 175), 4);  // 150, 160, 170, 180
  UnitProgress noisy;  // no trend: the fit explains little
  for (int kpm : {100, 140, 95, 150, 100, 145, 98}) noisy.lessonMsPerKey.push_back(60000.0 / kpm);
  EXPECT_FALSE(lessonsLeft(noisy, 175));
}

// A word list of the test's own: enough real words for the first lesson, or too few.
CourseWords fixtureWords(bool few) {
  std::vector<CourseWord> w;
  const char16_t* many[] = {u"あい", u"あお", u"いえ", u"うえ", u"おい", u"かお", u"かい", u"いか", u"えき",
                            u"あき", u"きく", u"かく", u"おく", u"いく", u"うく", u"えく", u"あく", u"かき",
                            u"きゃく", u"おきゃく", u"こい", u"けい"};
  int cost = 0;
  for (const char16_t* r : many) {
    if (few && cost >= 5) break;
    w.push_back({r, r, cost++});
  }
  CourseWords cw = prepareCourseWords(std::move(w));
  cw.order = {u"あ", u"い", u"う", u"え", u"お", u"か", u"き", u"く", u"きゃ", u"こ", u"け"};
  return cw;
}

TEST(CourseLesson, IncludedUnitsOnlyFocusShareNoRepeats) {
  const CourseWords words = fixtureWords(false);
  const CourseState state = computeCourse({}, words.order);  // focus く, the 8th
  ASSERT_EQ(state.units[*state.focus].unit, u"く");
  for (std::uint64_t seed : {1u, 2u, 3u}) {
    SeededRandom random(seed);
    const auto lesson = drawLesson(words, state, random);
    ASSERT_FALSE(lesson.empty());
    std::set<std::u16string> seen;
    int focus = 0;
    for (const LessonWord& w : lesson) {
      EXPECT_FALSE(w.pseudo);
      EXPECT_TRUE(seen.insert(w.reading).second) << "twice: " << w.reading.size();
      for (const auto& u : readingUnits(w.reading)) EXPECT_NE(u, u"きゃ");  // locked
      for (const auto& u : readingUnits(w.reading)) EXPECT_NE(u, u"こ");
      if (w.reading.find(u"く") != std::u16string::npos) ++focus;
    }
    EXPECT_GE(focus, 0.4 * static_cast<double>(lesson.size()) - 1) << seed;
  }
  SeededRandom a(7), b(7);
  EXPECT_EQ(drawLesson(words, state, a).size(), drawLesson(words, state, b).size());
}

TEST(CourseLesson, PseudoWordsFillInWhenRealWordsAreFew) {
  const CourseWords words = fixtureWords(true);
  const CourseState state = computeCourse({}, words.order);
  SeededRandom random(5);
  const auto lesson = drawLesson(words, state, random);
  int pseudo = 0, keys = 0;
  std::set<std::u16string> included(words.order.begin(), words.order.begin() + kCourseFirstUnits);
  for (const LessonWord& w : lesson) {
    if (!w.pseudo) continue;
    ++pseudo;
    const auto us = readingUnits(w.reading);
    EXPECT_GE(us.size(), 2u);
    EXPECT_LE(us.size(), 4u);
    for (const auto& u : us) EXPECT_TRUE(included.count(u));
    keys += static_cast<int>(w.reading.size());
  }
  EXPECT_GT(pseudo, 0);
  EXPECT_GE(lesson.size(), 15u);  // the lesson still reaches its length
  const ProblemSet set = lessonProblemSet(lesson);
  EXPECT_EQ(set.count, static_cast<int>(lesson.size()));
  EXPECT_TRUE(set.askInOrder);
}

TEST(CourseLesson, QuestionTextShowsTheWordWithItsReading) {
  const ProblemSet set = lessonProblemSet({{u"洋裁", u"ようさい", false}, {u"かい", u"かい", true}});
  EXPECT_EQ(set.text[0], u"洋裁（ようさい）");
  EXPECT_EQ(set.text[1], u"かい");
  EXPECT_EQ(set.romaji[0], u"yousai");
}

}  // namespace
}  // namespace lk
