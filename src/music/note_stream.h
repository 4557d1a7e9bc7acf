#pragma once

// The synthesizer's audio on a sound-server stream, scheduled the way the
// sound effects are: a key's Note On is rendered and written at once, over
// the audio already queued, from the server's read position. A key then
// costs one render and one buffer write and is heard after the sink's own
// latency, not after our queue, so the queue can be long enough (and fixed)
// to ride out a busy machine. Between keys the server's requests keep the
// queue full.
//
// Plain C++: the synthesizer (FluidSynth) and the stream (libpulse) are the
// two small ports below, faked in the tests. The caller serialises send()
// and feed() (the real stream holds its mainloop's lock around both).

#include <cstddef>
#include <span>
#include <vector>

#include "music/midi_output.h"

namespace lk {

// The synthesizer as the stream drives it.
class NoteSynth {
 public:
  virtual ~NoteSynth() = default;
  // Takes the message in; it sounds from the next rendered frame on.
  virtual void apply(const ShortMessage& message) = 0;
  // Renders the next frames as interleaved stereo (two floats a frame).
  virtual void render(std::span<float> interleaved) = 0;
};

// The sound server's stream. A write never waits: the server takes what it
// is given, and writing at the read position replaces what is queued there.
class NoteSink {
 public:
  enum class At { End, ReadPosition };
  virtual ~NoteSink() = default;
  virtual void write(std::span<const float> interleaved, At at) = 0;
};

class NoteStream {
 public:
  // FluidSynth renders in blocks of 64 frames and keeps the rest of a block
  // for the next call; rendering whole blocks only means nothing rendered
  // before a note can come out after it.
  static constexpr std::size_t kBlockFrames = 64;

  // `queueFrames`: the stream's target queue. A key rewrites it whole (and
  // a block more, so no audio written before the key is left behind it).
  NoteStream(NoteSynth& synth, NoteSink& sink, std::size_t queueFrames);

  // From the key handler. A Note On (velocity > 0) is rendered and written
  // before this returns; every other message is only taken in and sounds
  // with the next feed.
  void send(const ShortMessage& message);

  // The server asks for `frames` more at the end of the queue; whole blocks
  // are rendered, so a little more may be written.
  void feed(std::size_t frames);

  // Frames a key writes.
  std::size_t keyFrames() const { return keyFrames_; }

  static std::size_t wholeBlocks(std::size_t frames) {
    return (frames + kBlockFrames - 1) / kBlockFrames * kBlockFrames;
  }

 private:
  void renderAndWrite(std::size_t frames, NoteSink::At at);

  NoteSynth& synth_;
  NoteSink& sink_;
  std::size_t keyFrames_;
  std::vector<float> buffer_;
};

}  // namespace lk
