#include "fakes/fake_reading.h"

namespace lk::test {

std::u16string FakeReading::hurigana(std::u16string_view text) {
  asked.emplace_back(text);
  if (text.empty()) return {};
  auto it = readings.find(std::u16string(text));
  return it == readings.end() ? std::u16string() : it->second;
}

}  // namespace lk::test
