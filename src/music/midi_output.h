#pragma once

// MIDI output of the music drill: one note at a time on channel 1 with a
// fixed velocity. MidiOutput is the platform port (FluidSynth in the app, a
// recording fake in tests); the free functions are the drill's operations on
// it and the pure packing of the two short messages the system sends.

#include <cstdint>
#include <optional>

namespace lk {

class MessageBoxes;  // shell/services.h

// One 3-byte MIDI short message.
struct ShortMessage {
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;

  // Status in the lowest byte, then data1, then data2; the top byte is 0.
  constexpr std::uint32_t packed() const {
    return static_cast<std::uint32_t>(status) | (static_cast<std::uint32_t>(data1) << 8) |
           (static_cast<std::uint32_t>(data2) << 16);
  }
  bool operator==(const ShortMessage&) const = default;
};

inline constexpr std::uint8_t kNoteOnChannel1 = 0x90;
inline constexpr std::uint8_t kNoteVelocity = 0x7F;
inline constexpr int kMiddleCKey = 60;  // note value 0

// MIDI key of a note value (middle C is 0), or nothing when 60 + v lies
// outside 0..127: such a value has no key and must not be sent at all.
std::optional<std::uint8_t> midiKey(int noteValue);

// Note On, channel 1, key 60 + v, velocity 127 (packed 0x007F3C90 + 256 v).
std::optional<ShortMessage> noteOnMessage(int noteValue);
// Note On with velocity 0, which ends the note (packed 0x00003C90 + 256 v).
std::optional<ShortMessage> noteOffMessage(int noteValue);

// The platform's MIDI output. Failures are swallowed by the implementation:
// the drill relies on no result except deviceCount().
class MidiOutput {
 public:
  virtual ~MidiOutput() = default;
  // Number of usable outputs; only whether it is 0 matters.
  virtual int deviceCount() = 0;
  // Opens the default output. A failed open leaves the output silent.
  virtual void open() = 0;
  // Plays the message at once (ignored while not open).
  virtual void send(const ShortMessage& message) = 0;
  // Silences every note on every channel.
  virtual void reset() = 0;
  // Releases the output; a later open() may reopen it.
  virtual void close() = 0;
};

// Called when the music drill loads. With no output device (or no output at
// all) shows "MIDI音源を利用できません" and returns false: the drill must then
// stop loading. `messages` may be null in tools and tests.
bool midi_open(MidiOutput* midi, MessageBoxes* messages);

// Send the messages above; a value without a MIDI key sends nothing.
void note_on(MidiOutput* midi, int noteValue);
void note_off(MidiOutput* midi, int noteValue);

// Called when the music drill unloads: reset (silences all notes), then close.
void midi_close(MidiOutput* midi);

// What a correct keystroke with a note token does: ends `soundingNote`, then
// starts `noteValue` and makes it the sounding note, even when both are the
// same key (it is struck again). A value without a MIDI key sends nothing
// and leaves the sounding note as it is. Returns whether anything was sent.
bool strike_note(MidiOutput* midi, std::int16_t& soundingNote, int noteValue);

}  // namespace lk
