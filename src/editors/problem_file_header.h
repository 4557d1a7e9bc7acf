#pragma once

// The start both problem files share: magic word, count and title.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editors/typing_problem_file.h"
#include "shell/field_reader.h"

namespace lk {

// What a problem reader gets from the file before the header.
struct ProblemFileLines {
  // The first field of the first line is neither magic word: the file is
  // refused as "not readable" whatever bytes follow (a UTF-8 memo, a
  // byte-order mark, a picture), without decoding the rest.
  bool foreign = false;
  // The decoded lines; nothing when the file cannot be read or decoded.
  std::optional<std::vector<std::u16string>> lines;
};

// Judges the first field on the raw bytes of the first line (the magic words
// are ASCII, and no code page 932 trail byte is a quote, comma or line end),
// then decodes the whole file. An empty file is not judged: reading past its
// end is the readers' read failure.
ProblemFileLines readProblemFileLines(const std::filesystem::path& file, std::u16string_view completeMagic,
                                      std::u16string_view unfinishedMagic);

enum class HeaderRead {
  Go,    // header read: the records follow
  Stop,  // refused: `r` carries the status and message
  Fail,  // the caller reports its own read failure
};

// Fills r.complete, r.count and r.title (and r.status / r.message on a
// refusal). A menu refuses an unfinished set; the editor opens it.
template <class Result>
HeaderRead readProblemHeader(FieldReader& in, Result& r, std::u16string_view completeMagic,
                             std::u16string_view unfinishedMagic, bool forMenu) {
  const auto magic = in.next();
  if (!magic) return HeaderRead::Fail;
  if (*magic == unfinishedMagic) {
    if (forMenu) {
      r.status = ProblemFileStatus::Unfinished;
      r.message = kMsgFileUnfinished;
      return HeaderRead::Stop;
    }
  } else if (*magic != completeMagic) {
    r.status = ProblemFileStatus::NotReadable;
    r.message = kMsgFileNotReadable;
    return HeaderRead::Stop;
  }
  r.complete = *magic == completeMagic;
  r.count = in.nextNumber();
  if (!r.count) return HeaderRead::Fail;
  r.title = in.next();
  if (!r.title) return HeaderRead::Fail;
  return HeaderRead::Go;
}

// The message a menu shows for a read that did not load: the reader's own,
// or the one its status stands for.
inline std::u16string menuReadMessage(ProblemFileStatus status, const std::u16string& message) {
  if (!message.empty()) return message;
  switch (status) {
    case ProblemFileStatus::Unfinished:
      return std::u16string(kMsgFileUnfinished);
    case ProblemFileStatus::NotReadable:
      return std::u16string(kMsgFileNotReadable);
    default:
      return std::u16string(kMsgMenuReadFailed);
  }
}

// Refused on the magic word: a menu then leaves its problem set untouched.
inline bool refusedOnMagicWord(ProblemFileStatus status) {
  return status == ProblemFileStatus::Unfinished || status == ProblemFileStatus::NotReadable;
}

}  // namespace lk
