#include "engine/input_text.h"

#include <gtest/gtest.h>

#include "engine/text.h"

namespace lk {
namespace {

struct Case {
  std::u16string_view in;
  std::u16string_view out;
};

TEST(InputText, VariantsBecomeTheirCodePage932Forms) {
  const Case cases[] = {
      {u"あ\u301Cい", u"あ\uFF5Eい"},       // wave dash as Linux input methods type 〜
      {u"\u2212\u2016", u"\uFF0D\u2225"},  // minus sign, double vertical line
      {u"\u00A2\u00A3\u00AC", u"\uFFE0\uFFE1\uFFE2"},
      {u"ゔぁいおりん", u"ヴぁいおりん"},
      {u"～－∥ヴ漢字abc", u"～－∥ヴ漢字abc"},  // already the 932 forms: untouched
  };
  for (const Case& c : cases) EXPECT_EQ(toUtf8(foldInputVariants(c.in)), toUtf8(c.out)) << toUtf8(c.in);
}

TEST(InputText, EnteredVariantsConvertToTypeableRomaji) {
  // The whole point of the fold: the wave dash typed on Linux becomes "~".
  EXPECT_EQ(toUtf8(kanaToRomaji(foldInputVariants(u"あ〜い"))), "a~i");
  EXPECT_EQ(toUtf8(kanaToRomaji(foldInputVariants(u"ゔぇ"))), "vuxe");
}

TEST(InputText, FullWidthLettersAndDigitsBecomeAscii) {
  const Case cases[] = {
      {u"ＫＯＢＥ", u"KOBE"}, {u"ａｚ０９", u"az09"}, {u"！＃　ア", u"！＃　ア"},  // signs and kana stay
  };
  for (const Case& c : cases) EXPECT_EQ(toUtf8(foldFullWidthAlphanumerics(c.in)), toUtf8(c.out));
  // Folded before the conversion, letters stay protected letters.
  EXPECT_EQ(toUtf8(kanaToRomaji(foldFullWidthAlphanumerics(u"ＫＯＢＥ"))), "*k**o**b**e*");
}

TEST(InputText, HalfWidthKatakanaWidensAndJoinsItsMarks) {
  const Case cases[] = {
      {u"ﾊﾟｿｺﾝ", u"パソコン"},
      {u"ｶﾞｷﾞﾂﾞﾃﾞﾄﾞﾊﾞﾎﾟ", u"ガギヅデドバポ"},
      {u"ｳﾞｧｲｵﾘﾝ", u"ヴァイオリン"},
      {u"ｱﾞﾟ", u"ア゛゜"},  // marks that join nothing stand alone
      {u"ﾞｰ｡｢｣､･ｦｯ", u"゛ー。「」、・ヲッ"},
      {u"ab漢", u"ab漢"},
  };
  for (const Case& c : cases) EXPECT_EQ(toUtf8(widenHalfWidthKatakana(c.in)), toUtf8(c.out)) << toUtf8(c.in);
}

TEST(InputText, TypeableReadings) {
  struct Row {
    std::u16string_view reading;
    bool typing;
    bool music;
  };
  const Row rows[] = {
      {u"", true, true},
      {u"こんにちは、せかい。", true, true},
      {u"ベートーヴェン", true, true},
      {u"Good morning!", true, true},
      {u"ＡＢＣ！？（）", true, true},
      {u"ぱそ\u3000こん", true, true},  // the ideographic space narrows
      {u"～", true, true},
      {u"ｰ", true, false},  // only the typing editor's list turns ｰ into "-"
      {u"漢字", false, false},
      {u"ららら♪", false, false},
      {u"ﾊﾟｿｺﾝ", false, false},
      {u"ゐゑゎヵヶ", false, false},
      {u"\u301C", false, false},  // not folded yet: the caller folds first
      {u"a\tb", false, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(isTypeableReading(r.reading), r.typing) << toUtf8(r.reading);
    EXPECT_EQ(isTypeableReading(r.reading, KanaToRomajiVariant::MusicEditor), r.music) << toUtf8(r.reading);
  }
}

}  // namespace
}  // namespace lk
