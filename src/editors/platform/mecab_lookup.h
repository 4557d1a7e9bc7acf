#pragma once

// Reading lookup backed by MeCab with the UTF-8 IPADIC dictionary. The
// dictionary (about 50 MB) is opened on the first lookup, not at start-up.

#include <memory>
#include <string>
#include <vector>

#include "editors/reading_lookup.h"

namespace lk {

class MecabLookup : public ReadingLookup {
 public:
  // Uses the system mecabrc, then the Debian UTF-8 IPADIC directly.
  MecabLookup();
  // Tagger argument strings tried in order ("-d /path/to/dic"); for tests.
  explicit MecabLookup(std::vector<std::string> taggerArgs);
  ~MecabLookup() override;
  MecabLookup(const MecabLookup&) = delete;
  MecabLookup& operator=(const MecabLookup&) = delete;

  // Reading of each morpheme in hiragana (ヴ stays: Shift-JIS has no
  // hiragana for it); digits, Latin letters and marks as they stand; the
  // text's own spaces kept. Widths are folded first (ﾊﾟｿｺﾝ as パソコン, ＡＢＣ
  // as ABC). "*" and "＊" never appear in the result. Empty when any part of
  // the text has no reading that can be typed (a kanji the dictionary does not
  // know, ♪), and when no UTF-8 dictionary can be opened.
  std::u16string hurigana(std::u16string_view text) override;
  // Surfaces of the morphemes of the text as given (no folding), the white
  // space MeCab skips kept with the word after it.
  std::vector<std::u16string> words(std::u16string_view text) override;

  // Opens the dictionary if that has not been tried yet; true when a UTF-8
  // dictionary is open.
  bool available();
  // Charset of the dictionary that was opened or refused last ("" if none).
  const std::string& dictionaryCharset() const { return charset_; }

 private:
  struct Impl;
  std::vector<std::string> args_;
  std::unique_ptr<Impl> impl_;
  bool tried_ = false;
  std::string charset_;
};

// Katakana to hiragana, leaving ヴ, ヵ, ヶ and everything else unchanged.
std::u16string katakanaToHiragana(std::u16string_view text);

}  // namespace lk
