#pragma once

// The file row of the training menu without the screen: reading a typing
// problem file into the problem set, and whether [開 始] may start a drill.
// Only the set that the last successful read filled can be started; a
// refused or failed read, or no read since the menu opened, is refused
// with a message.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "records/problem_set.h"

namespace lk {

struct TypingFileReadResult;

inline constexpr std::u16string_view kMsgChooseFile = u"ファイルを指定して下さい。";

class TrainingMenuFile {
 public:
  struct ReadOutcome {
    std::u16string message;              // to show; empty after a successful read
    std::optional<std::u16string> titleLabel;  // new caption of title_l, when the read got that far
    std::optional<std::u16string> countLabel;  // new caption of mkazu_l ("12問")
  };

  // Reads `file` with the menu's reader and fills `set` as far as the read went.
  ReadOutcome read(ProblemSet& set, const std::filesystem::path& file);
  // The same for a read that already happened (the core of read()).
  ReadOutcome apply(ProblemSet& set, const TypingFileReadResult& result);

  // Empty when [開 始] may hand over to the drill, else the message to show.
  std::u16string_view startRefusal(const ProblemSet& set) const;

  bool ready() const { return ready_; }

 private:
  bool ready_ = false;
};

}  // namespace lk
