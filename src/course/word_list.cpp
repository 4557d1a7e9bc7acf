#include "course/word_list.h"

#include <iconv.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unordered_map>

#include "engine/input_text.h"
#include "engine/kana_to_romaji.h"
#include "engine/key_settings.h"
#include "engine/text.h"
#include "engine/units.h"

namespace lk {

namespace {

std::vector<std::string_view> splitFields(std::string_view line, char sep) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (true) {
    const std::size_t p = line.find(sep, start);
    out.push_back(line.substr(start, p == std::string_view::npos ? std::string_view::npos : p - start));
    if (p == std::string_view::npos) break;
    start = p + 1;
  }
  return out;
}

bool isHiragana(char16_t c) { return (c >= u'ぁ' && c <= u'ゖ') || c == u'ー'; }

bool isKanaOnly(std::u16string_view s) {
  return std::all_of(s.begin(), s.end(), [](char16_t c) { return isHiragana(c) || (c >= u'ァ' && c <= u'ヶ'); });
}

// Which parts of speech make course words: (pos1, pos2, base form only).
bool wantedPartOfSpeech(std::string_view pos1, std::string_view pos2, std::string_view form) {
  if (pos1 == "名詞") {
    return pos2 == "一般" || pos2 == "サ変接続" || pos2 == "形容動詞語幹" || pos2 == "副詞可能";
  }
  if (pos1 == "動詞" || pos1 == "形容詞") return pos2 == "自立" && form == "基本形";
  return pos1 == "副詞";
}


std::u16string toHiragana(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    // ヴ ヵ ヶ have no hiragana the problem files can hold: they stay and fail the check.
    if (c >= u'ァ' && c <= u'ヶ' && c != u'ヴ' && c != u'ヵ' && c != u'ヶ') c = static_cast<char16_t>(c - 0x60);
  }
  return out;
}

}  // namespace

std::vector<std::u16string> readingUnits(std::u16string_view reading) {
  if (reading.empty() || !isTypeableReading(reading)) return {};
  const std::u16string canonical = kanaToRomaji(reading);
  std::vector<std::u16string> out;
  for (const KeyUnit& u : rewriteByUnit(canonical, KeySettings{})) out.push_back(u.unit);
  return out;
}

bool parseDictionaryLine(std::string_view line, CourseWord& word) {
  const auto f = splitFields(line, ',');
  if (f.size() < 12) return false;
  if (!wantedPartOfSpeech(f[4], f[5], f[9])) return false;
  int cost = 0;
  const auto [p, ec] = std::from_chars(f[3].data(), f[3].data() + f[3].size(), cost);
  if (ec != std::errc() || p != f[3].data() + f[3].size()) return false;
  const std::u16string text = fromUtf8(f[0]);
  const std::u16string reading = toHiragana(fromUtf8(f[11]));
  if (text.empty() || !std::all_of(reading.begin(), reading.end(), isHiragana)) return false;
  // A lone kana (え, か) is a particle or a letter to the learner, not a word.
  if (text.size() == 1 && isKanaOnly(text)) return false;
  // Words written with Latin letters, digits or signs are not Japanese words to type.
  for (char16_t c : text) {
    if (c < 0x3000 || (c >= 0xFF00 && c <= 0xFFEF)) return false;
  }
  const std::size_t units = readingUnits(reading).size();
  if (units < 2 || units > 8) return false;
  word = {text, reading, cost};
  return true;
}

void WordListBuilder::addLine(std::string_view utf8Line) {
  CourseWord w;
  if (parseDictionaryLine(utf8Line, w)) words_.push_back(std::move(w));
}

bool eucJpToUtf8(std::string_view euc, std::string& utf8) {
  iconv_t cd = iconv_open("UTF-8", "EUC-JP");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  utf8.assign(euc.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(euc.data());
  std::size_t inLeft = euc.size();
  char* out = utf8.data();
  std::size_t outLeft = utf8.size();
  const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1) || inLeft != 0) return false;
  utf8.resize(utf8.size() - outLeft);
  return true;
}

bool WordListBuilder::addEucJpFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string text;
  if (!eucJpToUtf8(bytes, text)) return false;
  for (std::string_view line : splitFields(text, '\n')) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) addLine(line);
  }
  return true;
}

std::vector<CourseWord> WordListBuilder::take(std::size_t limit) const {
  std::unordered_map<std::u16string, const CourseWord*> best;
  for (const CourseWord& w : words_) {
    auto [it, added] = best.emplace(w.reading, &w);
    // Ties keep the earlier line, so the list does not depend on hash order.
    if (!added && w.cost < it->second->cost) it->second = &w;
  }
  std::vector<CourseWord> out;
  out.reserve(best.size());
  for (const auto& [reading, w] : best) out.push_back(*w);
  std::sort(out.begin(), out.end(), [](const CourseWord& a, const CourseWord& b) {
    return a.cost != b.cost ? a.cost < b.cost : a.reading != b.reading ? a.reading < b.reading : a.text < b.text;
  });
  if (out.size() > limit) out.resize(limit);
  return out;
}

std::filesystem::path findCourseWords(const std::filesystem::path& programFolder) {
  std::error_code ec;
  for (const auto& p : {programFolder / kCourseWordsFileName,
                        programFolder / ".." / "share" / "luminakey" / kCourseWordsFileName}) {
    if (std::filesystem::is_regular_file(p, ec)) return p;
  }
  return {};
}

std::vector<CourseWord> loadWordList(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return parseWordList(bytes);
}

std::string formatWordList(const std::vector<CourseWord>& words) {
  std::string out;
  for (const CourseWord& w : words) {
    out += toUtf8(w.text) + '\t' + toUtf8(w.reading) + '\t' + std::to_string(w.cost) + '\n';
  }
  return out;
}

std::vector<CourseWord> parseWordList(std::string_view utf8) {
  std::vector<CourseWord> out;
  for (std::string_view line : splitFields(utf8, '\n')) {
    const auto f = splitFields(line, '\t');
    if (f.size() != 3) continue;
    CourseWord w{fromUtf8(f[0]), fromUtf8(f[1]), 0};
    std::from_chars(f[2].data(), f[2].data() + f[2].size(), w.cost);
    if (!w.text.empty() && !w.reading.empty()) out.push_back(std::move(w));
  }
  return out;
}

}  // namespace lk
