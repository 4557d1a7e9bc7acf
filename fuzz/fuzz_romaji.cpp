// The engine's conversions on arbitrary text: the reading on the first line
// (as an editor would pass it), a settings choice on the second.
#include <cstdlib>
#include <string_view>

#include "engine/kana_to_romaji.h"
#include "engine/key_settings.h"
#include "engine/rewrite.h"
#include "engine/romaji_to_kana.h"
#include "engine/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const auto nl = in.find('\n');
  std::u16string reading = lk::fromUtf8(in.substr(0, nl));
  const std::string_view choice = nl == std::string_view::npos ? std::string_view() : in.substr(nl + 1);

  lk::KeySettings settings;
  const auto table = lk::keyOptionTable();
  for (std::size_t i = 0; i < choice.size() && i < table.size(); ++i)
    settings.keys[i] = std::u16string(table[i].variants[static_cast<unsigned char>(choice[i]) %
                                                        static_cast<std::size_t>(table[i].variantCount)]);

  for (auto variant : {lk::KanaToRomajiVariant::TypingEditor, lk::KanaToRomajiVariant::MusicEditor}) {
    const std::u16string canonical = lk::kanaToRomaji(reading, variant);
    const std::u16string typed = lk::rewriteRomaji(canonical, settings);
    // What the drill expects never holds a space or an asterisk.
    if (typed.find(u' ') != std::u16string::npos || typed.find(u'*') != std::u16string::npos) std::abort();
    (void)lk::romajiToKana(canonical);
  }
  // Arbitrary text as stored romaji, too (a hand-edited problem file).
  (void)lk::rewriteRomaji(reading, settings);
  (void)lk::romajiToKana(reading);
  return 0;
}
