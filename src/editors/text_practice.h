#pragma once

// Practice on any text: a pasted or opened text cut into sentences, each
// with the reading the lookup proposes, ready for an ordered word drill or a
// typing problem file. No widgets here; the screen "テキスト練習" and the
// tool's text-problems command both run this pipeline.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editors/reading_lookup.h"
#include "records/typing_problem_file.h"
#include "records/problem_set.h"

namespace lk {

// About this many keys fit the drill's lower line (label_q) at its design
// size; a longer question would be drawn smaller and smaller.
inline constexpr int kLowerLineKeys = 36;
// A title nobody typed is the start of the text, this many characters.
inline constexpr std::size_t kDefaultTitleLength = 20;

inline constexpr std::u16string_view kMsgUnknownReading = u"読みが分からない問題があります。";

enum class TextEncoding { Utf8, Utf8WithBom, ShiftJis };

struct DecodedText {
  std::u16string text;
  TextEncoding encoding = TextEncoding::Utf8;
};

// A .txt file's bytes: UTF-8 (with or without BOM) when they are valid
// UTF-8, else Shift-JIS (code page 932) when they are valid 932; nothing
// when they are neither.
std::optional<DecodedText> decodeText(std::string_view bytes);

// One sentence of the text and the line (from 1) it starts on.
struct TextPiece {
  std::u16string text;
  int line = 0;
};

// Cuts at 。！？!? (the sign, further signs and closing brackets stay with the
// sentence) and at line breaks (U+2028 and U+2029 too); control characters
// are dropped, spaces around a piece trimmed, and pieces with nothing to
// type dropped. ASCII double quotes become ＂, which a
// problem file can hold.
std::vector<TextPiece> splitSentences(std::u16string_view text);

// The sentence as the lookup reads it: without the quotation marks and
// brackets no key types (『』【】“” …) and without double quotes, which a
// problem file cannot hold in a reading.
std::u16string readingText(std::u16string_view sentence);

// Keys the drill asks for a kana reading with the default key settings.
int keysOf(std::u16string_view reading);

struct TextQuestion {
  std::u16string text;
  std::u16string reading;  // kana; empty while unknown
  int line = 0;            // line of the text it came from
  bool known() const { return !reading.empty(); }
};

// Told after each sentence; returning false stops the reading (the
// questions read so far are returned).
using TextProgress = std::function<bool(std::size_t done, std::size_t total)>;

// The whole pipeline: sentences, the reading of each (folded as the editors
// fold a reading box), and a sentence needing more than `maxKeys` keys cut at
// 、 or, without one, at the lookup's word boundaries. A sentence without a
// typeable reading stays, with an empty reading.
std::vector<TextQuestion> readText(std::u16string_view text, ReadingLookup& lookup, const TextProgress& progress = {},
                                   int maxKeys = kLowerLineKeys);

// A reading as it comes from a box or the lookup, folded for the conversion.
std::u16string foldedReading(std::u16string_view reading);

// The first kDefaultTitleLength characters of the text, white space run
// together.
std::u16string defaultTextTitle(std::u16string_view text);

struct QuestionFault {
  int index = 0;  // 0-based
  std::u16string message;
};

// The first question that keeps a drill or a save from starting: no reading
// ("読みが分からない問題があります。（N番）"), a reading with an asterisk, a
// double quote or a character code page 932 lacks, or one no key could
// finish. Also a fault when there are no questions at all (index -1).
std::optional<QuestionFault> firstFault(const std::vector<TextQuestion>& questions);

// The drill's problem set: all questions, romaji in canonical form, asked in
// their order.
void fillProblemSet(ProblemSet& set, std::u16string title, const std::vector<TextQuestion>& questions);

// The typing problem file of the questions (complete).
TypingProblemFile problemFileOf(std::u16string title, const std::vector<TextQuestion>& questions);

}  // namespace lk
