#include "course/word_list.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>

#include "engine/text.h"

namespace lk {
namespace {

std::string toEucJp(const std::string& utf8) {
  iconv_t cd = iconv_open("EUC-JP", "UTF-8");
  std::string out(utf8.size() * 2, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size(), outLeft = out.size();
  char* o = out.data();
  iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

TEST(CourseWordLine, KeepsOnlyCommonWordsInDictionaryForm) {
  struct Case {
    const char* line;
    bool kept;
    const char16_t* reading;
  } cases[] = {
      {"洋裁,1285,1285,5618,名詞,一般,*,*,*,*,洋裁,ヨウサイ,ヨーサイ", true, u"ようさい"},
      {"運転,1283,1283,-801,名詞,サ変接続,*,*,*,*,運転,ウンテン,ウンテン", true, u"うんてん"},
      {"引き込む,762,762,7122,動詞,自立,*,*,五段・マ行,基本形,引き込む,ヒキコム,ヒキコム", true, u"ひきこむ"},
      {"引き込ま,764,764,7118,動詞,自立,*,*,五段・マ行,未然形,引き込む,ヒキコマ,ヒキコマ", false, nullptr},
      {"やぼったい,19,19,6956,形容詞,自立,*,*,形容詞・アウオ段,基本形,やぼったい,ヤボッタイ,ヤボッタイ", true, u"やぼったい"},
      {"釈然と,1281,1281,5882,副詞,一般,*,*,*,*,釈然と,シャクゼント,シャクゼント", true, u"しゃくぜんと"},
      {"ゴルフ,1285,1285,-228,名詞,一般,*,*,*,*,ゴルフ,ゴルフ,ゴルフ", true, u"ごるふ"},
      {"東京,1293,1293,3000,名詞,固有名詞,地域,一般,*,*,東京,トウキョウ,トーキョー", false, nullptr},
      {"太郎,1291,1291,3000,名詞,固有名詞,人名,名,*,*,太郎,タロウ,タロー", false, nullptr},
      {"五,1295,1295,3000,名詞,数,*,*,*,*,五,ゴ,ゴ", false, nullptr},
      {"これ,1306,1306,3000,名詞,代名詞,一般,*,*,*,これ,コレ,コレ", false, nullptr},
      {"え,1285,1285,3000,名詞,一般,*,*,*,*,え,エ,エ", false, nullptr},           // a single kana
      {"絵,1285,1285,3000,名詞,一般,*,*,*,*,絵,エ,エ", false, nullptr},           // one unit
      {"ＣＤ,1285,1285,3000,名詞,一般,*,*,*,*,ＣＤ,シーディー,シーディー", false, nullptr},  // Latin letters
      {"ヴィラ,1285,1285,3000,名詞,一般,*,*,*,*,ヴィラ,ヴィラ,ヴィラ", false, nullptr},  // no hiragana for ヴ
      {"超長大単語,1285,1285,3000,名詞,一般,*,*,*,*,超長大単語,チョウチョウダイタンゴゴゴ,x", false, nullptr},  // 9 units
      {"壊れた,行", false, nullptr},
  };
  for (const Case& c : cases) {
    CourseWord w;
    EXPECT_EQ(parseDictionaryLine(c.line, w), c.kept) << c.line;
    if (c.kept && c.reading) EXPECT_EQ(w.reading, c.reading) << c.line;
  }
}

TEST(CourseWordLine, UnitsFollowTheKeystrokeRecord) {
  EXPECT_EQ(readingUnits(u"しゃっきん"), (std::vector<std::u16string>{u"しゃ", u"っ", u"き", u"ん"}));
  EXPECT_EQ(readingUnits(u"ようさい").size(), 4u);
  EXPECT_TRUE(readingUnits(u"漢字").empty());
}

TEST(CourseWordListBuilder, OneEntryPerReadingLowestCostFirstFromEucJp) {
  const std::string csv =
      "会館,1285,1285,500,名詞,一般,*,*,*,*,会館,カイカン,カイカン\n"
      "海関,1285,1285,9000,名詞,一般,*,*,*,*,海関,カイカン,カイカン\n"
      "快感,1285,1285,300,名詞,一般,*,*,*,*,快感,カイカン,カイカン\n"
      "青い,19,19,100,形容詞,自立,*,*,形容詞・アウオ段,基本形,青い,アオイ,アオイ\n"
      "会員,1285,1285,700,名詞,一般,*,*,*,*,会員,カイイン,カイイン\n";
  const auto dir = std::filesystem::temp_directory_path() / ("lk_course_words_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "Noun.csv";
  std::ofstream(file, std::ios::binary) << toEucJp(csv);

  WordListBuilder b;
  ASSERT_TRUE(b.addEucJpFile(file));
  const auto words = b.take(10);
  ASSERT_EQ(words.size(), 3u);
  EXPECT_EQ(words[0].text, u"青い");
  EXPECT_EQ(words[1].text, u"快感");  // the cheapest of the three かいかん
  EXPECT_EQ(words[2].text, u"会員");
  EXPECT_EQ(b.take(2).size(), 2u);

  // The file round-trips, and a file that is not EUC-JP is refused, not guessed.
  EXPECT_EQ(parseWordList(formatWordList(words)).size(), 3u);
  EXPECT_EQ(parseWordList(formatWordList(words))[1].cost, 300);
  std::ofstream(dir / "bad.csv", std::ios::binary) << "\xff\xfe\xfd,1,1,1\n";
  EXPECT_FALSE(b.addEucJpFile(dir / "bad.csv"));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lk
