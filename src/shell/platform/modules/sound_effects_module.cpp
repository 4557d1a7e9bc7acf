// The sound module: the effect player on one long-lived audio stream,
// loaded by QtSoundEffects on the first sound so that the audio libraries
// never slow the start-up.
//
// The stream goes to PulseAudio (or PipeWire's Pulse service) through
// libpulse, which alone lets a key's sound overwrite the audio already
// queued: the queue can stay long enough to ride out a busy machine while a
// new sound still starts at the server's read position. Without a sound
// server (plain ALSA) SDL's audio device carries the stream instead.

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "shell/effect_player.h"
#include "shell/platform/pulse_client.h"
#include "shell/platform/qt_services.h"

namespace lk {
namespace {

// Audio queued ahead of the server: long enough that a stalled process
// does not underrun it. The server is asked for a little more every
// kRequestMs, and plays the sink's own (short) latency behind that.
constexpr int kQueueMs = 30;
constexpr int kRequestMs = 12;

class PulseEffectOutput : public EffectOutput {
 public:
  // The loop's thread renders from the mixer into scratch_: end it first.
  ~PulseEffectOutput() override { pulse_.stop(); }

  bool start(int rate, EffectMixer& mixer) override {
    mixer_ = &mixer;
    if (!pulse_.connect()) return false;
    pulse_.lock();
    const bool ok = pulse_.runUntilReady() && openStream(rate) && pulse_.waitForStream();
    pulse_.unlock();
    return ok;
  }

  void switched() override {
    // Overwrite the queue from the server's read position with the new
    // clip, so it starts after the sink's latency, not after the queue.
    pulse_.lock();
    write(queueBytes_, PA_SEEK_RELATIVE_ON_READ);
    pulse_.unlock();
  }

 private:
  static void request(pa_stream*, size_t bytes, void* self) {
    static_cast<PulseEffectOutput*>(self)->write(bytes, PA_SEEK_RELATIVE);
  }

  bool openStream(int rate) {
    const pa_sample_spec spec{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(rate), 1};
    pa_stream* stream = pulse_.newStream("LuminaKey effects", spec, "event");
    if (stream == nullptr) return false;
    queueBytes_ = pa_usec_to_bytes(kQueueMs * PA_USEC_PER_MSEC, &spec);
    scratch_.resize(queueBytes_ / 2);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(queueBytes_);
    attr.prebuf = 0;  // never stop on an underrun; play whatever arrives
    attr.minreq = static_cast<std::uint32_t>(pa_usec_to_bytes(kRequestMs * PA_USEC_PER_MSEC, &spec));
    attr.fragsize = static_cast<std::uint32_t>(-1);
    pa_stream_set_write_callback(stream, &PulseEffectOutput::request, this);
    // Without ADJUST_LATENCY the queue is ours and the sink keeps its own
    // latency as short as its other streams need.
    return pa_stream_connect_playback(stream, nullptr, &attr, PA_STREAM_NOFLAGS, nullptr, nullptr) == 0;
  }

  // Runs on the mainloop's thread or with its lock held.
  void write(std::size_t bytes, pa_seek_mode_t seek) {
    pa_stream* stream = pulse_.stream();
    if (stream == nullptr || pa_stream_get_state(stream) != PA_STREAM_READY) return;
    bytes = std::min(bytes, scratch_.size() * 2) & ~std::size_t{1};
    if (bytes == 0) return;
    mixer_->render(std::span<std::int16_t>(scratch_.data(), bytes / 2));
    pa_stream_write(stream, scratch_.data(), bytes, nullptr, 0, seek);
  }

  EffectMixer* mixer_ = nullptr;
  std::size_t queueBytes_ = 0;
  std::vector<std::int16_t> scratch_;
  PulseClient pulse_;
};

// Frames per SDL buffer: 512 at 44.1 kHz (11.6 ms) is the smallest that
// stayed free of underruns on a busy machine.
constexpr Uint16 kSdlBufferFrames = 512;

class SdlEffectOutput : public EffectOutput {
 public:
  ~SdlEffectOutput() override {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    if (initialized_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  bool start(int rate, EffectMixer& mixer) override {
    // The program owns its signals; the stream names itself to the server.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "LuminaKey");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "LuminaKey effects");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    initialized_ = true;
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = kSdlBufferFrames;
    want.callback = &SdlEffectOutput::callback;
    want.userdata = &mixer;
    // No allowed changes: SDL converts to whatever the device runs.
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) return false;
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

 private:
  static void callback(void* userdata, Uint8* stream, int len) {
    static_cast<EffectMixer*>(userdata)->render(
        std::span<std::int16_t>(reinterpret_cast<std::int16_t*>(stream), static_cast<std::size_t>(len) / 2));
  }

  bool initialized_ = false;
  SDL_AudioDeviceID device_ = 0;
};

// The sound server's stream, or SDL's device where there is no server.
class EffectDevice : public EffectOutput {
 public:
  bool start(int rate, EffectMixer& mixer) override {
    output_ = std::make_unique<PulseEffectOutput>();
    if (output_->start(rate, mixer)) return true;
    output_ = std::make_unique<SdlEffectOutput>();
    if (output_->start(rate, mixer)) return true;
    output_.reset();
    return false;
  }
  void switched() override {
    if (output_) output_->switched();
  }

 private:
  std::unique_ptr<EffectOutput> output_;
};

class ModuleEffectPlayer : public PreloadingSoundEffects {
 public:
  explicit ModuleEffectPlayer(const char* folder) : player_(folder, std::make_unique<EffectDevice>()) {}
  void play(std::string_view relativePath) override { player_.play(relativePath); }
  void preload(std::string_view relativePath) override { player_.preload(relativePath); }

 private:
  EffectPlayer player_;
};

}  // namespace
}  // namespace lk

extern "C" Q_DECL_EXPORT lk::PreloadingSoundEffects* lk_create_sound_effects(const char* folderUtf8) {
  return new lk::ModuleEffectPlayer(folderUtf8);
}
