#include "editors/note_player.h"

#include "music/midi_output.h"

namespace lk {

void NotePlayer::open() {
  if (open_ || midi_ == nullptr || midi_->deviceCount() <= 0) return;
  midi_->open();
  open_ = true;
}

void NotePlayer::close() {
  if (!open_) return;
  sounding_.reset();
  midi_close(midi_);
  open_ = false;
}

void NotePlayer::start(int noteValue) {
  stop();
  if (!open_ || !midiKey(noteValue)) return;
  note_on(midi_, noteValue);
  sounding_ = noteValue;
}

void NotePlayer::stop() {
  if (!sounding_) return;
  note_off(midi_, *sounding_);
  sounding_.reset();
}

}  // namespace lk
