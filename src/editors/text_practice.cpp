#include "editors/text_practice.h"

#include <algorithm>
#include <cstdint>

#include "engine/input_text.h"
#include "engine/kana_to_romaji.h"
#include "engine/key_settings.h"
#include "engine/rewrite.h"
#include "engine/text.h"
#include "records/field_reader.h"
#include "records/text_file.h"

namespace lk {

namespace {

constexpr std::u16string_view kSentenceEnds = u"。！？!?";
// Closing marks that belong to the sentence their sign ended (「はい。」).
constexpr std::u16string_view kClosers = u"」』）)】〕］]｝}〉》”’\"'＂〟»";
constexpr std::u16string_view kBrackets = u"「」『』（）()【】〔〕［］[]｛｝{}〈〉《》“”‘’\"'＂＇〝〟«»";
constexpr std::u16string_view kSpaces = u" \t\u3000";

bool isIn(std::u16string_view set, char16_t c) { return set.find(c) != std::u16string_view::npos; }

bool isValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      n = 1, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3, cp = c & 0x07;
    } else {
      return false;
    }
    for (std::size_t k = 1; k <= n; ++k) {
      if (i + k >= s.size()) return false;
      const auto d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if ((n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      return false;
    }
    i += n + 1;
  }
  return true;
}

std::u16string trimmed(std::u16string_view s) {
  const std::size_t b = s.find_first_not_of(kSpaces);
  if (b == std::u16string_view::npos) return {};
  const std::size_t e = s.find_last_not_of(kSpaces);
  return std::u16string(s.substr(b, e - b + 1));
}

bool hasSomethingToType(std::u16string_view piece) {
  const std::u16string r = readingText(piece);
  return r.find_first_not_of(kSpaces) != std::u16string::npos;
}

const KeySettings& defaultKeys() {
  static const KeySettings keys;
  return keys;
}

std::u16string lookUp(ReadingLookup& lookup, std::u16string_view text) {
  const std::u16string source = trimmed(readingText(text));
  if (source.empty()) return {};
  const std::u16string reading = foldedReading(lookup.hurigana(source));
  // A lookup that answers with something no key finishes knows no reading.
  return isTypeableReading(reading) ? reading : std::u16string();
}

// Keys of a part, for packing parts into lines; an unknown part is guessed
// at two keys a character, so it is never packed as if it were free.
int estimatedKeys(ReadingLookup& lookup, std::u16string_view part) {
  const std::u16string r = lookUp(lookup, part);
  return r.empty() ? static_cast<int>(part.size()) * 2 : keysOf(r);
}

// The text cut after each 、 (kept on the left); one part when there is none.
std::vector<std::u16string> clauses(std::u16string_view text) {
  std::vector<std::u16string> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'、' || text[i] == u'，') {
      out.emplace_back(text.substr(start, i + 1 - start));
      start = i + 1;
    }
  }
  if (start < text.size()) out.emplace_back(text.substr(start));
  return out;
}

// Packs parts into as few lines as fit `maxKeys`, in order; a part too long
// on its own is cut at word boundaries first.
std::vector<std::u16string> cutLong(std::u16string_view sentence, ReadingLookup& lookup, int maxKeys) {
  struct Unit {
    std::u16string text;
    int keys;
  };
  std::vector<Unit> units;
  std::vector<std::u16string> parts = clauses(sentence);
  for (std::u16string& part : parts) {
    const int keys = estimatedKeys(lookup, part);
    std::vector<std::u16string> words;
    if (keys > maxKeys) words = lookup.words(part);
    if (words.size() > 1) {
      for (std::u16string& w : words) units.push_back({w, estimatedKeys(lookup, w)});
    } else {
      units.push_back({std::move(part), keys});
    }
  }
  std::vector<std::u16string> lines;
  std::u16string line;
  int lineKeys = 0;
  for (Unit& u : units) {
    if (!line.empty() && lineKeys + u.keys > maxKeys) {
      lines.push_back(std::move(line));
      line.clear();
      lineKeys = 0;
    }
    line += u.text;
    lineKeys += u.keys;
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

bool storable(std::u16string_view s) { return isWritableField(s) && (s.empty() || encodeCp932(s).has_value()); }

}  // namespace

std::optional<DecodedText> decodeText(std::string_view bytes) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (bytes.substr(0, kBom.size()) == kBom) {
    const std::string_view rest = bytes.substr(kBom.size());
    if (!isValidUtf8(rest)) return std::nullopt;
    return DecodedText{fromUtf8(rest), TextEncoding::Utf8WithBom};
  }
  if (isValidUtf8(bytes)) return DecodedText{fromUtf8(bytes), TextEncoding::Utf8};
  if (auto sjis = decodeCp932(bytes)) return DecodedText{std::move(*sjis), TextEncoding::ShiftJis};
  return std::nullopt;
}

