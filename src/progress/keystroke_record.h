#pragma once

// The record of one drill run: every key typed while the drill's clock ran,
// with its time, the key that was expected, the key that came and the unit
// (kana, compound kana, っ, ん, protected letter, sign) the expected key
// helps type. The drills fill it through a KeystrokeRecorder; the history
// store keeps it and the analyses read it.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/key_settings.h"
#include "engine/rewrite.h"
#include "records/run_record.h"
#include "shell/services.h"

namespace lk {

// Records the keys of one drill run into a RunRecord. The drill registers
// each text it will ask (so that every expected key knows its unit) and
// reports each key it judges; the clock starts at start() (the first
// question is shown) or, when the drill has no start signal of its own, at
// the first key.
//
// The drills show each further question on the key that finished the one
// before, so a question's first key is timed from the moment the question
// was shown; they say so with questionShown().
class KeystrokeRecorder {
 public:
  // `clock` may be null: every time is then 0.
  KeystrokeRecorder(RunRecord& run, Clock* clock);

  // Clears the record's keys and units and stops the clock.
  void reset();

  // Registers a text: its canonical romaji and the keys the drill expects
  // for it (the rewrite of `canonical` with `settings` and `options`).
  // Returns the text's number for key(). Keys the unit split cannot place
  // fall under the whole reading.
  int addText(std::u16string_view canonical, std::u16string_view expectedKeys, const KeySettings& settings,
              const RewriteOptions& options = {});

  // Number of expected keys of a registered text (0 for an unknown one).
  std::size_t textLength(int text) const {
    return text >= 0 && static_cast<std::size_t>(text) < textUnits_.size() ? textUnits_[static_cast<std::size_t>(text)].size() : 0;
  }

  // Starts the clock; the first question is on screen from now.
  void start();
  bool started() const { return started_; }
  // The next question is on screen from now: its first key is marked
  // afterPause when it comes kPauseMs or more later.
  void questionShown();
  // Milliseconds since start() (starts the clock if it was not running).
  std::int32_t elapsedMs();

  // A key judged while `keyIndex` of text `text` was expected.
  void key(int text, std::size_t keyIndex, char16_t expected, char16_t typed, bool hit);
  // A key judged unit by unit (the flexible matcher): unit `unitIndex` of
  // text `text` was being typed. A hit is recorded as the key typed, since
  // any open spelling may have taken it; for a miss `expected` stands for
  // what the open spellings waited for (the guide's next key). The place
  // within the unit counts the hits since the unit began.
  void keyOfUnit(int text, std::size_t unitIndex, std::u16string_view unit, char16_t expected, char16_t typed,
                 bool hit);
  // A key whose unit is given directly (the one-character drill).
  void key(std::u16string_view unit, char16_t expected, char16_t typed, bool hit);

 private:
  std::uint16_t internUnit(std::u16string_view unit);
  void push(std::uint16_t unit, std::uint8_t pos, char16_t expected, char16_t typed, bool hit);

  RunRecord& run_;
  Clock* clock_;
  bool started_ = false;
  std::int64_t origin_ = 0;
  bool questionFresh_ = false;  // no key yet since the question was shown
  std::int32_t shownMs_ = 0;
  std::unordered_map<std::u16string, std::uint16_t> unitIndex_;
  struct KeyPlace {
    std::uint16_t unit;
    std::uint8_t pos;
  };
  std::vector<std::vector<KeyPlace>> textUnits_;  // per text, the unit of each expected key
  int flexText_ = -1;           // keyOfUnit: the unit being typed and the hits in it so far
  std::size_t flexUnit_ = 0;
  std::size_t flexPos_ = 0;
};

}  // namespace lk
