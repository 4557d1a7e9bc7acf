// The CSV export of the history.
#include "progress/history_export.h"

#include <gtest/gtest.h>

namespace lk {
namespace {

TEST(HistoryCsv, BomHeaderQuotedTitlesAndCrlf) {
  RunSummary a;
  a.id = 3;
  a.started = LocalDateTime{2026, 2, 3, 4, 5, 6};
  a.mode = DrillMode::Music;
  a.title = u"歌, \"名曲\"";
  a.questions = 4;
  a.chars = 120;
  a.misses = 5;
  a.seconds = 61;
  a.speed = 118;
  a.accuracy = 96;
  RunSummary b;
  b.id = 4;
  b.title = u"初 級";
  EXPECT_EQ(historyCsv({a, b}),
            "\xEF\xBB\xBFid,started,mode,title,questions,chars,misses,seconds,speed,accuracy\r\n"
            "3,2026-02-03T04:05:06,music,\"歌, \"\"名曲\"\"\",4,120,5,61,118,96\r\n"
            "4,2000-01-01T00:00:00,word,初 級,0,0,0,0,0,0\r\n");
  EXPECT_EQ(historyCsv({}), "\xEF\xBB\xBFid,started,mode,title,questions,chars,misses,seconds,speed,accuracy\r\n");
}

}  // namespace
}  // namespace lk
