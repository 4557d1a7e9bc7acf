#pragma once

// The editors' own use of the MIDI output: the piano and the preview of the
// music editor sound single notes through the drill's synthesizer. Unlike
// the drill, the editor works on without an output and says nothing about
// it; timing (how long a note lasts) is the screen's business.

#include <optional>

namespace lk {

class MidiOutput;

class NotePlayer {
 public:
  explicit NotePlayer(MidiOutput* midi) : midi_(midi) {}
  NotePlayer(const NotePlayer&) = delete;
  NotePlayer& operator=(const NotePlayer&) = delete;
  ~NotePlayer() { close(); }

  // Opens the output when there is one; silent otherwise.
  void open();
  // Silences and releases the output (only if open() opened it).
  void close();
  bool isOpen() const { return open_; }

  // Ends the sounding note and starts `noteValue` (a value without a MIDI
  // key only ends the sounding note).
  void start(int noteValue);
  // Ends the sounding note, if any.
  void stop();
  std::optional<int> sounding() const { return sounding_; }

 private:
  MidiOutput* midi_;
  bool open_ = false;
  std::optional<int> sounding_;
};

}  // namespace lk
