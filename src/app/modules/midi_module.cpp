// The MIDI module: the FluidSynth output, loaded by LazyMidiOutput on the
// first music drill.

#include "music/platform/fluidsynth_output.h"

extern "C" __attribute__((visibility("default"))) lk::MidiOutput* lk_create_midi_output() {
  return new lk::FluidSynthOutput();
}
