#include "editors/music_editor.h"

#include <algorithm>
#include <string>

#include "editors/melody_conversion.h"
#include "editors/reading_lookup.h"
#include "engine/input_text.h"
#include "engine/text.h"
#include "engine/kana_to_romaji.h"
#include "music/melody.h"
#include "records/music_problem_file.h"
#include "records/problem_set.h"
#include "shell/services.h"
#include "records/text_file.h"

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

MelodyFit melodyFit(std::u16string_view reading, std::u16string_view noteNames) {
  MelodyFit fit;
  auto notes = parse_notes(noteNames);
  if (!notes) {
    // Count what the conversion would accept, so the number still tracks the
    // keys entered while the box holds a stray character.
    fit.namesValid = false;
    std::u16string kept;
    for (char16_t c : noteNames) {
      if (parse_notes(std::u16string_view(&c, 1))) kept += c;
    }
    notes = parse_notes(kept);
  }
  fit.notes = notes ? static_cast<int>(notes->size()) : 0;
  const std::u16string shape = melodyTemplate(kanaToRomaji(reading, KanaToRomajiVariant::MusicEditor));
  if (!shape.empty()) fit.groups = static_cast<int>(std::count(shape.begin(), shape.end(), u' ')) + 1;
  fit.converts = convertMusicPage(reading, noteNames).ok;
  return fit;
}

std::vector<std::optional<int>> previewBeats(std::u16string_view reading, std::u16string_view noteNames,
                                             const KeySettings& settings) {
  std::vector<std::optional<int>> beats;
  const MusicPageConversion page = convertMusicPage(reading, noteNames);
  if (!page.ok) return beats;
  // The line as the drill prepares it: every note token starts a note group.
  for (const std::u16string& token : prepare_line(page.romaji, page.melody, settings).tokens) {
    if (!isHold(token)) beats.emplace_back(noteValue(token));
  }
  // Groups past the last note hold it, a beat each.
  const int groups = melodyFit(reading, noteNames).groups;
  while (!beats.empty() && static_cast<int>(beats.size()) < groups) beats.emplace_back(std::nullopt);
  return beats;
}

MusicEditor::MusicEditor(ProblemSet& set, Services& services) : set_(set), services_(services) {
  recreateWorkingSet();
  list_.clear();
  for (int i = 0; i < kPages; ++i) list_.push_back(listPrefix(i));
  markUnchanged();
}

std::vector<std::u16string> MusicEditor::contentAsSeen() const {
  std::vector<std::u16string> all;
  all.reserve(3 * kPages + 1);
  for (int i = 0; i < kPages; ++i) {
    const bool onScreen = i == page_;
    all.push_back(onScreen ? view.lyric : text(i));
    all.push_back(onScreen ? view.reading : reading(i));
    all.push_back(onScreen ? view.notes : noteNames(i));
  }
  all.push_back(view.title);
  return all;
}

bool MusicEditor::hasUnsavedChanges() const { return contentAsSeen() != unchanged_; }

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
      services_.files ? services_.files->saveProblemFile(file_) : std::nullopt;
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
  if (result.ok) {
    file_ = *file;
    ++saved_;
    markUnchanged();
  } else if (services_.messages) {
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
  markUnchanged();  // the user chose to discard the pages
}

void MusicEditor::load() {
  // Everything a load replaces, put back when it does not complete: a
  // cancelled dialog must not cost the song on screen.
  struct Saved {
    std::vector<std::u16string> text, romaji, melody, notes, list;
    std::vector<bool> stored;
    std::u16string title;
    View view;
    int page;
    bool complete;
  } saved{set_.text, set_.romaji, set_.melody, notes_, list_, stored_, set_.title, view, page_, complete_};
  auto restore = [&] {
    set_.text = std::move(saved.text);
    set_.romaji = std::move(saved.romaji);
    set_.melody = std::move(saved.melody);
    set_.title = std::move(saved.title);
    notes_ = std::move(saved.notes);
    list_ = std::move(saved.list);
    stored_ = std::move(saved.stored);
    view = std::move(saved.view);
    page_ = saved.page;
    complete_ = saved.complete;
  };

  clearEditor();
  const std::optional<std::filesystem::path> file =
      services_.files ? services_.files->openProblemFile() : std::nullopt;
  if (!file) {
    restore();
    return;
  }

  MusicFileReadResult read = readMusicProblemFileForEditor(*file);
  if (read.status == ProblemFileStatus::NotReadable) {
    if (services_.messages) services_.messages->show(kMsgFileNotReadable);
    restore();
    return;
  }
  const size_t n = std::min<size_t>(read.text.size(), kPages);
  for (size_t i = 0; i < n; ++i) {
    set_.text[i] = read.text[i];
    set_.romaji[i] = at(read.reading, static_cast<int>(i));
    notes_[i] = at(read.noteNames, static_cast<int>(i));
    stored_[i] = true;
  }
  if (!read.loaded()) {
    if (services_.messages) services_.messages->show(kMsgEditorReadFailed);
    restore();
    return;
  }

  file_ = *file;
  set_.title = read.title.value_or(std::u16string());
  showPage(0);
  for (int i = 0; i < kPages; ++i) refreshListEntry(i);
  view.title = set_.title;
  markUnchanged();  // the pages are the file's now
}

}  // namespace lk
