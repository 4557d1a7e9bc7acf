#include "music/platform/fluidsynth_output.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <string>
#include <system_error>

#include "shell/platform/pulse_client.h"

namespace lk {

namespace fs = std::filesystem;

namespace {

// The synthesizer's stream on the sound server. The server asks for audio
// whenever its queue falls a request below the target, and the synthesizer
// renders exactly that much on the mainloop's thread. FluidSynth's own
// PulseAudio driver asks for one period as the whole queue and writes a
// period only once the queue has drained, which underruns at any small size.
// The queue starts short and grows a step at each underrun, up to a limit,
// so a busy machine trades a few milliseconds for a clean sound.
class PulseStream {
 public:
  // The loop's thread renders from the synthesizer into buffer_: end it first.
  ~PulseStream() { stop(); }

  // Opens the stream; false without a sound server.
  bool start(fluid_synth_t* synth, double rate, double queueMs, double requestMs, double maxQueueMs) {
    synth_ = synth;
    queueMs_ = queueMs;
    requestMs_ = requestMs;
    maxQueueMs_ = maxQueueMs;
    if (!pulse_.connect()) return false;

    pulse_.lock();
    const bool ok = pulse_.runUntilReady() && connect(rate) && pulse_.waitForStream();
    if (ok) readGranted();
    settled_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    pulse_.unlock();
    return ok;
  }

  // The whole latency the server granted the stream, in milliseconds.
  double grantedMs() const { return grantedMs_.load(); }
  // Ends the stream's thread: nothing more is rendered.
  void stop() { pulse_.stop(); }

  // The queue and request asked for now, grown by the underruns so far.
  // Call with the stream stopped or from its thread.
  double queueMs() const { return queueMs_; }
  double requestMs() const { return requestMs_; }

 private:
  static void request(pa_stream*, size_t bytes, void* self) { static_cast<PulseStream*>(self)->render(bytes); }
  static void underflow(pa_stream*, void* self) { static_cast<PulseStream*>(self)->grow(); }
  static void attrChanged(pa_stream*, int, void* self) { static_cast<PulseStream*>(self)->readGranted(); }

  pa_buffer_attr wantedAttr() const {
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(static_cast<pa_usec_t>(queueMs_ * 1000), &spec_));
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(pa_usec_to_bytes(static_cast<pa_usec_t>(requestMs_ * 1000), &spec_));
    attr.fragsize = static_cast<std::uint32_t>(-1);
    return attr;
  }

  // On the mainloop's thread: a quarter more queue after each underrun.
  // The underruns of the stream's first moments, while the server and the
  // process settle, say nothing about the machine and are let pass.
  void grow() {
    if (std::chrono::steady_clock::now() < settled_ || queueMs_ >= maxQueueMs_) return;
    queueMs_ = std::min(maxQueueMs_, queueMs_ * 1.25);
    requestMs_ *= 1.25;
    const pa_buffer_attr attr = wantedAttr();
    if (pa_operation* op = pa_stream_set_buffer_attr(pulse_.stream(), &attr, &PulseStream::attrChanged, this))
      pa_operation_unref(op);
  }

  void readGranted() {
    const pa_buffer_attr* granted = pa_stream_get_buffer_attr(pulse_.stream());
    if (granted != nullptr) grantedMs_ = static_cast<double>(pa_bytes_to_usec(granted->tlength, &spec_)) / 1000.0;
  }

  bool connect(double rate) {
    spec_ = pa_sample_spec{PA_SAMPLE_FLOAT32NE, static_cast<std::uint32_t>(rate), 2};
    pa_stream* stream = pulse_.newStream("LuminaKey synthesizer", spec_, "music");
    if (stream == nullptr) return false;
    const pa_buffer_attr attr = wantedAttr();
    pa_stream_set_write_callback(stream, &PulseStream::request, this);
    pa_stream_set_underflow_callback(stream, &PulseStream::underflow, this);
    // ADJUST_LATENCY: the queue asked for is the whole latency, the sink's
    // share included, rather than the queue on top of the sink's default.
    return pa_stream_connect_playback(stream, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) == 0;
  }

  // On the mainloop's thread.
  void render(std::size_t bytes) {
    const std::size_t frames = bytes / pa_frame_size(&spec_);
    if (frames == 0) return;
    buffer_.resize(frames * 2);
    fluid_synth_write_float(synth_, static_cast<int>(frames), buffer_.data(), 0, 2, buffer_.data(), 1, 2);
    pa_stream_write(pulse_.stream(), buffer_.data(), frames * pa_frame_size(&spec_), nullptr, 0, PA_SEEK_RELATIVE);
  }

  fluid_synth_t* synth_ = nullptr;
  double queueMs_ = 0;
  double requestMs_ = 0;
  double maxQueueMs_ = 0;
  std::atomic<double> grantedMs_{0};
  std::chrono::steady_clock::time_point settled_;
  pa_sample_spec spec_{};
  std::vector<float> buffer_;
  PulseClient pulse_;
};

}  // namespace

struct FluidSynthOutput::Fluid {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_audio_driver_t* driver = nullptr;
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
  fluid_ = std::move(fluid);
  return true;
}

bool FluidSynthOutput::startPulse() {
  auto pulse = std::make_unique<PulseStream>();
  if (!pulse->start(fluid_->synth, options_.sampleRate, options_.queueMs, options_.requestMs, options_.maxQueueMs))
    return false;
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
    if (fluid_->pulse) {
      // What this machine needed holds for the next drill's stream too.
      fluid_->pulse->stop();
      options_.queueMs = fluid_->pulse->queueMs();
      options_.requestMs = fluid_->pulse->requestMs();
    }
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
  fluid_synth_t* synth = fluid_->synth;
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

bool FluidSynthOutput::render(std::span<float> left, std::span<float> right) {
  if (!fluid_ || fluid_->synth == nullptr || left.size() != right.size()) return false;
  return fluid_synth_write_float(fluid_->synth, static_cast<int>(left.size()), left.data(), 0, 1,
                                 right.data(), 0, 1) == FLUID_OK;
}

}  // namespace lk
