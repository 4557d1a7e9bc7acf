#pragma once

// The music drill's rules, without any screen: at load it opens the MIDI
// output and prepares every line of the song with the current key settings;
// afterwards each typed character either plays the next step of the line's
// melody (a hit) or counts a silent miss. The screen `midi_tra` owns one
// MusicDrill, forwards typed characters to it and shows what it reports.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/flexible_matcher.h"
#include "engine/key_settings.h"
#include "music/melody.h"
#include "music/midi_output.h"
#include "records/drill_result.h"
#include "records/problem_set.h"
#include "progress/keystroke_record.h"

namespace lk {

class MessageBoxes;

inline constexpr std::u16string_view kMusicClearText = u"クリア！";

class MusicDrill {
 public:
  // The progress strip holds one mark per line: two rows of 50.
  static constexpr int kMarkCount = 100;
  static constexpr int kMarksPerRow = 50;

  enum class Verdict { Ignored, Hit, Miss };

  struct KeyResult {
    Verdict verdict = Verdict::Ignored;
    bool noteStruck = false;  // a hit whose token was a note (not a hold)
    bool lineDone = false;    // the mark of the finished line turns black
    bool cleared = false;     // that was the last line of the song
  };

  // Load: opens the MIDI output (with no output device shows
  // "MIDI音源を利用できません" and stops: loaded() stays false and nothing
  // is prepared). Otherwise normalizes the readings and rewrites the romaji
  // of every line of `set` in place, queues the melodies and sets the miss
  // counter of `result` to 0. `set`, `result` and `midi` must outlive the
  // drill; `midi` and `messages` may be null (then there is no output).
  //
  // `flexible`: any spelling an input method accepts is a hit; the note a
  // kana carries sounds on its first key, whatever spelling follows, and its
  // further keys hold, so a song sounds the same however it is spelt.
  //
  // With a `recorder` every judged key is also recorded, timed from the load
  // (the first line is shown then).
  MusicDrill(ProblemSet& set, const KeySettings& keys, DrillResult& result, MidiOutput* midi,
             MessageBoxes* messages, bool flexible = false, KeystrokeRecorder* recorder = nullptr);
  // Leaving the drill closes the output it opened (see close()).
  ~MusicDrill();

  MusicDrill(const MusicDrill&) = delete;
  MusicDrill& operator=(const MusicDrill&) = delete;

  // One typed character (its UTF-16 code), compared exactly with the first
  // character still expected.
  KeyResult type(char16_t k);

  // Unload: resets the output (silencing the last note) and closes it.
  // Only once, and only when the load opened it.
  void close();

  bool loaded() const { return loaded_; }
  bool cleared() const { return loaded_ && curLine_ >= count_; }
  int lineCount() const { return count_; }
  // Index of the line being typed; lineCount() once the song is complete.
  int currentLine() const { return curLine_; }
  int missCount() const { return result_.missCount; }
  bool flexible() const { return flexible_; }
  std::int16_t soundingNote() const { return soundingNote_; }

  std::u16string_view title() const;
  // A line with a character no key types counts as typed when it comes up
  // (its mark done), so the song never waits on it.
  //
  // Lyric, reading (single half-width spaces) and not yet typed romaji of the
  // current line; empty before a successful load. After the clear the
  // reading is "クリア！" and the other two are empty.
  std::u16string_view lineText() const;
  std::u16string_view reading() const;
  std::u16string_view remaining() const;

  // A mark is shown for every line of a loaded song until it is complete;
  // it is done (black) once its line has been typed.
  bool markVisible(int i) const { return loaded_ && !cleared() && i >= 0 && i < count_; }
  bool markDone(int i) const { return i >= 0 && i < curLine_; }

 private:
  static std::u16string_view at(const std::vector<std::u16string>& v, int i);
  KeyResult typeFlexible(char16_t k);
  void finishLine(KeyResult& r);
  void skipUntypeableLines();

  // One line in flexible mode: its matcher and the note of each unit.
  struct FlexibleLine {
    FlexibleMatcher matcher;
    std::vector<std::optional<int>> notes;
  };

  ProblemSet& set_;
  DrillResult& result_;
  MidiOutput* midi_;
  KeystrokeRecorder* recorder_;
  bool loaded_ = false;
  bool open_ = false;
  int count_ = 0;
  int curLine_ = 0;
  std::int16_t soundingNote_ = 0;
  std::vector<NoteQueue> queues_;
  std::vector<bool> typeable_;  // per line: every key of it exists
  bool flexible_ = false;
  std::vector<FlexibleLine> flexibleLines_;
  std::u16string guide_;  // what remaining() shows in flexible mode
};

}  // namespace lk
