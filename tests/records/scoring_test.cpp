#include "records/scoring.h"

#include <gtest/gtest.h>

namespace lk {
namespace {

TEST(Scoring, SpeedAndAccuracy) {
  struct Case {
    int chars, seconds, misses;
    int sokudo, seigo;
    int secondsAfter;
  } cases[] = {
      {300, 60, 0, 300, 100, 60},
      {200, 45, 0, 267, 100, 45},   // 266.67
      {200, 60, 1, 200, 100, 60},   // 99.5 rounds to the even 100
      {200, 60, 3, 200, 98, 60},    // 98.5 rounds to the even 98
      {120, 60, 150, 120, -25, 60}, // more misses than characters
      {1, 120, 0, 0, 100, 120},     // 0.5 per minute rounds to 0
      {0, 30, 0, 0, 100, 30},
      {37, 0, 0, 2220, 100, 1},     // finished within the first second: counts as 1 s
      {5, 24, 0, 12, 100, 24},      // 12.5 rounds to the even 12
      {7, 24, 0, 18, 100, 24},      // 17.5 rounds to the even 18
      {1, 400, 400, 0, -32768, 400},  // -39900 is below the 16-bit range: held at the bottom
  };
  for (const auto& c : cases) {
    DrillResult r{c.misses, c.seconds, c.chars};
    const DrillScores s = scoreDrill(r);
    EXPECT_EQ(s.sokudo, c.sokudo) << c.chars << "/" << c.seconds << "/" << c.misses;
    EXPECT_EQ(s.seigo, c.seigo) << c.chars << "/" << c.misses;
    EXPECT_EQ(r.elapsedSeconds, c.secondsAfter);
  }
}

TEST(Scoring, AccuracyFarBelowZeroIsHeldNotWrapped) {
  DrillResult r{100000, 60, 1};  // (1 - 100000) / 1 * 100 = -9999900
  EXPECT_EQ(scoreDrill(r).seigo, -32768);
  EXPECT_EQ(toScore16(1e9), 32767);
  EXPECT_EQ(toScore16(-0.5), 0);
  EXPECT_EQ(toScore16(-1.5), -2);
}

}  // namespace
}  // namespace lk
