#pragma once

// What both problem files share: the status of a read, the result of a
// write, their messages, and the start (magic word, count and title).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/field_reader.h"

namespace lk {

// Messages shared by the typing and music problem files.
inline constexpr std::u16string_view kMsgFileUnfinished = u"このファイルは作成途中です。";
inline constexpr std::u16string_view kMsgFileNotReadable = u"このファイルは読み込めません。";
inline constexpr std::u16string_view kMsgMenuReadFailed = u"読み込みに失敗しました。";
inline constexpr std::u16string_view kMsgEditorReadFailed = u"問題の読み込みに失敗しました。";
inline constexpr std::u16string_view kMsgEditorSaveFailed = u"問題の保存に失敗しました。";
inline constexpr std::u16string_view kMsgInvalidCharacter = u"使用できない文字が含まれています。";
// A reading the drill could never finish (a kanji, ♪, half-width katakana left in it).
inline constexpr std::u16string_view kMsgUntypeableReading = u"読みに入力できない文字があります。";

// An editor message naming the problem or page at fault: "…（12番）".
std::u16string numberedMessage(std::u16string_view message, int number);

enum class ProblemFileStatus {
  Loaded,
  Unfinished,     // refused by a menu: the set is not complete
  NotReadable,    // refused: another magic word
  Failed,         // read failure (missing fields, bad count, bad bytes, too many records)
};

struct ProblemFileWriteResult {
  bool ok = true;
  std::u16string message;  // empty on success
};

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
