#include "music/note_stream.h"

namespace lk {

NoteStream::NoteStream(NoteSynth& synth, NoteSink& sink, std::size_t queueFrames)
    : synth_(synth), sink_(sink), keyFrames_(wholeBlocks(queueFrames) + kBlockFrames) {
  // Sized once for a key; a key never allocates.
  buffer_.resize(2 * keyFrames_);
}

void NoteStream::send(const ShortMessage& message) {
  synth_.apply(message);
  const bool noteOn = (message.status & 0xF0) == 0x90 && message.data2 != 0;
  if (noteOn) renderAndWrite(keyFrames_, NoteSink::At::ReadPosition);
}

void NoteStream::feed(std::size_t frames) {
  if (frames == 0) return;
  renderAndWrite(wholeBlocks(frames), NoteSink::At::End);
}

void NoteStream::renderAndWrite(std::size_t frames, NoteSink::At at) {
  if (buffer_.size() < 2 * frames) buffer_.resize(2 * frames);
  const std::span<float> out(buffer_.data(), 2 * frames);
  synth_.render(out);
  sink_.write(out, at);
}

}  // namespace lk
