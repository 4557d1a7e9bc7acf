#pragma once

// The one-character drill: 60 seconds of single characters drawn at random
// from a fixed list, one key each. No key settings apply; the character is
// its own expected key. The screen `o_type` drives one OneCharDrill.

#include <string>
#include <string_view>

#include "engine/key_settings.h"
#include "records/drill_result.h"
#include "records/problem_set.h"
#include "progress/keystroke_record.h"
#include "shell/services.h"

namespace lk {

inline constexpr std::string_view kOneCharKeySound = "key.wav";
inline constexpr std::string_view kOneCharMissSound = "miss.wav";

enum class OneCharList { Beginner, Advanced };

// The characters of a list in index order (26 letters; letters, digits, symbols).
std::u16string_view oneCharCharacters(OneCharList list);
std::u16string_view oneCharTitle(OneCharList list);

// Recreates `romaji` with one character per entry and sets `count` and
// `title`; `text` keeps what it held.
void fillOneCharList(ProblemSet& set, OneCharList list);

class OneCharDrill {
 public:
  static constexpr int kCountdownStart = 4;
  static constexpr int kSeconds = 60;

  enum class Phase { Countdown, Running, Ended };
  enum class Verdict { Ignored, Hit, Miss };

  struct KeyResult {
    Verdict verdict = Verdict::Ignored;
    std::string_view sound;  // empty when none is to play
  };

  // Load: counters to 0, 60 seconds on the clock, random source reseeded.
  // The counters live in `result`: charCount counts correct keys,
  // missCount wrong ones, elapsedSeconds the seconds left. With a
  // `recorder` every judged key of the 60 seconds is also recorded.
  OneCharDrill(const ProblemSet& set, const KeySettings& keys, DrillResult& result, Random& random,
               KeystrokeRecorder* recorder = nullptr);

  // One countdown tick; true on the tick that starts the drill (and draws
  // the first character).
  bool countdownTick();
  std::u16string countdownText() const;  // "3", "2", "1", "START!"

  // One clock tick: a second less. True on the tick that ends the drill.
  // Returns false and changes nothing unless the drill runs.
  bool clockTick();

  KeyResult type(char16_t k);

  Phase phase() const { return phase_; }
  int countdown() const { return countdown_; }
  int secondsLeft() const { return result_.elapsedSeconds; }
  int correct() const { return result_.charCount; }
  int misses() const { return result_.missCount; }
  int currentIndex() const { return current_; }
  // The character asked now; "終" once time is up; empty before the start.
  std::u16string question() const;

 private:
  void draw();

  const ProblemSet& set_;
  DrillResult& result_;
  Random& random_;
  KeystrokeRecorder* recorder_;
  bool soundOn_;
  int current_ = -1;
  int countdown_ = kCountdownStart;
  Phase phase_ = Phase::Countdown;
};

}  // namespace lk
