#pragma once

// The start both problem files share: magic word, count and title.

#include <string>
#include <string_view>

#include "editors/typing_problem_file.h"
#include "shell/field_reader.h"

namespace lk {

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
