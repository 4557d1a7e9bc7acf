#pragma once

// Platform services the screens and the core call, as small interfaces.
// The app wires the real implementations (src/shell/platform, FluidSynth,
// MeCab); tests pass fakes from tests/fakes that record what was asked.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "records/date_time.h"

namespace lk {

class MidiOutput;      // music/midi_output.h
class ReadingLookup;   // editors/reading_lookup.h

// Short WAV effects, started without waiting; a new one replaces the one
// playing. Missing files or no audio device are silent.
class SoundEffects {
 public:
  virtual ~SoundEffects() = default;
  // Path relative to the program folder, "/" separated ("music/key.wav").
  virtual void play(std::string_view relativePath) = 0;
};

// The program's name: the title of its message boxes.
inline constexpr std::u16string_view kProgramName = u"ルミナキー";

// Modal message boxes.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Text and an OK button, titled with the program's name.
  virtual void show(std::u16string_view text) = 0;
  // Yes/No with No as the default; true when Yes was chosen.
  virtual bool askYesNo(std::u16string_view text, std::u16string_view title) = 0;
};

// Open and save dialogs for problem files. An empty result means cancelled.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // Filters "すべてのファイル (*.*)" and "テキスト ファイル (*.txt)", the text files preselected.
  virtual std::optional<std::filesystem::path> openProblemFile() = 0;
  // Filter "テキスト ファイル (*.txt)" only, with confirmation before overwriting.
  // The dialog opens on `suggested` when it is given (the file being edited).
  virtual std::optional<std::filesystem::path> saveProblemFile(const std::filesystem::path& suggested = {}) = 0;
  // Filter "CSV ファイル (*.csv)", with confirmation before overwriting; for
  // the history export. A service without it answers as if cancelled.
  virtual std::optional<std::filesystem::path> saveCsvFile() { return std::nullopt; }
};

// Where the program's files live.
class ProgramFolder {
 public:
  virtual ~ProgramFolder() = default;
  // Folder of the executable: the sound files are found here.
  virtual std::filesystem::path programFolder() = 0;
  // Folder of set.dat and rank.dat: the program folder, or the user's data
  // folder when the program folder cannot be written.
  virtual std::filesystem::path dataFolder() = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime now() = 0;
  // Milliseconds on a monotonic clock (any origin): keystroke times of the
  // drill record. Never goes back when the wall clock is set.
  virtual std::int64_t monotonicMs() = 0;
};

// Pseudo-random numbers for the shuffles.
class Random {
 public:
  virtual ~Random() = default;
  // Reseeds from the clock (the drills do this before every shuffle).
  virtual void reseed() = 0;
  // Uniform in [0, 1).
  virtual double next() = 0;
};

// Everything a screen may call, handed over with the application state.
// Pointers are owned by the app (or the test) and outlive every screen.
struct Services {
  SoundEffects* sound = nullptr;
  MessageBoxes* messages = nullptr;
  FileDialogs* files = nullptr;
  ProgramFolder* folder = nullptr;
  Clock* clock = nullptr;
  Random* random = nullptr;
  MidiOutput* midi = nullptr;
  ReadingLookup* reading = nullptr;
};

}  // namespace lk
