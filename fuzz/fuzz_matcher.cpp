// The flexible matcher on arbitrary text and keys: the first line is the
// canonical text, the second a settings choice, the rest the keys. Nothing
// may crash or hang, and whatever has been typed, the guide types the rest.
#include <cstdlib>
#include <string_view>

#include "engine/flexible_matcher.h"
#include "engine/key_settings.h"
#include "engine/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  auto line = [&in]() {
    const auto nl = in.find('\n');
    const std::string_view head = in.substr(0, nl);
    in = nl == std::string_view::npos ? std::string_view() : in.substr(nl + 1);
    return head;
  };
  const std::u16string canonical = lk::fromUtf8(line());
  const std::string_view choice = line();
  const std::u16string keys = lk::fromUtf8(in);

  lk::KeySettings settings;
  const auto table = lk::keyOptionTable();
  for (std::size_t i = 0; i < choice.size() && i < table.size(); ++i)
    settings.keys[i] = std::u16string(table[i].variants[static_cast<unsigned char>(choice[i]) %
                                                        static_cast<std::size_t>(table[i].variantCount)]);

  lk::FlexibleMatcher m(canonical, settings, {.replaceEveryX = !choice.empty() && choice[0] % 2});
  for (char16_t k : keys) {
    if (m.finished()) break;
    m.type(k);
  }
  const std::u16string rest = m.guide();
  for (char16_t k : rest)
    if (!m.type(k)) std::abort();
  if (!m.finished()) std::abort();
  return 0;
}
