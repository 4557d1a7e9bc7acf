#include "music/platform/fluidsynth_output.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <string>
#include <system_error>

#include "music/note_stream.h"
#include "shell/platform/pulse_client.h"

namespace lk {

namespace fs = std::filesystem;

namespace {

constexpr float kSampleLeadInFrames = 64;

// Messages into FluidSynth, at its current time.
void applyMessage(fluid_synth_t* synth, const ShortMessage& message) {
  const int channel = message.status & 0x0F;
  switch (message.status & 0xF0) {
    case 0x90:
      // Velocity 0 is the Note Off the drill sends.
      if (message.data2 == 0) {
        fluid_synth_noteoff(synth, channel, message.data1);
      } else {
        fluid_synth_noteon(synth, channel, message.data1, message.data2);
      }
      break;
    case 0x80:
      fluid_synth_noteoff(synth, channel, message.data1);
      break;
    case 0xB0:
      fluid_synth_cc(synth, channel, message.data1, message.data2);
      break;
    case 0xC0:
      fluid_synth_program_change(synth, channel, message.data1);
      break;
    default:
      break;
  }
}

class FluidNoteSynth final : public NoteSynth {
 public:
  explicit FluidNoteSynth(fluid_synth_t* synth) : synth_(synth) {}
  void apply(const ShortMessage& message) override { applyMessage(synth_, message); }
  void render(std::span<float> interleaved) override {
    const int frames = static_cast<int>(interleaved.size() / 2);
    fluid_synth_write_float(synth_, frames, interleaved.data(), 0, 2, interleaved.data(), 1, 2);
  }

 private:
  fluid_synth_t* synth_;
};

// The synthesizer's stream on the sound server, driven by a NoteStream: the
// key handler renders and writes a Note On itself (under the mainloop's
// lock, which the loop's thread holds only for its short callbacks), the
// server's requests keep the queue at its fixed length between keys.
// FluidSynth's own PulseAudio driver instead makes one period the whole
// queue, writes only once it has drained, and underruns at any small size.
class PulseStream final : public NoteSink {
 public:
  // The loop's thread renders from the synthesizer: end it first.
  ~PulseStream() override { stop(); }

  // Opens the stream; false without a sound server.
  bool start(NoteSynth& synth, double rate, double queueMs, double requestMs) {
    spec_ = pa_sample_spec{PA_SAMPLE_FLOAT32NE, static_cast<std::uint32_t>(rate), 2};
    const auto queueFrames = static_cast<std::size_t>(rate * queueMs / 1000.0);
    notes_ = std::make_unique<NoteStream>(synth, *this, queueFrames);
    if (!pulse_.connect()) return false;

    pulse_.lock();
    const bool ok = pulse_.runUntilReady() && connect(queueMs, requestMs) && pulse_.waitForStream();
    if (ok) readGranted();
    ready_ = ok;
    pulse_.unlock();
    return ok;
  }

  // From the key handler.
  void send(const ShortMessage& message) {
    pulse_.lock();
    if (ready_) notes_->send(message);
    pulse_.unlock();
  }

  // The whole latency the server granted the stream, in milliseconds.
  double grantedMs() const { return grantedMs_.load(); }
  // Ends the stream's thread: nothing more is rendered.
  void stop() { pulse_.stop(); }

  // With the lock held (from NoteStream).
  void write(std::span<const float> interleaved, At at) override {
    pa_stream* stream = pulse_.stream();
    if (stream == nullptr || pa_stream_get_state(stream) != PA_STREAM_READY) return;
    pa_stream_write(stream, interleaved.data(), interleaved.size() * sizeof(float), nullptr, 0,
                    at == At::ReadPosition ? PA_SEEK_RELATIVE_ON_READ : PA_SEEK_RELATIVE);
  }

 private:
  static void request(pa_stream*, size_t bytes, void* self) {
    auto* me = static_cast<PulseStream*>(self);
    me->notes_->feed(bytes / pa_frame_size(&me->spec_));
  }

  void readGranted() {
    const pa_buffer_attr* granted = pa_stream_get_buffer_attr(pulse_.stream());
    if (granted != nullptr) grantedMs_ = static_cast<double>(pa_bytes_to_usec(granted->tlength, &spec_)) / 1000.0;
  }

