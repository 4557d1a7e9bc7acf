#pragma once

// The program's MIDI output: FluidSynth lives in a module (with the audio
// libraries it pulls in) that is loaded on the first music drill, so none
// of it costs the start-up. Without the module there is no output device.

#include <QString>
#include <memory>

#include "music/midi_output.h"

namespace lk {

using CreateMidiOutputFn = MidiOutput* (*)();
inline constexpr const char* kCreateMidiOutputSymbol = "lk_create_midi_output";

class LazyMidiOutput : public MidiOutput {
 public:
  explicit LazyMidiOutput(QString module) : module_(std::move(module)) {}

  int deviceCount() override { return output() ? output()->deviceCount() : 0; }
  void open() override {
    if (output()) output()->open();
  }
  void send(const ShortMessage& message) override {
    if (output_) output_->send(message);
  }
  void reset() override {
    if (output_) output_->reset();
  }
  void close() override {
    if (output_) output_->close();
  }

 private:
  MidiOutput* output();

  QString module_;
  bool tried_ = false;
  std::unique_ptr<MidiOutput> output_;
};

}  // namespace lk
