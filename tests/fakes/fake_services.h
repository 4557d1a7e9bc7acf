#pragma once

// Recording fakes of the services of shell/services.h, and a bundle that
// wires them into a Services struct. Dialog answers come from scripts.

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "shell/services.h"

namespace lk::test {

class FakeSoundEffects : public SoundEffects {
 public:
  std::vector<std::string> played;  // relative paths in call order
  void play(std::string_view relativePath) override { played.emplace_back(relativePath); }
};

class FakeMessageBoxes : public MessageBoxes {
 public:
  struct Question {
    std::u16string text;
    std::u16string title;
  };
  std::vector<std::u16string> shown;  // texts of show(), in order
  std::vector<Question> asked;        // askYesNo() calls, in order
  std::deque<bool> answers;           // next answers of askYesNo(); No when empty
  // Called after a message is recorded (e.g. to check state at that moment).
  std::function<void(std::u16string_view)> onShow;

  void show(std::u16string_view text) override;
  bool askYesNo(std::u16string_view text, std::u16string_view title) override;
};

class FakeFileDialogs : public FileDialogs {
 public:
  // Next answers; nullopt (or an empty script) means the user cancelled.
  std::deque<std::optional<std::filesystem::path>> openAnswers;
  std::deque<std::optional<std::filesystem::path>> saveAnswers;
  int openCalls = 0;
  int saveCalls = 0;
  std::vector<std::filesystem::path> saveSuggestions;  // what each save dialog was opened on

  std::optional<std::filesystem::path> openProblemFile() override;
  std::optional<std::filesystem::path> saveProblemFile(const std::filesystem::path& suggested = {}) override;
};

// A fresh temporary folder, removed with the fake. dataFolder() is the same
// folder unless `data` is set to another one.
class FakeProgramFolder : public ProgramFolder {
 public:
  FakeProgramFolder();
  ~FakeProgramFolder() override;
  FakeProgramFolder(const FakeProgramFolder&) = delete;
  FakeProgramFolder& operator=(const FakeProgramFolder&) = delete;

  std::filesystem::path root;
  std::optional<std::filesystem::path> data;

  std::filesystem::path programFolder() override { return root; }
  std::filesystem::path dataFolder() override { return data ? *data : root; }

  // Writes bytes to a file below the folder (creating subfolders).
  void write(const std::string& relative, const std::string& bytes) const;
  // Reads a file below the folder; empty when missing.
  std::string read(const std::string& relative) const;
  bool exists(const std::string& relative) const;
};

class FakeClock : public Clock {
 public:
  LocalDateTime time;
  std::int64_t ms = 0;  // monotonicMs(); tests advance it by hand
  LocalDateTime now() override { return time; }
  std::int64_t monotonicMs() override { return ms; }
};

// Returns `sequence` in turn, starting over at its end; 0 when empty.
class FakeRandom : public Random {
 public:
  std::vector<double> sequence;
  std::size_t nextIndex = 0;
  int reseeds = 0;

  void reseed() override { ++reseeds; }
  double next() override;
};

// All fakes together. services() points at them; midi and reading stay null
// unless a test sets them (fake_midi.h, fake_reading.h).
struct FakeServices {
  FakeSoundEffects sound;
  FakeMessageBoxes messages;
  FakeFileDialogs files;
  FakeProgramFolder folder;
  FakeClock clock;
  FakeRandom random;
  MidiOutput* midi = nullptr;
  ReadingLookup* reading = nullptr;

  Services services() {
    return Services{&sound, &messages, &files, &folder, &clock, &random, midi, reading};
  }
};

}  // namespace lk::test
