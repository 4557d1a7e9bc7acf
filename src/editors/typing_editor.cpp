#include "editors/typing_editor.h"

#include <string>

#include "editors/reading_lookup.h"
#include "records/typing_problem_file.h"
#include "engine/input_text.h"
#include "editors/reading_rows.h"
#include "engine/kana_to_romaji.h"
#include "engine/romaji_to_kana.h"
#include "engine/text.h"
#include "records/problem_set.h"
#include "shell/services.h"
#include "records/text_file.h"

namespace lk {

namespace {

const std::u16string kEmpty;

bool hasAsterisk(std::u16string_view s) { return s.find_first_of(u"*＊") != std::u16string_view::npos; }

// A field the file can hold as the user sees it: no double quote, no line
// break, and every character in code page 932.
bool isStorable(std::u16string_view s) { return isWritableField(s) && (s.empty() || encodeCp932(s).has_value()); }

}  // namespace

// What a reading box holds, as the conversion should see it: the signs of
// Linux input methods as their 932 forms, and full-width letters and digits
// as ASCII, so that ＫＯＢＥ stays letters instead of becoming こべ.
std::u16string readingAsEntered(std::u16string_view box) {
  return foldFullWidthAlphanumerics(foldInputVariants(box));
}

TypingEditor::TypingEditor(ProblemSet& set, Services& services) : set_(set), services_(services) {
  recreateWorkingSet();
  markUnchanged();
}

void TypingEditor::rowsAsSeen(std::vector<std::u16string>& text, std::vector<std::u16string>& reading) const {
  text.assign(kRows, std::u16string());
  reading.assign(kRows, std::u16string());
  for (int row = 0; row < kRows; ++row) {
    // The page on screen counts as the user sees it, stored or not.
    const int p = row - page_ * kRowsPerPage;
    const bool onPage = p >= 0 && p < kRowsPerPage;
    text[static_cast<std::size_t>(row)] = onPage ? view.problems[static_cast<std::size_t>(p)] : this->text(row);
    reading[static_cast<std::size_t>(row)] = onPage ? view.readings[static_cast<std::size_t>(p)] : this->reading(row);
  }
}

void TypingEditor::markUnchanged() {
  rowsAsSeen(unchangedText_, unchangedReading_);
  unchangedTitle_ = view.title;
}

bool TypingEditor::hasUnsavedChanges() const {
  if (view.title != unchangedTitle_) return true;
  std::vector<std::u16string> text, reading;
  rowsAsSeen(text, reading);
  return text != unchangedText_ || reading != unchangedReading_;
}

void TypingEditor::recreateWorkingSet() {
  set_.text.assign(kRows, std::u16string());
  set_.romaji.assign(kRows, std::u16string());
}

std::u16string TypingEditor::pageLabel() const { return fromAscii(std::to_string(page_ + 1)); }

const std::u16string& TypingEditor::text(int row) const {
  return row >= 0 && row < static_cast<int>(set_.text.size()) ? set_.text[row] : kEmpty;
}

const std::u16string& TypingEditor::reading(int row) const {
  return row >= 0 && row < static_cast<int>(set_.romaji.size()) ? set_.romaji[row] : kEmpty;
}

void TypingEditor::kakunou() {
  // Anything that replaced the arrays (a drill's menu) must not make us write out of range.
  if (set_.text.size() < kRows) set_.text.resize(kRows);
  if (set_.romaji.size() < kRows) set_.romaji.resize(kRows);
  for (int p = 0; p < kRowsPerPage; ++p) {
    set_.romaji[page_ * kRowsPerPage + p] = readingAsEntered(view.readings[p]);
    set_.text[page_ * kRowsPerPage + p] = foldInputVariants(view.problems[p]);
  }
}

void TypingEditor::showPage() {
  for (int p = 0; p < kRowsPerPage; ++p) {
    view.problems[p] = text(page_ * kRowsPerPage + p);
    view.readings[p] = reading(page_ * kRowsPerPage + p);
  }
}

void TypingEditor::nextPage() {
  kakunou();
  if (page_ < kPages - 1) ++page_;
  showPage();
}

void TypingEditor::previousPage() {
  kakunou();
  if (page_ > 0) --page_;
  showPage();
}

void TypingEditor::fillReadings() {
  for (int p = 0; p < kRowsPerPage; ++p) {
    const std::u16string& problem = view.problems[p];
    view.readings[p] =
        problem.empty() || !services_.reading ? std::u16string() : foldInputVariants(services_.reading->hurigana(problem));
  }
}

bool TypingEditor::validate() {
  // The first fault found is reported, with the number of its problem.
  std::u16string message;
  if (!isStorable(view.title)) message = kMsgInvalidCharacter;
  for (int row = 0; message.empty() && row < kRows; ++row) {
    const std::u16string& reading = set_.romaji[row];
    if (hasAsterisk(reading) || !isStorable(reading) || !isStorable(set_.text[row])) {
      message = numberedMessage(kMsgInvalidCharacter, row + 1);
    } else if (!isTypeableReading(reading)) {
      message = numberedMessage(kMsgUntypeableReading, row + 1);
    }
  }
  if (!message.empty() && services_.messages) services_.messages->show(message);
  return message.empty();
}

void TypingEditor::save() {
  kakunou();
  view.title = foldInputVariants(view.title);
  if (!validate()) return;

  okikae(set_);
  TypingProblemFile data = typingFileFromRows(view.title, set_.text, set_.romaji);
  complete_ = data.complete;

  const std::optional<std::filesystem::path> file =
      services_.files ? services_.files->saveProblemFile(file_) : std::nullopt;
  bool written = false;
  if (file) {
    const ProblemFileWriteResult result = writeTypingProblemFile(*file, data);
    written = result.ok;
    if (result.ok) {
      file_ = *file;
      ++saved_;
    } else if (services_.messages) {
      services_.messages->show(result.message.empty() ? std::u16string(kMsgEditorSaveFailed) : result.message);
    }
  }
  // Saved, cancelled or failed: the working set gets its kana back.
  okikae_b(set_);
  if (written) markUnchanged();
}

void TypingEditor::load() {
  // Kept so that a load that does not complete leaves the rows as they were:
  // the screen still shows them and the next kakunou must not mix the two.
  std::vector<std::u16string> oldText = set_.text;
  std::vector<std::u16string> oldReading = set_.romaji;
  auto restore = [&] {
    set_.text = std::move(oldText);
    set_.romaji = std::move(oldReading);
  };
  recreateWorkingSet();

  const std::optional<std::filesystem::path> file =
      services_.files ? services_.files->openProblemFile() : std::nullopt;
  if (!file) {
    restore();
    return;
  }
  TypingFileReadResult read = readTypingProblemFileForEditor(*file);
  if (!read.loaded()) {
    if (services_.messages) {
      services_.messages->show(read.status == ProblemFileStatus::NotReadable ? kMsgFileNotReadable
                                                                             : kMsgEditorReadFailed);
    }
    restore();
    return;
  }

  file_ = *file;
  set_.title = read.title.value_or(std::u16string());
  for (size_t i = 0; i < read.text.size() && i < static_cast<size_t>(kRows); ++i) {
    set_.text[i] = std::move(read.text[i]);
    set_.romaji[i] = i < read.romaji.size() ? std::move(read.romaji[i]) : std::u16string();
  }
  okikae_b(set_);

  page_ = 0;
  showPage();
  view.title = set_.title;
  markUnchanged();
}

void TypingEditor::clear() {
  if (!services_.messages || !services_.messages->askYesNo(u"本当に消去しますか？", u"問題のクリア")) return;
  recreateWorkingSet();
  view = View{};
  page_ = 0;
  showPage();
  markUnchanged();  // the user chose to discard the rows
}

}  // namespace lk
