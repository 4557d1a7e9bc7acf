// Editor commands: the reading lookup line by line, and a typing problem file
// made from a list of texts with optional readings.
#include <filesystem>
#include <fstream>
#include <istream>
#include <memory>
#include <ostream>

#include "records/typing_problem_file.h"
#include "engine/input_text.h"
#include "engine/kana_to_romaji.h"
#include "engine/text.h"
#include "records/text_file.h"
#include "tools/command.h"

#ifdef LK_HAVE_MECAB
#include "editors/platform/mecab_lookup.h"
#endif

namespace lk::tool {

namespace {

// The lookup, or nothing when this build has none.
std::unique_ptr<ReadingLookup> makeLookup() {
#ifdef LK_HAVE_MECAB
  return std::make_unique<MecabLookup>();
#else
  return nullptr;
#endif
}

int reading(const std::vector<std::string>& args, Io& io) {
  if (!args.empty()) throw UsageError{"unexpected argument '" + args.front() + "'"};
  std::unique_ptr<ReadingLookup> lookup = makeLookup();
  if (!lookup) {
    io.err << "luminakey-tool: this build has no reading dictionary (MeCab)\n";
    return 1;
  }
  for (const auto& line : readLines(io.in)) io.out << toUtf8(lookup->hurigana(fromUtf8(line))) << '\n';
  io.out.flush();
  return 0;
}

bool encodable(std::u16string_view s) { return s.empty() || encodeCp932(s).has_value(); }

// Why a text or reading cannot go into the file, or nullptr.
const char* fieldProblem(std::u16string_view s) {
  if (!isWritableField(s)) return "holds a double quote or a line break";
  if (!encodable(s)) return "holds a character that code page 932 cannot store";
  return nullptr;
}

int makeProblems(const std::vector<std::string>& args, Io& io) {
  TitledFiles parsed = parseTitledFiles(args);
  std::optional<std::string>& title = parsed.title;
  std::vector<std::string>& files = parsed.files;
  if (!title) throw UsageError{"--title is required"};
  if (files.size() != 2) throw UsageError{"expects IN and OUT"};
  if (files[0] != "-") requireRegularFile(files[0]);
  requireRegularFile(files[1]);

  const std::u16string title16 = fromUtf8(*title);
  if (const char* why = fieldProblem(title16)) {
    io.err << "luminakey-tool: the title " << why << '\n';
    return 1;
  }

  // Writing over the input would lose it whenever a line is refused later
  // on, or a run is repeated: the same file under another name or through
  // a link counts too, and so does standard input redirected from it.
  {
    std::error_code ec;
    const std::filesystem::path input = files[0] == "-" ? std::filesystem::path("/dev/stdin") : std::filesystem::path(files[0]);
    if (std::filesystem::equivalent(input, files[1], ec)) {
      io.err << "luminakey-tool: " << files[1] << " is the input file; nothing written\n";
      return 1;
    }
  }

  std::ifstream file;
  std::istream* in = &io.in;
  if (files[0] != "-") {
    file.open(files[0], std::ios::binary);
    if (!file) {
      io.err << "luminakey-tool: cannot read " << files[0] << '\n';
      return 1;
    }
    in = &file;
  }

  std::unique_ptr<ReadingLookup> lookup;
  TypingProblemFile data;
  data.title = title16;
  int errors = 0;
  auto report = [&](size_t number, const std::string& why) {
    io.err << files[0] << ':' << number << ": " << why << '\n';
    ++errors;
  };

  const std::vector<std::string> lines = readLines(*in);
  for (size_t n = 0; n < lines.size(); ++n) {
    const size_t number = n + 1;
    std::string line = lines[n];
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // a UTF-8 byte-order mark
    if (line.find_first_not_of(" \t") == std::string::npos) continue;         // blank lines separate nothing

    const size_t tab = line.find('\t');
    if (tab != std::string::npos && line.find('\t', tab + 1) != std::string::npos) {
      report(number, "more than one tab");
      continue;
    }
    // As in the editors' boxes: JIS-mapped signs as their 932 forms, and a
    // reading's full-width letters and digits as the ASCII ones they mean.
    const std::u16string text = foldInputVariants(fromUtf8(line.substr(0, tab)));
    std::u16string yomi = tab == std::string::npos
                              ? std::u16string()
                              : foldFullWidthAlphanumerics(foldInputVariants(fromUtf8(line.substr(tab + 1))));
    if (text.empty()) {
      report(number, "no text before the tab");
      continue;
    }
    if (const char* why = fieldProblem(text)) {
      report(number, std::string("the text ") + why);
      continue;
    }
    if (yomi.empty()) {
      if (!lookup) lookup = makeLookup();
      if (lookup) yomi = lookup->hurigana(text);
      if (yomi.empty()) {
        report(number, "no reading known");
        continue;
      }
    }
    if (yomi.find_first_of(u"*＊") != std::u16string::npos) {
      report(number, "the reading holds an asterisk");
      continue;
    }
    if (const char* why = fieldProblem(yomi)) {
      report(number, std::string("the reading ") + why);
      continue;
    }
    if (!isTypeableReading(yomi)) {
      report(number, "reading cannot be typed");
      continue;
    }
    if (data.text.size() == static_cast<size_t>(kEditorRowCount)) {
      report(number, "more than " + std::to_string(kEditorRowCount) + " problems");
      continue;
    }
    data.text.push_back(text);
    data.romaji.push_back(kanaToRomaji(yomi));
  }
  if (errors > 0) {
    io.err << "luminakey-tool: nothing written\n";
    return 1;
  }
  if (data.text.empty()) {
    io.err << "luminakey-tool: " << files[0] << " holds no problems; nothing written\n";
    return 1;
  }
  data.complete = true;
  const ProblemFileWriteResult written = writeTypingProblemFile(files[1], data);
  if (!written.ok) {
    io.err << "luminakey-tool: " << toUtf8(written.message) << " (" << files[1] << ")\n";
    return 1;
  }
  return 0;
}

}  // namespace

LK_TOOL_COMMAND("reading", "reading                    display texts (stdin) -> readings in hiragana", reading);
LK_TOOL_COMMAND("make-problems",
                "make-problems --title TITLE IN OUT  lines text<TAB>reading (reading optional: looked up) -> typing problem file",
                makeProblems);

}  // namespace lk::tool
