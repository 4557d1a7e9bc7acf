#include "music/platform/fluidsynth_output.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <string>
#include <system_error>

namespace lk {

namespace fs = std::filesystem;

struct FluidSynthOutput::Fluid {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_audio_driver_t* driver = nullptr;

  ~Fluid() {
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
  // ALSA queues `periods` periods; the PulseAudio stream is asked for one
  // period of target length while the next is rendered: two in both cases
  // when periods is 2.
  const int buffered = std::max(options_.periods, 2) * options_.periodSize;
  return 1000.0 * buffered / options_.sampleRate;
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

bool FluidSynthOutput::ensureAudio() {
  if (!options_.startAudio) return true;
  if (fluid_->driver != nullptr) return true;
  // PulseAudio reaches PipeWire's Pulse service too; ALSA's default device
  // is the fallback (and itself often routes to the sound server).
  static constexpr std::array<const char*, 2> kDrivers = {"pulseaudio", "alsa"};
  for (const char* name : kDrivers) {
    fluid_settings_setstr(fluid_->settings, "audio.driver", name);
    fluid_->driver = new_fluid_audio_driver(fluid_->settings, fluid_->synth);
    if (fluid_->driver != nullptr) {
      driverName_ = name;
      return true;
    }
  }
  driverName_ = "";
  return false;
}

void FluidSynthOutput::stopAudio() {
  if (fluid_ && fluid_->driver != nullptr) {
    delete_fluid_audio_driver(fluid_->driver);
    fluid_->driver = nullptr;
  }
  driverName_ = "";
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
  if (fluid_ && fluid_->driver != nullptr) {
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
