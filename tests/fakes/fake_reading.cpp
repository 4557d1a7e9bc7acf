#include "fakes/fake_reading.h"

namespace lk::test {

std::u16string FakeReading::hurigana(std::u16string_view text) {
  asked.emplace_back(text);
  if (text.empty()) return {};
  auto it = readings.find(std::u16string(text));
  return it == readings.end() ? std::u16string() : it->second;
}

std::vector<std::u16string> FakeReading::words(std::u16string_view text) {
  auto it = wordLists.find(std::u16string(text));
  return it == wordLists.end() ? std::vector<std::u16string>() : it->second;
}

}  // namespace lk::test
