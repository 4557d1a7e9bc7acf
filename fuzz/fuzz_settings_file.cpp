// set.dat on arbitrary bytes: whatever the file says, the settings that come
// out are ones the settings screens can show.
#include <algorithm>
#include <cstdlib>

#include "memory_file.h"
#include "records/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lk::KeySettings s;
  const auto r = lk::loadSettings(s, lk::fuzz::memoryFile(data, size));
  if (r.ok != r.message.empty()) std::abort();
  if (s.koukaon != 0 && s.koukaon != 1) std::abort();
  if (std::find(lk::kSaidaiChoices.begin(), lk::kSaidaiChoices.end(), s.saidai) == lk::kSaidaiChoices.end()) std::abort();
  const auto table = lk::keyOptionTable();
  for (int row = 0; row < lk::kKeySettingCount; ++row) {
    if (!table[static_cast<std::size_t>(row)].offers(s.variant(row))) std::abort();
  }
  if (!r.ok && s != lk::KeySettings()) std::abort();
  return 0;
}
