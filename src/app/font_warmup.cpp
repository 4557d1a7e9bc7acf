#include "app/font_warmup.h"

#include <fontconfig/fontconfig.h>

namespace lk {

std::jthread warmUpFonts() {
  return std::jthread([] {
    if (!FcInit()) return;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("IPAGothic"));
    if (!pattern) return;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
  });
}

}  // namespace lk
