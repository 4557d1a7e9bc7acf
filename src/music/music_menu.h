#pragma once

// The file row of the music menu without the screen: reading a music
// problem file into the problem set, and whether [開始] may start a drill.
// Only the song that the last successful read filled can be started; a
// refused or failed read, or no read since the menu opened, is refused with
// "ファイルを指定して下さい。"; a song of no lines with "問題がありません。".

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "records/problem_set.h"

namespace lk {

struct MusicFileReadResult;

inline constexpr std::u16string_view kMsgChooseMusicFile = u"ファイルを指定して下さい。";
// [開始] on a complete song of no lines: the file is fine, there is nothing to play.
inline constexpr std::u16string_view kMsgNoProblems = u"問題がありません。";

class MusicMenuFile {
 public:
  struct ReadOutcome {
    std::u16string message;                    // to show; empty after a successful read
    std::optional<std::u16string> titleLabel;  // new caption of title_l, when the read got that far
  };

  // Reads `file` with the menu's reader and fills `set` as far as the read went.
  ReadOutcome read(ProblemSet& set, const std::filesystem::path& file);
  // The same for a read that already happened (the core of read()).
  ReadOutcome apply(ProblemSet& set, const MusicFileReadResult& result);

  // Empty when [開始] may hand over to the drill, else the message to show.
  std::u16string_view startRefusal(const ProblemSet& set) const;

  bool ready() const { return ready_; }

 private:
  bool ready_ = false;
};

}  // namespace lk
