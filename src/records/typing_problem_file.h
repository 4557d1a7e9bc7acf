#pragma once

// The typing problem file: magic word, count, title, then text/romaji pairs,
// every field on its own line. The editor writes it and reads it back
// (unfinished sets included); the training menu reads only complete sets.
// Operations return the message to show; they never show it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/field_reader.h"
#include "records/problem_file.h"

namespace lk {

inline constexpr std::u16string_view kTypingMagicComplete = u"ntrafile";
inline constexpr std::u16string_view kTypingMagicUnfinished = u"prentrafile";
inline constexpr int kEditorRowCount = 100;

// What a file holds (or will hold), records packed in order.
struct TypingProblemFile {
  bool complete = true;  // "ntrafile" when true, "prentrafile" otherwise
  std::u16string title;
  std::vector<std::u16string> text;    // display texts
  std::vector<std::u16string> romaji;  // readings in canonical romaji, same length as text
};

// The editor's rows -> records: rows whose text or reading is not empty, in
// order; the set is complete when no row has only one of the two.
TypingProblemFile typingFileFromRows(std::u16string title, const std::vector<std::u16string>& text,
                                     const std::vector<std::u16string>& romaji);

// Writes the file atomically. A field with a double quote or a line break
// fails with kMsgInvalidCharacter; a character code page 932 cannot hold, or
// any write failure, fails with kMsgEditorSaveFailed. On failure the file on
// disk is untouched.
ProblemFileWriteResult writeTypingProblemFile(const std::filesystem::path& file, const TypingProblemFile& data);

// What a reader got. On a failure the fields hold what was read before it
// (count and title once read; the records read so far).
struct TypingFileReadResult {
  ProblemFileStatus status = ProblemFileStatus::Failed;
  std::u16string message;              // empty when loaded
  bool complete = false;               // the magic word was "ntrafile"
  std::optional<int> count;            // as the file states it
  std::optional<std::u16string> title;
  std::vector<std::u16string> text;    // records read, in order
  std::vector<std::u16string> romaji;  // canonical romaji, as stored

  bool loaded() const { return status == ProblemFileStatus::Loaded; }
};

// The editor's reader: both magic words; count 0 gives an empty set; at most
// 100 records, a larger count fails after the first 100. Readings stay in
// canonical romaji (the editor turns them into kana).
TypingFileReadResult readTypingProblemFileForEditor(const std::filesystem::path& file);

// The training menu's reader: complete sets only, any positive count.
TypingFileReadResult readTypingProblemFileForMenu(const std::filesystem::path& file);

}  // namespace lk
