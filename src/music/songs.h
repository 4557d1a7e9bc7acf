#pragma once

// The three built-in songs of the music menu, and the fill of the problem set
// that a song button performs before the music drill opens.

#include <span>
#include <string_view>

#include "records/problem_set.h"

namespace lk {

struct SongLine {
  std::u16string_view text;     // lyric line as displayed
  std::u16string_view reading;  // hiragana, one note group between spaces
  std::u16string_view romaji;   // canonical romaji, no spaces
  std::u16string_view melody;   // one token per keystroke, with markers
};

struct Song {
  std::u16string_view title;
  std::span<const SongLine> lines;
};

// Songs of the buttons m1_b, m2_b, m3_b.
enum class BuiltInSong { M1 = 1, M2 = 2, M3 = 3 };
inline constexpr int kBuiltInSongCount = 3;

const Song& builtInSong(BuiltInSong which);

// Replaces the whole problem set with the song: count, title, and exactly
// `count` entries of text, reading, romaji and melody. Nothing of an earlier
// set survives, so a song always starts from its untouched data.
void fillWithSong(ProblemSet& set, const Song& song);
inline void fillWithSong(ProblemSet& set, BuiltInSong which) { fillWithSong(set, builtInSong(which)); }

}  // namespace lk
