// The music editor's conversion and the drill's line preparation on
// arbitrary text: reading, note names and a settings choice, one per line.
#include <cstdlib>
#include <string_view>

#include "editors/melody_conversion.h"
#include "engine/key_settings.h"
#include "engine/text.h"
#include "music/melody.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const auto nl1 = in.find('\n');
  const std::u16string reading = lk::fromUtf8(in.substr(0, nl1));
  const std::string_view rest = nl1 == std::string_view::npos ? std::string_view() : in.substr(nl1 + 1);
  const auto nl2 = rest.find('\n');
  const std::u16string notes = lk::fromUtf8(rest.substr(0, nl2));
  const std::string_view choice = nl2 == std::string_view::npos ? std::string_view() : rest.substr(nl2 + 1);

  // Settings from the last line: each byte picks the variant of one row.
  lk::KeySettings settings;
  const auto table = lk::keyOptionTable();
  for (std::size_t i = 0; i < choice.size() && i < table.size(); ++i)
    settings.keys[i] = std::u16string(table[i].variants[static_cast<unsigned char>(choice[i]) %
                                                        static_cast<std::size_t>(table[i].variantCount)]);

  const lk::MusicPageConversion page = lk::convertMusicPage(reading, notes);
  if (page.ok) {
    if (page.melody.find(u' ') != std::u16string::npos || !page.error.empty()) std::abort();
    const lk::PreparedLine line = lk::prepare_line(page.romaji, page.melody, settings);
    lk::NoteQueue queue(line.tokens);
    for (std::size_t k = 0; k <= line.romaji.size(); ++k) (void)queue.consume();
  } else if (page.error.empty()) {
    std::abort();
  }
  // The raw texts as a stored line, too.
  const lk::PreparedLine raw = lk::prepare_line(reading, notes, settings);
  for (const auto& t : raw.tokens)
    if (t.empty() || t.size() > 3) std::abort();
  return 0;
}
