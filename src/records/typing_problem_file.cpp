#include "records/typing_problem_file.h"

#include <algorithm>
#include <string>

#include "records/problem_file.h"
#include "engine/input_text.h"
#include "records/field_reader.h"
#include "records/text_file.h"

namespace lk {

namespace {

enum class Reader { Editor, Menu };

TypingFileReadResult readTyping(const std::filesystem::path& file, Reader reader) {
  const std::u16string_view failed = reader == Reader::Editor ? kMsgEditorReadFailed : kMsgMenuReadFailed;
  TypingFileReadResult r;
  auto fail = [&]() -> TypingFileReadResult {
    r.status = ProblemFileStatus::Failed;
    r.message = failed;
    return std::move(r);
  };

  ProblemFileLines read = readProblemFileLines(file, kTypingMagicComplete, kTypingMagicUnfinished);
  if (read.foreign) {
    r.status = ProblemFileStatus::NotReadable;
    r.message = kMsgFileNotReadable;
    return r;
  }
  if (!read.lines) return fail();
  FieldReader in(std::move(*read.lines));

  switch (readProblemHeader(in, r, kTypingMagicComplete, kTypingMagicUnfinished, reader == Reader::Menu)) {
    case HeaderRead::Go:
      break;
    case HeaderRead::Stop:
      return r;
    case HeaderRead::Fail:
      return fail();
  }

  const int count = *r.count;
  // The menu cannot drill an empty set; the editor opens it as an empty working set.
  if (count < 0 || (reader == Reader::Menu && count == 0)) return fail();
  const int limit = reader == Reader::Editor ? std::min(count, kEditorRowCount) : count;
  // The count comes from the file: never reserve more than its lines could hold.
  const std::size_t room = std::min<std::size_t>(static_cast<std::size_t>(limit), in.linesLeft() / 2 + 1);
  r.text.reserve(room);
  r.romaji.reserve(room);
  for (int i = 0; i < limit; ++i) {
    auto text = in.next();
    if (!text) return fail();
    r.text.push_back(std::move(*text));
    auto romaji = in.next();
    if (!romaji) {
      r.romaji.emplace_back();  // keeps the two arrays in step: the pair's text was read
      return fail();
    }
    // The menu hands the set to a drill: a reading with a character no key
    // types (NUL, a control byte, a kanji) is damage, and its pair is left out.
    if (reader == Reader::Menu && !isTypeableRomaji(*romaji)) {
      r.text.pop_back();
      return fail();
    }
    r.romaji.push_back(std::move(*romaji));
  }
  if (count > limit) return fail();  // the editor holds 100 rows

  r.status = ProblemFileStatus::Loaded;
  return r;
}

}  // namespace

TypingProblemFile typingFileFromRows(std::u16string title, const std::vector<std::u16string>& text,
                                     const std::vector<std::u16string>& romaji) {
  TypingProblemFile out;
  out.title = std::move(title);
  const std::size_t rows = std::max(text.size(), romaji.size());
  static const std::u16string kEmpty;
  for (std::size_t i = 0; i < rows; ++i) {
    const std::u16string& t = i < text.size() ? text[i] : kEmpty;
    const std::u16string& y = i < romaji.size() ? romaji[i] : kEmpty;
    if (t.empty() && y.empty()) continue;
    if (t.empty() || y.empty()) out.complete = false;
    out.text.push_back(t);
    out.romaji.push_back(y);
  }
  return out;
}

ProblemFileWriteResult writeTypingProblemFile(const std::filesystem::path& file, const TypingProblemFile& data) {
  const std::size_t n = std::min(data.text.size(), data.romaji.size());
  bool writable = isWritableField(data.title);
  for (std::size_t i = 0; i < n && writable; ++i) {
    writable = isWritableField(data.text[i]) && isWritableField(data.romaji[i]);
  }
  if (!writable) return {false, std::u16string(kMsgInvalidCharacter)};

  std::vector<std::u16string> lines;
  lines.reserve(3 + 2 * n);
  lines.push_back(quotedField(data.complete ? kTypingMagicComplete : kTypingMagicUnfinished));
  lines.push_back(bareNumberField(static_cast<long long>(n)));
  lines.push_back(quotedField(data.title));
  for (std::size_t i = 0; i < n; ++i) {
    lines.push_back(quotedField(data.text[i]));
    lines.push_back(quotedField(data.romaji[i]));
  }
  // A link is the user's own arrangement: written through only to a file of
  // this kind (or to none yet), never over some other file it points to.
  std::error_code ec;
  if (isSymbolicLink(file) && std::filesystem::exists(file, ec) && !readTypingProblemFileForEditor(file).loaded()) {
    return {false, std::u16string(kMsgEditorSaveFailed)};
  }
  if (!writeTextFileLines(file, lines)) return {false, std::u16string(kMsgEditorSaveFailed)};
  return {};
}

TypingFileReadResult readTypingProblemFileForEditor(const std::filesystem::path& file) {
  return readTyping(file, Reader::Editor);
}

TypingFileReadResult readTypingProblemFileForMenu(const std::filesystem::path& file) {
  return readTyping(file, Reader::Menu);
}

}  // namespace lk
