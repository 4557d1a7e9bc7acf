// text-problems: any text (UTF-8 or Shift-JIS) cut into sentences with their
// readings, as the screen "テキスト練習" does, written as a typing problem file.
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

#include "editors/text_practice.h"
#include "records/typing_problem_file.h"
#include "engine/text.h"
#include "records/field_reader.h"
#include "records/text_file.h"
#include "tools/command.h"

#ifdef LK_HAVE_MECAB
#include "editors/platform/mecab_lookup.h"
#endif

namespace lk::tool {

namespace {

bool storable(std::u16string_view s) { return isWritableField(s) && (s.empty() || encodeCp932(s).has_value()); }

int textProblems(const std::vector<std::string>& args, Io& io) {
  TitledFiles parsed = parseTitledFiles(args);
  std::optional<std::string>& title = parsed.title;
  std::vector<std::string>& files = parsed.files;
  if (files.size() != 2) throw UsageError{"expects IN and OUT"};

  // As make-problems: the output never replaces the text it came from.
  {
    std::error_code ec;
    const std::filesystem::path input = files[0] == "-" ? std::filesystem::path("/dev/stdin") : std::filesystem::path(files[0]);
    if (std::filesystem::equivalent(input, files[1], ec)) {
      io.err << "luminakey-tool: " << files[1] << " is the input file; nothing written\n";
      return 1;
    }
  }

  std::optional<std::string> bytes;
  if (files[0] == "-") {
    bytes = std::string(std::istreambuf_iterator<char>(io.in), std::istreambuf_iterator<char>());
  } else {
    bytes = readFileBytes(files[0]);
  }
  if (!bytes) {
    io.err << "luminakey-tool: cannot read " << files[0] << '\n';
    return 1;
  }
  const std::optional<DecodedText> decoded = decodeText(*bytes);
  if (!decoded) {
    io.err << "luminakey-tool: " << files[0] << " is neither UTF-8 nor Shift-JIS\n";
    return 1;
  }

  std::unique_ptr<ReadingLookup> lookup;
#ifdef LK_HAVE_MECAB
  lookup = std::make_unique<MecabLookup>();
#endif
  if (!lookup) {
    io.err << "luminakey-tool: this build has no reading dictionary (MeCab)\n";
    return 1;
  }
  const std::vector<TextQuestion> questions = readText(decoded->text, *lookup);

  const std::u16string title16 = title ? fromUtf8(*title) : defaultTextTitle(decoded->text);
  if (!storable(title16)) {
    io.err << "luminakey-tool: the title holds a double quote, a line break or a character code page 932 cannot store\n";
    return 1;
  }
  int errors = 0;
  for (const TextQuestion& q : questions) {
    const char* why = nullptr;
    if (!q.known()) {
      why = "no reading known";
    } else if (!storable(q.text)) {
      why = "the text holds a character that code page 932 cannot store";
    }
    if (why) {
      io.err << files[0] << ':' << q.line << ": " << why << '\n';
      ++errors;
    }
  }
  if (errors > 0) {
    io.err << "luminakey-tool: nothing written\n";
    return 1;
  }
  if (questions.empty()) {
    io.err << "luminakey-tool: " << files[0] << " holds no sentences; nothing written\n";
    return 1;
  }
  const ProblemFileWriteResult written = writeTypingProblemFile(files[1], problemFileOf(title16, questions));
  if (!written.ok) {
    io.err << "luminakey-tool: " << toUtf8(written.message) << " (" << files[1] << ")\n";
    return 1;
  }
  return 0;
}

}  // namespace

LK_TOOL_COMMAND("text-problems",
                "text-problems [--title T] IN OUT  any text (UTF-8 or Shift-JIS) -> sentences with readings -> typing problem file",
                textProblems);

}  // namespace lk::tool