  bool connect(double queueMs, double requestMs) {
    pa_stream* stream = pulse_.newStream("LuminaKey synthesizer", spec_, "music");
    if (stream == nullptr) return false;
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(static_cast<pa_usec_t>(queueMs * 1000), &spec_));
    attr.prebuf = 0;  // never stop on an underrun; play whatever arrives
    attr.minreq = static_cast<std::uint32_t>(pa_usec_to_bytes(static_cast<pa_usec_t>(requestMs * 1000), &spec_));
    attr.fragsize = static_cast<std::uint32_t>(-1);
    pa_stream_set_write_callback(stream, &PulseStream::request, this);
    // Without ADJUST_LATENCY the queue is ours and the sink keeps its own
    // latency short (the queue less two requests at most): a key is heard
    // after that, whatever the queue.
    return pa_stream_connect_playback(stream, nullptr, &attr, PA_STREAM_NOFLAGS, nullptr, nullptr) == 0;
  }

  std::unique_ptr<NoteStream> notes_;
  bool ready_ = false;
  std::atomic<double> grantedMs_{0};
  pa_sample_spec spec_{};
  PulseClient pulse_;
};

}  // namespace

struct FluidSynthOutput::Fluid {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_audio_driver_t* driver = nullptr;
  std::unique_ptr<FluidNoteSynth> noteSynth;
  std::unique_ptr<PulseStream> pulse;

  ~Fluid() {
    pulse.reset();  // its thread renders from the synthesizer
    if (driver != nullptr) delete_fluid_audio_driver(driver);
    if (synth != nullptr) delete_fluid_synth(synth);
    if (settings != nullptr) delete_fluid_settings(settings);
  }
};

FluidSynthOutput::FluidSynthOutput() : FluidSynthOutput(Options{}) {}

FluidSynthOutput::FluidSynthOutput(Options options) : options_(std::move(options)) {}

FluidSynthOutput::~FluidSynthOutput() = default;

std::vector<fs::path> FluidSynthOutput::soundFontCandidates(std::span<const fs::path> folders) {
  // Names Debian's packages install; FluidR3 is far fuller than TimGM6mb.
  static constexpr std::array<const char*, 3> kPreferred = {"FluidR3_GM.sf2", "default-GM.sf2",
                                                            "TimGM6mb.sf2"};
  std::vector<fs::path> result;
  auto addUnique = [&result](const fs::path& p) {
    std::error_code ec;
    const fs::path real = fs::canonical(p, ec);
    if (ec || !fs::is_regular_file(real, ec)) return;
    if (std::find(result.begin(), result.end(), real) == result.end()) result.push_back(real);
  };
  for (const auto& folder : folders) {
    for (const char* name : kPreferred) addUnique(folder / name);
  }
  for (const auto& folder : folders) {
    std::vector<std::pair<std::uintmax_t, fs::path>> others;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      const fs::path& p = it->path();
      const std::string ext = p.extension().string();
      if (ext != ".sf2" && ext != ".SF2" && ext != ".sf3") continue;
      std::error_code sizeEc;
      const auto size = fs::file_size(p, sizeEc);
      if (!sizeEc) others.emplace_back(size, p);
    }
    std::sort(others.begin(), others.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [size, p] : others) addUnique(p);
  }
  return result;
}

double FluidSynthOutput::configuredLatencyMs() const {
  // ALSA queues `periods` periods while the next is rendered.
  const int buffered = std::max(options_.periods, 2) * options_.periodSize;
  return 1000.0 * buffered / options_.sampleRate;
}

double FluidSynthOutput::streamLatencyMs() const {
  if (fluid_ && fluid_->pulse) return fluid_->pulse->grantedMs();
  return streamLatencyMs_;
}

