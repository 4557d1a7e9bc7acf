#pragma once

// The music problem file: magic word, count (" 6 "), title, then always 100
// records of five fields (text, reading, romaji, melody, note names). Only
// the first `count` records carry what readers use. The editor writes it and
// reads it back (unfinished songs included); the music menu reads only
// complete songs. Messages are those of the typing problem file.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/problem_file.h"

namespace lk {

inline constexpr std::u16string_view kMusicMagicComplete = u"miditrafile";
inline constexpr std::u16string_view kMusicMagicUnfinished = u"premiditrafile";
inline constexpr int kMusicPageCount = 100;

// One record as written. A field without a value is written as an empty
// line (the editor does this for values it never set); an empty value as
// two double quotes. Readers take both as the empty text.
struct MusicRecord {
  std::optional<std::u16string> text;
  std::optional<std::u16string> reading;    // kana, note groups separated by spaces
  std::optional<std::u16string> romaji;     // canonical romaji without spaces
  std::optional<std::u16string> melody;     // melody string
  std::optional<std::u16string> noteNames;  // as typed in the editor ("ソラ-ド+#ド")
};

struct MusicProblemFile {
  bool complete = true;  // "miditrafile" when true, "premiditrafile" otherwise
  int count = 0;         // leading records the readers use, 0..100
  std::u16string title;
  std::vector<MusicRecord> records;  // at most 100; missing ones are written as empty lines
};

// Writes the file atomically: always 100 records. A count outside 0..100 or
// more than 100 records, and any write or encoding failure, fail with
// kMsgEditorSaveFailed; a double quote or line break in a field with
// kMsgInvalidCharacter. On failure the file on disk is untouched.
ProblemFileWriteResult writeMusicProblemFile(const std::filesystem::path& file, const MusicProblemFile& data);

// What a reader got; on a failure, what was read before it.
struct MusicFileReadResult {
  ProblemFileStatus status = ProblemFileStatus::Failed;
  std::u16string message;
  bool complete = false;
  std::optional<int> count;
  std::optional<std::u16string> title;
  // One entry per record read. The menu fills text, reading, romaji and
  // melody; the editor fills text, reading and noteNames.
  std::vector<std::u16string> text;
  std::vector<std::u16string> reading;
  std::vector<std::u16string> romaji;
  std::vector<std::u16string> melody;
  std::vector<std::u16string> noteNames;

  bool loaded() const { return status == ProblemFileStatus::Loaded; }
};

// The editor's reader: both magic words; count 0 is an empty song; a count
// above 100 fails after the first 100 records.
MusicFileReadResult readMusicProblemFileForEditor(const std::filesystem::path& file);

// The music menu's reader: complete songs of 0 to 100 lines (the drill holds
// at most 100 lines; a larger count fails with kMsgMenuReadFailed).
MusicFileReadResult readMusicProblemFileForMenu(const std::filesystem::path& file);

}  // namespace lk
