#include "editors/music_editor.h"

#include <string>

#include "editors/melody_conversion.h"
#include "editors/reading_lookup.h"
#include "engine/input_text.h"
#include "engine/text.h"
#include "music/music_problem_file.h"
#include "practice/problem_set.h"
#include "shell/services.h"
#include "shell/text_file.h"

namespace lk {

namespace {

const std::u16string kEmpty;

bool hasAsterisk(std::u16string_view s) { return s.find_first_of(u"*＊") != std::u16string_view::npos; }

bool isStorable(std::u16string_view s) { return isWritableField(s) && (s.empty() || encodeCp932(s).has_value()); }

std::u16string listPrefix(int page) { return u" " + fromAscii(std::to_string(page + 1)) + u":"; }

const std::u16string& at(const std::vector<std::u16string>& v, int i) {
  return i >= 0 && i < static_cast<int>(v.size()) ? v[i] : kEmpty;
}

}  // namespace

MusicEditor::MusicEditor(ProblemSet& set, Services& services) : set_(set), services_(services) {
  recreateWorkingSet();
  list_.clear();
  for (int i = 0; i < kPages; ++i) list_.push_back(listPrefix(i));
}

void MusicEditor::recreateWorkingSet() {
  set_.text.assign(kPages, std::u16string());
  set_.romaji.assign(kPages, std::u16string());
  set_.melody.assign(kPages, std::u16string());
  notes_.assign(kPages, std::u16string());
  stored_.assign(kPages, false);
}

std::u16string MusicEditor::pageLabel() const { return fromAscii(std::to_string(page_ + 1)); }

const std::u16string& MusicEditor::text(int page) const { return at(set_.text, page); }
const std::u16string& MusicEditor::reading(int page) const { return at(set_.romaji, page); }
const std::u16string& MusicEditor::noteNames(int page) const { return at(notes_, page); }

void MusicEditor::kakunou() {
  if (set_.text.size() < kPages) set_.text.resize(kPages);
  if (set_.romaji.size() < kPages) set_.romaji.resize(kPages);
  set_.text[page_] = foldInputVariants(view.lyric);
  set_.romaji[page_] = readingAsEntered(view.reading);
  notes_[page_] = foldInputVariants(view.notes);
  stored_[page_] = true;
}

void MusicEditor::showPage(int page) {
  page_ = page < 0 ? 0 : (page >= kPages ? kPages - 1 : page);
  view.lyric = text(page_);
  view.reading = reading(page_);
  view.notes = noteNames(page_);
}

void MusicEditor::refreshListEntry(int page) { list_[page] = listPrefix(page) + text(page); }

void MusicEditor::nextPage() {
  kakunou();
  const int left = page_;
  refreshListEntry(left);
  showPage(page_ < kPages - 1 ? page_ + 1 : page_);
}

void MusicEditor::previousPage() {
  kakunou();
  refreshListEntry(page_);
  showPage(page_ > 0 ? page_ - 1 : page_);
}

void MusicEditor::selectPage(int entry) {
  if (entry < 0 || entry >= kPages) return;
  kakunou();
  refreshListEntry(page_);
  showPage(entry);
}

void MusicEditor::fillReading() {
  view.reading = view.lyric.empty() || !services_.reading ? std::u16string()
                                                          : foldInputVariants(services_.reading->hurigana(view.lyric));
}

void MusicEditor::pressKey(int index) {
  if (index < 0 || index >= kKeyboardKeyCount) return;
  view.notes += keyboardNoteName(index);
}

bool MusicEditor::validate() {
  // The first fault found is reported, with its page number.
  std::u16string message;
  if (!isStorable(view.title)) message = kMsgInvalidCharacter;
  for (int i = 0; message.empty() && i < kPages; ++i) {
    const std::u16string& reading = set_.romaji[i];
    if (hasAsterisk(reading) || !isStorable(reading) || !isStorable(set_.text[i]) || !isStorable(notes_[i])) {
      message = numberedMessage(kMsgInvalidCharacter, i + 1);
    } else if (!isTypeableReading(reading, KanaToRomajiVariant::MusicEditor)) {
      message = numberedMessage(kMsgUntypeableReading, i + 1);
    }
  }
  if (!message.empty() && services_.messages) services_.messages->show(message);
  return message.empty();
}

void MusicEditor::save() {
  kakunou();
  view.title = foldInputVariants(view.title);
  if (!validate()) return;

  int count = 0;
  while (count < kPages && !set_.text[count].empty()) ++count;

  // Converted apart from the working set: the pages keep what the user typed.
  std::vector<MusicPageConversion> converted;
  for (int k = 0; k < count; ++k) {
    MusicPageConversion page = convertMusicPage(set_.romaji[k], notes_[k]);
    if (!page.ok) {
      if (services_.messages) {
        services_.messages->show(numberedMessage(page.error.empty() ? kMsgEditorSaveFailed : page.error, k + 1));
      }
      return;
    }
    converted.push_back(std::move(page));
  }

  // Only a lyric without a reading leaves a line that cannot be played.
  complete_ = true;
  for (int i = 0; i < kPages; ++i) {
    if (!set_.text[i].empty() && set_.romaji[i].empty()) complete_ = false;
  }

  const std::optional<std::filesystem::path> file =
      services_.files ? services_.files->saveProblemFile() : std::nullopt;
  if (!file) return;

  MusicProblemFile data;
  data.complete = complete_;
  data.count = count;
  data.title = view.title;
  for (int i = 0; i < kPages; ++i) {
    MusicRecord r;
    if (stored_[i]) {
      r.text = set_.text[i];
      r.reading = set_.romaji[i];
      r.romaji = i < count ? converted[i].romaji : set_.romaji[i];
      r.noteNames = notes_[i];
    }
    if (i < count) r.melody = converted[i].melody;
    data.records.push_back(std::move(r));
  }
  const ProblemFileWriteResult result = writeMusicProblemFile(*file, data);
  if (!result.ok && services_.messages) {
    services_.messages->show(result.message.empty() ? std::u16string(kMsgEditorSaveFailed) : result.message);
  }
}

void MusicEditor::clearEditor() {
  recreateWorkingSet();
  page_ = 0;
  complete_ = false;
  view = View{};
  for (int i = 0; i < kPages; ++i) list_[i] = listPrefix(i);
}

void MusicEditor::clear() {
  if (!services_.messages || !services_.messages->askYesNo(u"本当に消去しますか？", u"問題のクリア")) return;
  clearEditor();
}

void MusicEditor::load() {
  clearEditor();
  const std::optional<std::filesystem::path> file =
      services_.files ? services_.files->openProblemFile() : std::nullopt;
  if (!file) return;

  MusicFileReadResult read = readMusicProblemFileForEditor(*file);
  if (read.status == ProblemFileStatus::NotReadable) {
    if (services_.messages) services_.messages->show(kMsgFileNotReadable);
    return;
  }
  // Pages read before a failure stay in the working set.
  const size_t n = std::min<size_t>(read.text.size(), kPages);
  for (size_t i = 0; i < n; ++i) {
    set_.text[i] = read.text[i];
    set_.romaji[i] = at(read.reading, static_cast<int>(i));
    notes_[i] = at(read.noteNames, static_cast<int>(i));
    stored_[i] = true;
  }
  if (!read.loaded()) {
    if (services_.messages) services_.messages->show(kMsgEditorReadFailed);
    return;
  }

  set_.title = read.title.value_or(std::u16string());
  showPage(0);
  for (int i = 0; i < kPages; ++i) refreshListEntry(i);
  view.title = set_.title;
}

}  // namespace lk
