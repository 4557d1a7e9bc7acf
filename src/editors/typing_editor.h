#pragma once

// The typing problem editor (`sakusei_a`) without its widgets: the working
// set of 100 rows shown ten at a time, the page commands, the fill-readings
// command, load, save and clear. The screen copies what the user typed into
// `view` before each command and shows `view` again after it, so every rule
// lives here and the screen stays a mirror.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace lk {

struct ProblemSet;
struct Services;

inline constexpr std::u16string_view kDefaultTitle = u"<no title>";

// A reading box's text as the conversion takes it (both editors): JIS-mapped
// signs as their code page 932 forms, full-width letters and digits as ASCII.
std::u16string readingAsEntered(std::u16string_view box);

class TypingEditor {
 public:
  static constexpr int kRows = 100;
  static constexpr int kRowsPerPage = 10;
  static constexpr int kPages = kRows / kRowsPerPage;

  // What the ten rows and the title box of the screen hold.
  struct View {
    std::array<std::u16string, kRowsPerPage> problems;  // q_n(0..9)
    std::array<std::u16string, kRowsPerPage> readings;  // q2_n(0..9)
    std::u16string title{kDefaultTitle};                // title_n
  };

  // Opening the screen: 100 empty rows, page 0, empty boxes. `set` is the
  // application's problem set, used as the working set; `services` gives the
  // message boxes, the file dialogs and the reading lookup.
  TypingEditor(ProblemSet& set, Services& services);

  View view;

  int page() const { return page_; }
  // num_l(p): the number shown beside row p of the page, counted from 1.
  int rowNumber(int p) const { return page_ * kRowsPerPage + p + 1; }
  // p_n
  std::u16string pageLabel() const;

  // The working set as it stands (kana readings while editing).
  const std::u16string& text(int row) const;
  const std::u16string& reading(int row) const;
  // Complete flag of the last save that got past validation.
  bool complete() const { return complete_; }

  // Stores the ten rows of the view into the page's rows of the working set.
  void kakunou();
  // Fills the view from the page's rows.
  void showPage();
  void nextPage();      // pagen_b "→"
  void previousPage();  // pager_b "←"
  // hurigana_b: every reading box of the page from the lookup of its problem box.
  void fillReadings();
  void load();   // yomikomi_b
  void save();   // sakusei_b
  void clear();  // cl_b, asks first

  // The file last loaded or saved (empty before either); the save dialog
  // opens on it.
  const std::filesystem::path& currentFile() const { return file_; }
  // Saves that wrote their file completely since the editor opened.
  int savedCount() const { return saved_; }

  // True when the rows (the view's page included) or the title differ from
  // what the editor last opened with, loaded, saved or cleared to.
  bool hasUnsavedChanges() const;

 private:
  void recreateWorkingSet();
  // Returns false (after the message) when something cannot be written.
  bool validate();
  // Takes the rows and the title as they stand as the unchanged state.
  void markUnchanged();
  void rowsAsSeen(std::vector<std::u16string>& text, std::vector<std::u16string>& reading) const;

  ProblemSet& set_;
  Services& services_;
  int page_ = 0;
  bool complete_ = false;
  std::vector<std::u16string> unchangedText_;
  std::vector<std::u16string> unchangedReading_;
  std::u16string unchangedTitle_;
  std::filesystem::path file_;
  int saved_ = 0;
};

}  // namespace lk
