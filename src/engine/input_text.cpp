#include "engine/input_text.h"

#include <algorithm>

namespace lk {

namespace {

struct Fold {
  char16_t from;
  char16_t to;
};

constexpr Fold kVariants[] = {
    {u'\u301C', u'\uFF5E'}, {u'\u2212', u'\uFF0D'}, {u'\u2016', u'\u2225'}, {u'\u00A2', u'\uFFE0'},
    {u'\u00A3', u'\uFFE1'}, {u'\u00AC', u'\uFFE2'}, {u'ゔ', u'ヴ'},
};

// U+FF61..U+FF9F in order: ｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱ..ﾝﾞﾟ
constexpr std::u16string_view kWide =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";

bool takesVoicedMark(char16_t c) {
  return std::u16string_view(u"カキクケコサシスセソタチツテトハヒフヘホ").find(c) != std::u16string_view::npos;
}

bool takesSemiVoicedMark(char16_t c) { return std::u16string_view(u"ハヒフヘホ").find(c) != std::u16string_view::npos; }

}  // namespace

std::u16string foldInputVariants(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    for (const Fold& f : kVariants) {
      if (c == f.from) {
        c = f.to;
        break;
      }
    }
  }
  return out;
}

std::u16string foldFullWidthAlphanumerics(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if ((c >= u'Ａ' && c <= u'Ｚ') || (c >= u'ａ' && c <= u'ｚ') || (c >= u'０' && c <= u'９')) {
      c = static_cast<char16_t>(c - 0xFEE0);
    }
  }
  return out;
}

std::u16string widenHalfWidthKatakana(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0xFF61 || c > 0xFF9F) {
      out.push_back(c);
      continue;
    }
    const char16_t wide = kWide[c - 0xFF61];
    if (!out.empty() && wide == u'゛') {
      char16_t& before = out.back();
      if (before == u'ウ') {
        before = u'ヴ';
        continue;
      }
      if (takesVoicedMark(before)) {
        ++before;
        continue;
      }
    }
    if (!out.empty() && wide == u'゜' && takesSemiVoicedMark(out.back())) {
      out.back() = static_cast<char16_t>(out.back() + 2);
      continue;
    }
    out.push_back(wide);
  }
  return out;
}

bool isTypeableReading(std::u16string_view reading, KanaToRomajiVariant variant) {
  return isTypeableRomaji(kanaToRomaji(reading, variant));
}

bool isTypeableRomaji(std::u16string_view romaji) {
  return std::all_of(romaji.begin(), romaji.end(), [](char16_t c) { return c >= 0x20 && c <= 0x7E; });
}

}  // namespace lk
