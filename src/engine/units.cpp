#include "engine/units.h"

#include "engine/romaji_to_kana.h"

namespace lk {

// Placeholder: the whole text as one unit until the tracked rewrite lands.
std::vector<KeyUnit> rewriteByUnit(std::u16string_view canonical, const KeySettings& settings,
                                   const RewriteOptions& options) {
  if (canonical.empty()) return {};
  return {KeyUnit{rewriteRomaji(canonical, settings, options), romajiToKana(canonical)}};
}

}  // namespace lk
