#include "music/midi_output.h"

#include "shell/services.h"

namespace lk {

std::optional<std::uint8_t> midiKey(int noteValue) {
  // Compare before adding so that huge values cannot overflow.
  if (noteValue < -kMiddleCKey || noteValue > 127 - kMiddleCKey) return std::nullopt;
  return static_cast<std::uint8_t>(kMiddleCKey + noteValue);
}

std::optional<ShortMessage> noteOnMessage(int noteValue) {
  auto key = midiKey(noteValue);
  if (!key) return std::nullopt;
  return ShortMessage{kNoteOnChannel1, *key, kNoteVelocity};
}

std::optional<ShortMessage> noteOffMessage(int noteValue) {
  auto key = midiKey(noteValue);
  if (!key) return std::nullopt;
  return ShortMessage{kNoteOnChannel1, *key, 0};
}

bool midi_open(MidiOutput* midi, MessageBoxes* messages) {
  if (midi == nullptr || midi->deviceCount() <= 0) {
    if (messages != nullptr) messages->show(u"MIDI音源を利用できません");
    return false;
  }
  midi->open();
  return true;
}

void note_on(MidiOutput* midi, int noteValue) {
  if (midi == nullptr) return;
  if (auto m = noteOnMessage(noteValue)) midi->send(*m);
}

void note_off(MidiOutput* midi, int noteValue) {
  if (midi == nullptr) return;
  if (auto m = noteOffMessage(noteValue)) midi->send(*m);
}

void midi_close(MidiOutput* midi) {
  if (midi == nullptr) return;
  midi->reset();
  midi->close();
}

bool strike_note(MidiOutput* midi, std::int16_t& soundingNote, int noteValue) {
  if (!midiKey(noteValue)) return false;
  const std::int16_t old = soundingNote;
  soundingNote = static_cast<std::int16_t>(noteValue);
  note_off(midi, old);
  note_on(midi, noteValue);
  return true;
}

}  // namespace lk
