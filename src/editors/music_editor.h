#pragma once

// The music problem editor (`sakuseib`) without its widgets: 100 pages of
// lyric text, reading and note names shown one at a time, the page list, the
// melody keyboard, load, save and clear. As with the typing editor, the
// screen copies its boxes into `view` before each command and shows `view`
// (and the list) again after it.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "editors/typing_editor.h"  // kDefaultTitle

namespace lk {

struct KeySettings;
struct ProblemSet;
struct Services;

// How the melody box and the reading box of a page fit together: the notes
// entered against the note groups of the reading, both counted as the
// melody conversion counts them (a space at either end of the reading makes
// a group with no key), and whether the save's conversion takes the page.
struct MelodyFit {
  int notes = 0;
  int groups = 0;
  bool namesValid = true;  // false: a character the conversion refuses (not counted)
  bool converts = true;    // false: the save would fail on this page
  bool fits() const { return namesValid && converts && notes == groups; }
};
MelodyFit melodyFit(std::u16string_view reading, std::u16string_view noteNames);

// The notes a preview plays, one entry per beat: the note struck on that
// beat, or nothing when the beat holds the note before it (a note group left
// without a note of its own). Empty when the page cannot be converted.
std::vector<std::optional<int>> previewBeats(std::u16string_view reading, std::u16string_view noteNames,
                                             const KeySettings& settings);

class MusicEditor {
 public:
  static constexpr int kPages = 100;

  struct View {
    std::u16string lyric;    // q_n
    std::u16string reading;  // q2_n
    std::u16string notes;    // q3_n
    std::u16string title{kDefaultTitle};  // title_n
  };

  // Opening the screen: 100 pages without values, page 0, the list " 1:" to " 100:".
  MusicEditor(ProblemSet& set, Services& services);

  View view;

  int page() const { return page_; }
  std::u16string pageLabel() const;  // p_n
  // List1: entry i is " {i+1}:" and, once the page was left or loaded, its lyric text.
  const std::vector<std::u16string>& listEntries() const { return list_; }
  int selectedEntry() const { return page_; }

  const std::u16string& text(int page) const;
  const std::u16string& reading(int page) const;
  const std::u16string& noteNames(int page) const;
  bool complete() const { return complete_; }

  void kakunou();
  void showPage(int page);
  void nextPage();      // pagen_b
  void previousPage();  // pager_b
  // List1: the user picked entry `entry` (mouse or keyboard).
  void selectPage(int entry);
  // hurigana_b: the reading box from the lookup of the lyric box.
  void fillReading();
  // kennban(index): appends that key's note name to the melody box.
  void pressKey(int index);
  // yomikomi_b. A load that does not complete (cancelled, unreadable, a read
  // failure) leaves the song as it was before it.
  void load();
  void save();   // sakusei_b
  void clear();  // cl_b, asks first

  // The file last loaded or saved (empty before either); the save dialog
  // opens on it.
  const std::filesystem::path& currentFile() const { return file_; }
  // Saves that wrote their file completely since the editor opened.
  int savedCount() const { return saved_; }

  // True when a page (the one on screen as its boxes show it) or the title
  // differs from what the editor last opened with, loaded, saved or cleared to.
  bool hasUnsavedChanges() const;

 private:
  void recreateWorkingSet();
  void clearEditor();
  void refreshListEntry(int page);
  bool validate();
  // Lyric, reading and note names of every page as the user sees them, then the title.
  std::vector<std::u16string> contentAsSeen() const;
  void markUnchanged() { unchanged_ = contentAsSeen(); }

  ProblemSet& set_;
  Services& services_;
  std::vector<std::u16string> notes_;  // note names of each page
  std::vector<bool> stored_;           // the page holds values (stored or loaded) since opening
  std::vector<std::u16string> list_;
  int page_ = 0;
  bool complete_ = false;
  std::vector<std::u16string> unchanged_;
  std::filesystem::path file_;
  int saved_ = 0;
};

}  // namespace lk
