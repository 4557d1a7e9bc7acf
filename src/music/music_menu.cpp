#include "music/music_menu.h"

#include "records/problem_file.h"
#include "records/music_problem_file.h"

namespace lk {

MusicMenuFile::ReadOutcome MusicMenuFile::read(ProblemSet& set, const std::filesystem::path& file) {
  return apply(set, readMusicProblemFileForMenu(file));
}

MusicMenuFile::ReadOutcome MusicMenuFile::apply(ProblemSet& set, const MusicFileReadResult& r) {
  ReadOutcome out;
  ready_ = false;
  if (refusedOnMagicWord(r.status)) {
    out.message = menuReadMessage(r.status, r.message);
    return out;
  }

  // Loaded or failed part-way: the set takes what was read, in file order.
  if (r.count) set.count = *r.count;
  if (r.title) {
    set.title = *r.title;
    out.titleLabel = *r.title;
  }
  // The arrays hold the records actually read, never `count` empty slots: a
  // damaged file may claim any count, and no drill starts on a failed read.
  if (r.count) {
    set.text = r.text;
    set.reading = r.reading;
    set.romaji = r.romaji;
    set.melody = r.melody;
  }

  if (r.loaded()) {
    ready_ = true;
  } else {
    out.message = menuReadMessage(r.status, r.message);
  }
  return out;
}

std::u16string_view MusicMenuFile::startRefusal(const ProblemSet& set) const {
  if (ready_ && set.count == 0) return kMsgNoProblems;
  const auto n = static_cast<std::size_t>(set.count);
  const bool complete = set.count > 0 && set.text.size() >= n && set.reading.size() >= n &&
                        set.romaji.size() >= n && set.melody.size() >= n;
  return ready_ && complete ? std::u16string_view() : kMsgChooseMusicFile;
}

}  // namespace lk
