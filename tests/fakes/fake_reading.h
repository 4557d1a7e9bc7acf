#pragma once

// A scripted reading lookup: answers from a table of text -> reading, the
// empty string for anything else, and records every text it was asked.

#include <map>
#include <string>
#include <vector>

#include "editors/reading_lookup.h"

namespace lk::test {

class FakeReading : public ReadingLookup {
 public:
  std::map<std::u16string, std::u16string> readings;
  std::vector<std::u16string> asked;

  // Word boundaries answered by words(); a text not listed has none.
  std::map<std::u16string, std::vector<std::u16string>> wordLists;

  void set(std::u16string text, std::u16string reading) { readings[std::move(text)] = std::move(reading); }
  std::u16string hurigana(std::u16string_view text) override;
  std::vector<std::u16string> words(std::u16string_view text) override;
};

}  // namespace lk::test
