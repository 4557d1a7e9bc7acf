#include "editors/reading_rows.h"

#include "engine/kana_to_romaji.h"
#include "engine/romaji_to_kana.h"

namespace lk {

namespace {

template <class Convert>
void convertEntries(ProblemSet& set, Convert convert) {
  if (set.romaji.size() < static_cast<std::size_t>(kEditorEntryCount)) set.romaji.resize(kEditorEntryCount);
  for (int i = 0; i < kEditorEntryCount; ++i) {
    auto& entry = set.romaji[static_cast<std::size_t>(i)];
    entry = convert(entry);
  }
}

}  // namespace

void okikae(ProblemSet& set) {
  convertEntries(set, [](const std::u16string& s) { return kanaToRomaji(s); });
}

void okikae_b(ProblemSet& set) {
  convertEntries(set, [](const std::u16string& s) { return romajiToKana(s); });
}

}  // namespace lk
