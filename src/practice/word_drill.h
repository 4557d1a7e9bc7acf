#pragma once

// The word drill's rules, without any screen: the shuffle and rewrite at
// load, the countdown, the clock, and the check of every typed character.
// The screen `t_original` owns one WordDrill, forwards timer ticks and typed
// characters to it and shows what it reports.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/flexible_matcher.h"
#include "engine/key_settings.h"
#include "records/drill_result.h"
#include "records/problem_set.h"
#include "progress/keystroke_record.h"
#include "shell/services.h"

namespace lk {

// Sound files of the word drill, relative to the program folder.
inline constexpr std::string_view kWordKeySound = "music/key.wav";
inline constexpr std::string_view kWordMissSound = "music/miss.wav";
inline constexpr std::string_view kWordClearSound = "music/clear.wav";

class WordDrill {
 public:
  static constexpr int kCountdownStart = 4;
  static constexpr int kShuffleSwaps = 501;
  // The progress strip holds this many markers, so no drill asks more.
  static constexpr int kMarkerCount = 50;

  enum class Phase { Countdown, Running, Cleared };
  enum class Verdict { Ignored, Hit, Miss };

  struct KeyResult {
    Verdict verdict = Verdict::Ignored;
    bool questionDone = false;  // the marker of the finished question turns black
    bool cleared = false;       // that was the last question
    // Sounds to start, in order (a later one replaces an earlier one);
    // already empty when the sound switch is off.
    std::array<std::string_view, 2> sounds{};
  };

  // Load: shuffles the problems with `random` (reseeded first), rewrites the
  // asked problems of `set` in place with `keys` and resets `result`.
  // A set marked `askInOrder` is asked in list order, all of it up to the
  // markers, without touching `random`; the mark is cleared.
  // `set`, `result` and `random` must outlive the drill.
  //
  // `flexible` (the "どの綴りでも" judgement): any spelling an input method
  // accepts is a hit, the remaining text is the matcher's guide, and
  // charCount counts the keys actually typed to finish each question.
  //
  // With a `recorder` every judged key is also recorded, timed from the
  // moment the first question is shown to the clear.
  WordDrill(ProblemSet& set, const KeySettings& keys, DrillResult& result, Random& random, bool flexible = false,
            KeystrokeRecorder* recorder = nullptr);

  // One tick of the one-second countdown; true on the tick that starts the
  // drill. Ticks after the start change nothing. Questions with nothing to
  // type count as typed as soon as they come up, here and after each
  // finished question, so the drill may already be cleared when it starts.
  bool countdownTick();
  // What the countdown label shows now: "3", "2", "1", "START!".
  std::u16string countdownText() const;

  // One tick of the drill clock; counts only while the drill runs.
  bool clockTick();

  // One typed character (its UTF-16 code).
  KeyResult type(char16_t k);

  Phase phase() const { return phase_; }
  int countdown() const { return countdown_; }
  int questionCount() const { return questionCount_; }
  // Position in order() of the question being typed (questionCount() when cleared).
  int current() const { return current_; }
  std::span<const int> order() const { return order_; }
  bool markerDone(int i) const { return i >= 0 && i < current_; }

  // Display text and not yet typed part of the current question; empty when
  // there is none (before the first problem is valid, or after the clear).
  std::u16string_view questionText() const;
  std::u16string_view remaining() const;

  bool flexible() const { return flexible_; }
  // The current question's matcher in flexible mode (null otherwise or when
  // there is no current question): its units and the unit typed now.
  const FlexibleMatcher* matcher() const;

 private:
  const std::u16string* currentRomaji() const;
  void skipEmptyQuestions();
  KeyResult typeFlexible(char16_t k);
  void finishQuestion(KeyResult& out);

  ProblemSet& set_;
  DrillResult& result_;
  KeystrokeRecorder* recorder_;
  bool soundOn_;
  std::vector<int> order_;
  int questionCount_ = 0;
  int current_ = 0;
  int countdown_ = kCountdownStart;
  Phase phase_ = Phase::Countdown;
  bool flexible_ = false;
  std::vector<FlexibleMatcher> matchers_;  // one per asked question, in order()
  std::u16string guide_;                   // what remaining() shows in flexible mode
};

}  // namespace lk
