#pragma once

// Sound effects mixed into one long-lived audio stream. The WAV files are
// decoded once into memory; play() only hands the audio thread a pointer,
// so a keystroke never opens a stream, reads a file twice or waits for the
// device. A new effect replaces the one playing from the next buffer on.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shell/services.h"

namespace lk {

// Mono 16-bit samples at the output's rate.
using EffectClip = std::vector<std::int16_t>;

// Decodes a PCM WAV file (8 or 16 bit, any channel count, any rate) into a
// mono clip at `outputRate` Hz; nullopt when the bytes are not such a file.
std::optional<EffectClip> decodeWav(std::span<const std::uint8_t> bytes, int outputRate);

// Switches clips into the stream: start() from any thread, render() from the
// audio thread. Neither locks or allocates.
class EffectMixer {
 public:
  // The clip (nullptr: silence) starts at the next render(), replacing what
  // plays. Of several starts between two renders the last one wins. The
  // clip must outlive the mixer's use of it.
  void start(const EffectClip* clip);
  // Fills `out` with the playing clip, then silence.
  void render(std::span<std::int16_t> out);

 private:
  // A distinct address meaning "silence from now on".
  static const EffectClip kSilence;

  std::atomic<const EffectClip*> pending_{nullptr};
  const EffectClip* current_ = nullptr;
  std::size_t position_ = 0;
};

// The audio device: one stream of mono 16-bit samples that calls the mixer
// for every buffer from its own thread, from start() until it is destroyed.
class EffectOutput {
 public:
  virtual ~EffectOutput() = default;
  // Opens the stream at `rate` Hz; false when there is no audio device.
  virtual bool start(int rate, EffectMixer& mixer) = 0;
  // Called after each switch of the mixer. An output that queues audio
  // ahead may rewrite its queue from the mixer now, so that the new clip
  // starts at the device instead of behind the queue.
  virtual void switched() {}
};

class EffectPlayer : public SoundEffects {
 public:
  static constexpr int kRate = 44100;

  // `folder`: where the WAV files are; `output`: the device (nullptr: silent).
  EffectPlayer(std::filesystem::path folder, std::unique_ptr<EffectOutput> output);
  ~EffectPlayer() override;
  EffectPlayer(const EffectPlayer&) = delete;
  EffectPlayer& operator=(const EffectPlayer&) = delete;

  // Opens the stream (once per run) and decodes the file, so that its first
  // play costs nothing.
  void preload(std::string_view relativePath);
  void play(std::string_view relativePath) override;

  // False when the device could not be opened: every sound is silent.
  bool audible();

 private:
  const EffectClip* clip(std::string_view relativePath);

  std::filesystem::path folder_;
  std::unique_ptr<EffectOutput> output_;
  bool started_ = false;
  bool audible_ = false;
  EffectMixer mixer_;
  // Decoded clips by path; nullptr remembers a missing or unreadable file.
  std::map<std::string, std::unique_ptr<EffectClip>, std::less<>> clips_;
};

}  // namespace lk
