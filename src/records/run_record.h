#pragma once

// One finished drill run as the history keeps it: its figures and every key
// typed, with the unit each expected key helps type. The keystroke recorder
// fills it; the history store and the analyses read it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/key_settings.h"
#include "records/date_time.h"

namespace lk {

enum class DrillMode { Word, Char, Music, Course };

// "word", "char", "music", "course": the names of the store and the tool.
std::string_view drillModeName(DrillMode mode);
// Inverse of drillModeName; false for an unknown name.
bool parseDrillMode(std::string_view name, DrillMode& mode);

struct Keystroke {
  std::int32_t ms = 0;        // since the drill's clock started
  char16_t expected = 0;      // the key the drill waited for
  char16_t typed = 0;         // the key that came
  std::uint16_t unit = 0;     // index into RunRecord::units
  std::uint8_t unitPos = 0;   // place of the expected key within its unit's keys
  bool hit = false;           // the drill accepted it
  // The first key of a question that had been shown for kPauseMs or more:
  // its time is a wait, not typing, and the slowness figures leave it out.
  bool afterPause = false;

  bool operator==(const Keystroke&) const = default;
};

struct RunRecord {
  std::int64_t id = 0;  // the store's id once kept; 0 before
  DrillMode mode = DrillMode::Word;
  LocalDateTime started;
  std::u16string title;
  int questions = 0;
  int chars = 0;
  int misses = 0;
  int seconds = 0;
  int speed = 0;     // 文字/分
  int accuracy = 0;  // percent
  bool flexible = false;  // judged by any spelling (どの綴りでも); the one-character drill never is
  std::string settings;  // the key settings in force, see describeKeySettings
  std::vector<std::u16string> units;  // each unit once, in order of first use
  std::vector<Keystroke> keys;

  std::u16string_view unitOf(const Keystroke& k) const {
    return k.unit < units.size() ? std::u16string_view(units[k.unit]) : std::u16string_view();
  }
  bool operator==(const RunRecord&) const = default;
};

// The rows that differ from the canonical spelling as "field=variant"
// pairs separated by one space (the form of the tool's --set options),
// then "saidai=N koukaon=N".
std::string describeKeySettings(const KeySettings& settings);

// A question shown this long before its first key was waited on, not typed.
inline constexpr std::int32_t kPauseMs = 5000;

}  // namespace lk
