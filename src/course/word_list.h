#pragma once

// The course's words: common Japanese words drawn from the IPADIC dictionary
// sources at build time, and the file they are kept in (course_words.txt,
// one `TEXT<TAB>READING<TAB>COST` line per word, most common first).

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lk {

inline constexpr const char* kCourseWordsFileName = "course_words.txt";

// Enough that every lesson after the first few has more than the real words
// it needs; more would only add rare words to the tail.
inline constexpr std::size_t kCourseWordCount = 6000;

struct CourseWord {
  std::u16string text;     // as written: "洋裁"
  std::u16string reading;  // in hiragana: "ようさい"
  int cost = 0;            // the dictionary's word cost; lower is more common
};

// The kana units of a hiragana reading (kana, compound kana, っ, ん, ー), as
// the keystroke record files its keys. Empty when the reading is not typeable.
std::vector<std::u16string> readingUnits(std::u16string_view reading);

// One dictionary line (already UTF-8) judged as a course word: common nouns,
// verbs and adjectives in their dictionary form and adverbs; no proper
// nouns, numbers, pronouns or symbols; no single-kana entries; a reading of
// 2 to 8 typeable units. False when the line does not qualify.
bool parseDictionaryLine(std::string_view line, CourseWord& word);

// Collects the course words from dictionary lines: one per reading (the
// lowest cost wins), ordered by cost then reading, at most `limit`.
class WordListBuilder {
 public:
  void addLine(std::string_view utf8Line);
  // Adds every line of an EUC-JP file; false when it cannot be read or decoded.
  bool addEucJpFile(const std::filesystem::path& path);
  std::vector<CourseWord> take(std::size_t limit) const;

 private:
  std::vector<CourseWord> words_;
};

// EUC-JP text to UTF-8; false on a byte sequence that is not EUC-JP.
bool eucJpToUtf8(std::string_view euc, std::string& utf8);

// Where the program finds the list: beside the program in the build tree,
// in ../share/luminakey once installed. Empty when neither has it.
std::filesystem::path findCourseWords(const std::filesystem::path& programFolder);
// The list at `path`; empty when it cannot be read.
std::vector<CourseWord> loadWordList(const std::filesystem::path& path);

std::string formatWordList(const std::vector<CourseWord>& words);
// Lines that do not hold three fields are skipped.
std::vector<CourseWord> parseWordList(std::string_view utf8);

}  // namespace lk
