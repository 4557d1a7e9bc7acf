#include "practice/training_menu.h"

#include <string>

#include "records/problem_file.h"
#include "records/typing_problem_file.h"
#include "engine/text.h"

namespace lk {

namespace {

std::u16string countCaption(int count) { return fromAscii(std::to_string(count)) + u"問"; }

}  // namespace

TrainingMenuFile::ReadOutcome TrainingMenuFile::read(ProblemSet& set, const std::filesystem::path& file) {
  return apply(set, readTypingProblemFileForMenu(file));
}

TrainingMenuFile::ReadOutcome TrainingMenuFile::apply(ProblemSet& set, const TypingFileReadResult& r) {
  ReadOutcome out;
  ready_ = false;
  if (refusedOnMagicWord(r.status)) {
    out.message = menuReadMessage(r.status, r.message);
    return out;
  }

  // Loaded or failed part-way: the set takes what was read, in file order.
  if (r.count) set.count = *r.count;
  if (r.title) set.title = *r.title;
  // The two labels change together, once both fields are read: a read that
  // fails after the count must not leave the old title beside the new count.
  if (r.count && r.title) {
    out.countLabel = countCaption(*r.count);
    out.titleLabel = *r.title;
  }
  // The arrays hold the records actually read, never `count` empty slots: a
  // damaged file may claim any count, and no drill starts on a failed read.
  if (r.count && *r.count > 0) {
    set.text = r.text;
    set.romaji = r.romaji;
  }

  if (r.loaded() && set.count > 0) {
    ready_ = true;
  } else {
    out.message = menuReadMessage(r.status, r.message);
  }
  return out;
}

std::u16string_view TrainingMenuFile::startRefusal(const ProblemSet& set) const {
  const bool hasProblems = set.count > 0 && set.text.size() >= static_cast<std::size_t>(set.count) &&
                           set.romaji.size() >= static_cast<std::size_t>(set.count);
  return ready_ && hasProblems ? std::u16string_view() : kMsgChooseFile;
}

}  // namespace lk
