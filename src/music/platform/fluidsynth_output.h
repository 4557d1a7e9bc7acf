#pragma once

// The real MIDI output: a FluidSynth synthesizer embedded in the program,
// playing a General MIDI SoundFont through the desktop's audio server.
//
// The SoundFont is loaded on the first deviceCount()/open() of the run (the
// first music drill) and kept until the program ends, so later drills and
// keystrokes never wait for it. The audio stream is started when a drill
// opens the output and released when it closes it.

#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "music/midi_output.h"
#include "music/note_stream.h"

namespace lk {

class FluidSynthOutput final : public MidiOutput {
 public:
  struct Options {
    // Folders searched for a SoundFont, in order (Debian's by default).
    std::vector<std::filesystem::path> soundFontFolders = {"/usr/share/sounds/sf2"};
    // False: no audio driver is started; the synthesizer is driven by
    // render() alone (tests and benchmarks without a sound card).
    bool startAudio = true;
    double sampleRate = 48000.0;
    // The sound server's stream (PulseAudio, PipeWire's Pulse service):
    // audio kept queued ahead, topped up every `requestMs`. A key's note is
    // written over the queue from the server's read position, so the queue
    // sets no latency, only how long a stalled process may stay away: the
    // server asks when a request's worth has played, and the sink's own
    // latency is what is left of the queue after two requests (6 ms). The
    // loop's thread has about a request's time to answer: 12 ms (a 30 ms
    // queue) underran on a busy machine, and so did 27 ms once in five
    // listening runs; 47 ms has not. A key renders the whole queue: 0.3 ms.
    double queueMs = 100.0;
    double requestMs = 47.0;
    // ALSA without a sound server (FluidSynth's own driver): frames per
    // period and number of periods.
    int periodSize = 192;
    int periods = 2;
  };

  FluidSynthOutput();
  explicit FluidSynthOutput(Options options);
  ~FluidSynthOutput() override;

  FluidSynthOutput(const FluidSynthOutput&) = delete;
  FluidSynthOutput& operator=(const FluidSynthOutput&) = delete;

  // 1 when a SoundFont is loaded and (with startAudio) an audio stream runs;
  // 0 otherwise. Loads the SoundFont and starts the stream on first use.
  int deviceCount() override;
  void open() override;
  void send(const ShortMessage& message) override;
  // Releases every sounding note (with its natural release) on all channels.
  void reset() override;
  // Stops the audio stream; the synthesizer and its SoundFont stay loaded.
  void close() override;

  // SoundFonts found in the folders, best first: the fullest General MIDI
  // set Debian ships (FluidR3), the system's default GM font, TimGM6mb, then
  // any other SoundFont file, largest first. Loading takes the first that
  // loads.
  static std::vector<std::filesystem::path> soundFontCandidates(
      std::span<const std::filesystem::path> folders);

  // The SoundFont in use (empty until loaded or when loading failed).
  const std::filesystem::path& soundFont() const { return soundFontPath_; }
  // Worst-case delay, in milliseconds, that ALSA's buffers add between a
  // message and its sound, from the configured period size and count.
  double configuredLatencyMs() const;
  // The delay the running stream really adds: the sound server's granted
  // buffer (queue plus the sink's share) for "pulseaudio", the configured
  // periods for "alsa"; 0 without a stream.
  double streamLatencyMs() const;

  // The loaded synthesizer as a NoteStream drives it (null until loaded),
  // for tests and benchmarks that schedule it without a sound server.
  NoteSynth* noteSynth();

  // Renders frames of stereo audio into the two buffers (same length).
  // Only meaningful without an audio driver. Returns false if not loaded.
  bool render(std::span<float> left, std::span<float> right);

 private:
  bool ensureSynth();
  bool ensureAudio();
  bool startPulse();
  void stopAudio();

  Options options_;
  struct Fluid;
  std::unique_ptr<Fluid> fluid_;
  bool synthTried_ = false;
  bool open_ = false;
  std::filesystem::path soundFontPath_;
  const char* driverName_ = "";
  double streamLatencyMs_ = 0;
};

}  // namespace lk