bool FluidSynthOutput::ensureSynth() {
  if (fluid_ && fluid_->synth != nullptr) return true;
  if (synthTried_) return false;  // load once per run, also when it failed
  synthTried_ = true;

  // Warnings (real-time priority refused, memory not locked) are no
  // concern of the user; errors still reach stderr.
  for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);

  auto fluid = std::make_unique<Fluid>();
  fluid->settings = new_fluid_settings();
  if (fluid->settings == nullptr) return false;
  fluid_settings_t* s = fluid->settings;
  fluid_settings_setnum(s, "synth.sample-rate", options_.sampleRate);
  fluid_settings_setint(s, "audio.period-size", options_.periodSize);
  fluid_settings_setint(s, "audio.periods", options_.periods);
  // One note at a time: no effects tails after the reset, and a little more
  // gain than the default, which is set for full arrangements.
  fluid_settings_setint(s, "synth.reverb.active", 0);
  fluid_settings_setint(s, "synth.chorus.active", 0);
  fluid_settings_setnum(s, "synth.gain", 0.5);
  fluid_settings_setint(s, "synth.polyphony", 64);

  fluid->synth = new_fluid_synth(s);
  if (fluid->synth == nullptr) return false;

  for (const auto& candidate : soundFontCandidates(options_.soundFontFolders)) {
    if (!fluid_is_soundfont(candidate.c_str())) continue;
    if (fluid_synth_sfload(fluid->synth, candidate.c_str(), 1) != FLUID_FAILED) {
      soundFontPath_ = candidate;
      break;
    }
  }
  if (soundFontPath_.empty()) return false;
  // TimGM6mb's samples open with up to 64 frames of near-silence, heard as
  // up to 8.7 ms on F4 to A4 (a low-rate sample played fast): start every
  // voice that far in. Its volume envelope still rises from zero, so the
  // cut does not click, and fuller fonts lose only a millisecond of lead-in.
  for (int channel = 0; channel < 16; ++channel)
    fluid_synth_set_gen(fluid->synth, channel, GEN_STARTADDROFS, kSampleLeadInFrames);
  fluid->noteSynth = std::make_unique<FluidNoteSynth>(fluid->synth);
  fluid_ = std::move(fluid);
  return true;
}

bool FluidSynthOutput::startPulse() {
  auto pulse = std::make_unique<PulseStream>();
  if (!pulse->start(*fluid_->noteSynth, options_.sampleRate, options_.queueMs, options_.requestMs)) return false;
  fluid_->pulse = std::move(pulse);
  driverName_ = "pulseaudio";
  return true;
}

bool FluidSynthOutput::ensureAudio() {
  if (!options_.startAudio) return true;
  if (fluid_->driver != nullptr || fluid_->pulse) return true;
  // The sound server (PulseAudio, PipeWire's Pulse service) first; ALSA's
  // default device through FluidSynth's own driver otherwise.
  if (startPulse()) return true;
  fluid_settings_setstr(fluid_->settings, "audio.driver", "alsa");
  fluid_->driver = new_fluid_audio_driver(fluid_->settings, fluid_->synth);
  if (fluid_->driver != nullptr) {
    driverName_ = "alsa";
    streamLatencyMs_ = configuredLatencyMs();
    return true;
  }
  driverName_ = "";
  return false;
}

void FluidSynthOutput::stopAudio() {
  if (fluid_) {
    fluid_->pulse.reset();
    if (fluid_->driver != nullptr) delete_fluid_audio_driver(fluid_->driver);
    fluid_->driver = nullptr;
  }
  driverName_ = "";
  streamLatencyMs_ = 0;
}

int FluidSynthOutput::deviceCount() {
  if (!ensureSynth()) return 0;
  return ensureAudio() ? 1 : 0;
}

void FluidSynthOutput::open() {
  open_ = ensureSynth() && ensureAudio();
}

void FluidSynthOutput::send(const ShortMessage& message) {
  if (!open_) return;
  if (fluid_->pulse) {
    fluid_->pulse->send(message);
  } else {
    applyMessage(fluid_->synth, message);
  }
}

void FluidSynthOutput::reset() {
  if (!fluid_ || fluid_->synth == nullptr) return;
  // Like a MIDI reset: pedals up, then every note into its release.
  for (int channel = 0; channel < 16; ++channel) {
    fluid_synth_cc(fluid_->synth, channel, 64, 0);
    fluid_synth_cc(fluid_->synth, channel, 66, 0);
  }
  fluid_synth_all_notes_off(fluid_->synth, -1);
}

void FluidSynthOutput::close() {
  open_ = false;
  if (fluid_ && (fluid_->driver != nullptr || fluid_->pulse)) {
    stopAudio();
    // With the stream gone nothing renders the release the reset started;
    // end every voice now and let the synthesizer take that in, so the next
    // drill does not open on the tail of this one's last note.
    fluid_synth_all_sounds_off(fluid_->synth, -1);
    std::array<float, 64> scratchL{}, scratchR{};
    fluid_synth_write_float(fluid_->synth, 64, scratchL.data(), 0, 1, scratchR.data(), 0, 1);
  }
}

NoteSynth* FluidSynthOutput::noteSynth() { return fluid_ ? fluid_->noteSynth.get() : nullptr; }

bool FluidSynthOutput::render(std::span<float> left, std::span<float> right) {
  if (!fluid_ || fluid_->synth == nullptr || left.size() != right.size()) return false;
  return fluid_synth_write_float(fluid_->synth, static_cast<int>(left.size()), left.data(), 0, 1,
                                 right.data(), 0, 1) == FLUID_OK;
}

}  // namespace lk