std::vector<TextPiece> splitSentences(std::u16string_view text) {
  std::vector<TextPiece> out;
  std::u16string piece;
  int line = 1;
  int pieceLine = 1;
  auto finish = [&] {
    std::u16string t = trimmed(piece);
    if (!t.empty() && hasSomethingToType(t)) {
      std::replace(t.begin(), t.end(), u'"', u'＂');
      out.push_back({std::move(t), pieceLine});
    }
    piece.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    // Control characters and zero-width no-breaks ride along in pasted text;
    // no key types them and no file holds them.
    if ((c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || c == 0x7F || c == 0xFEFF) continue;
    if (c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029) {
      finish();
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      ++line;
      continue;
    }
    if (piece.find_first_not_of(kSpaces) == std::u16string::npos) pieceLine = line;
    piece += c;
    if (isIn(kSentenceEnds, c)) {
      while (i + 1 < text.size() && (isIn(kSentenceEnds, text[i + 1]) || isIn(kClosers, text[i + 1]))) piece += text[++i];
      finish();
    }
  }
  finish();
  return out;
}

std::u16string readingText(std::u16string_view sentence) {
  std::u16string out;
  out.reserve(sentence.size());
  for (char16_t c : sentence) {
    if (isIn(kBrackets, c)) {
      const char16_t one[1] = {c};
      const bool quote = c == u'"' || c == u'＂';
      if (quote || !isTypeableReading(std::u16string_view(one, 1))) continue;
    }
    out += c;
  }
  return out;
}

int keysOf(std::u16string_view reading) {
  return static_cast<int>(rewriteRomaji(kanaToRomaji(reading), defaultKeys()).size());
}

std::u16string foldedReading(std::u16string_view reading) {
  return foldFullWidthAlphanumerics(foldInputVariants(reading));
}

std::vector<TextQuestion> readText(std::u16string_view text, ReadingLookup& lookup, const TextProgress& progress,
                                   int maxKeys) {
  const std::vector<TextPiece> pieces = splitSentences(text);
  std::vector<TextQuestion> out;
  out.reserve(pieces.size());
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const TextPiece& p = pieces[i];
    std::u16string reading = lookUp(lookup, p.text);
    if (reading.empty() || keysOf(reading) <= maxKeys) {
      out.push_back({p.text, std::move(reading), p.line});
    } else {
      for (std::u16string& part : cutLong(p.text, lookup, maxKeys)) {
        std::u16string t = trimmed(part);
        if (t.empty() || !hasSomethingToType(t)) continue;
        std::u16string r = lookUp(lookup, t);
        out.push_back({std::move(t), std::move(r), p.line});
      }
    }
    if (progress && !progress(i + 1, pieces.size())) break;
  }
  return out;
}

std::u16string defaultTextTitle(std::u16string_view text) {
  std::u16string out;
  std::size_t chars = 0;
  bool space = false;
  for (std::size_t i = 0; i < text.size() && chars < kDefaultTitleLength; ++i) {
    char16_t c = text[i];
    if (c == u'\r' || c == u'\n' || isIn(kSpaces, c)) {
      space = !out.empty();
      continue;
    }
    if (space) {
      out += u' ';
      ++chars;
      space = false;
      if (chars == kDefaultTitleLength) break;
    }
    if (c == u'"') c = u'＂';
    out += c;
    // A surrogate pair is one character.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) out += text[++i];
    ++chars;
  }
  return foldInputVariants(out);
}

std::optional<QuestionFault> firstFault(const std::vector<TextQuestion>& questions) {
  if (questions.empty()) return QuestionFault{-1, std::u16string(kMsgUnknownReading)};
  for (std::size_t i = 0; i < questions.size(); ++i) {
    const std::u16string& r = questions[i].reading;
    const int n = static_cast<int>(i) + 1;
    if (r.empty() || r.find_first_not_of(kSpaces) == std::u16string::npos) {
      return QuestionFault{static_cast<int>(i), numberedMessage(kMsgUnknownReading, n)};
    }
    if (r.find_first_of(u"*＊") != std::u16string::npos || !storable(r)) {
      return QuestionFault{static_cast<int>(i), numberedMessage(kMsgInvalidCharacter, n)};
    }
    if (!isTypeableReading(r)) return QuestionFault{static_cast<int>(i), numberedMessage(kMsgUntypeableReading, n)};
  }
  return std::nullopt;
}

void fillProblemSet(ProblemSet& set, std::u16string title, const std::vector<TextQuestion>& questions) {
  set.title = std::move(title);
  set.text.clear();
  set.romaji.clear();
  set.reading.clear();
  set.melody.clear();
  for (const TextQuestion& q : questions) {
    set.text.push_back(q.text);
    set.romaji.push_back(kanaToRomaji(q.reading));
  }
  set.count = static_cast<int>(set.text.size());
  set.askInOrder = true;
}

TypingProblemFile problemFileOf(std::u16string title, const std::vector<TextQuestion>& questions) {
  TypingProblemFile file;
  file.complete = true;
  file.title = std::move(title);
  for (const TextQuestion& q : questions) {
    file.text.push_back(q.text);
    file.romaji.push_back(kanaToRomaji(q.reading));
  }
  return file;
}

}  // namespace lk
