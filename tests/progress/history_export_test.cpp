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

// The OWASP rule against formula injection: a cell a spreadsheet would
// compute or run starts with an apostrophe; quoting still applies after it.
TEST(HistoryCsv, CellsThatStartLikeAFormulaAreKeptAsText) {
  struct Case {
    const char* text;
    const char* cell;
  } cases[] = {
      {"=1+2", "'=1+2"},
      {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
      {"+81", "'+81"},
      {"-2", "'-2"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\ttab", "'\ttab"},
      {"\rcr", "\"'\rcr\""},
      {"=a,b", "\"'=a,b\""},
      {"=\"x\"", "\"'=\"\"x\"\"\""},
      {"a=b", "a=b"},
      {"初級", "初級"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(csvCell(c.text), c.cell) << c.text;

  RunSummary r;
  r.id = 1;
  r.title = u"=1+2";
  EXPECT_NE(historyCsv({r}).find(",word,'=1+2,"), std::string::npos);
}

}  // namespace
}  // namespace lk
