#include "shell/effect_player.h"

#include <algorithm>
#include <iterator>

#include "records/text_file.h"

namespace lk {

namespace {

std::uint32_t readLe(std::span<const std::uint8_t> b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}

}  // namespace

std::optional<EffectClip> decodeWav(std::span<const std::uint8_t> bytes, int outputRate) {
  if (bytes.size() < 12 || readLe(bytes, 0, 4) != 0x46464952 /*RIFF*/ || readLe(bytes, 8, 4) != 0x45564157 /*WAVE*/)
    return std::nullopt;
  int channels = 0, rate = 0, bits = 0;
  std::span<const std::uint8_t> data;
  bool haveData = false;
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    const std::uint32_t id = readLe(bytes, at, 4);
    const std::size_t size = readLe(bytes, at + 4, 4);
    const std::size_t body = at + 8;
    const std::size_t available = std::min(size, bytes.size() - body);
    if (id == 0x20746d66 /*fmt */) {
      if (available < 16) return std::nullopt;
      std::uint32_t format = readLe(bytes, body, 2);
      // WAVE_FORMAT_EXTENSIBLE names the real format in its sub-format GUID.
      if (format == 0xFFFE && available >= 26) format = readLe(bytes, body + 24, 2);
      if (format != 1) return std::nullopt;
      channels = static_cast<int>(readLe(bytes, body + 2, 2));
      rate = static_cast<int>(readLe(bytes, body + 4, 4));
      bits = static_cast<int>(readLe(bytes, body + 14, 2));
    } else if (id == 0x61746164 /*data*/) {
      // A truncated last chunk still plays what it has.
      data = bytes.subspan(body, available);
      haveData = true;
      break;
    }
    at = body + size + (size & 1);  // chunks are padded to even sizes
  }
  if (!haveData || channels <= 0 || rate <= 0 || (bits != 8 && bits != 16) || outputRate <= 0) return std::nullopt;

  const std::size_t frameBytes = static_cast<std::size_t>(channels) * static_cast<std::size_t>(bits / 8);
  const std::size_t frames = data.size() / frameBytes;
  std::vector<float> mono(frames);
  for (std::size_t f = 0; f < frames; ++f) {
    float sum = 0;
    for (int c = 0; c < channels; ++c) {
      const std::size_t at = f * frameBytes + static_cast<std::size_t>(c) * static_cast<std::size_t>(bits / 8);
      sum += bits == 16 ? static_cast<float>(static_cast<std::int16_t>(readLe(data, at, 2)))
                        : static_cast<float>((static_cast<int>(data[at]) - 128) * 256);
    }
    mono[f] = sum / static_cast<float>(channels);
  }

  // Linear interpolation is plenty for short effects.
  const std::size_t outFrames =
      static_cast<std::size_t>(static_cast<double>(frames) * outputRate / rate);
  EffectClip out(outFrames);
  const double step = static_cast<double>(rate) / outputRate;
  for (std::size_t i = 0; i < outFrames; ++i) {
    const double x = static_cast<double>(i) * step;
    const auto j = static_cast<std::size_t>(x);
    const double t = x - static_cast<double>(j);
    const float a = mono[j];
    const float b = j + 1 < frames ? mono[j + 1] : a;
    const double v = a + (b - a) * t;
    out[i] = static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
  }
  return out;
}

// --- mixer -------------------------------------------------------------------

const EffectClip EffectMixer::kSilence;

void EffectMixer::start(const EffectClip* clip) {
  pending_.store(clip != nullptr ? clip : &kSilence, std::memory_order_release);
}

void EffectMixer::render(std::span<std::int16_t> out) {
  if (const EffectClip* next = pending_.exchange(nullptr, std::memory_order_acquire)) {
    current_ = next;
    position_ = 0;
  }
  std::size_t written = 0;
  if (current_ != nullptr && position_ < current_->size()) {
    written = std::min(out.size(), current_->size() - position_);
    std::copy_n(current_->data() + position_, written, out.data());
    position_ += written;
  }
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(written), out.end(), std::int16_t{0});
}

// --- player --------------------------------------------------------------------

EffectPlayer::EffectPlayer(std::filesystem::path folder, std::unique_ptr<EffectOutput> output)
    : folder_(std::move(folder)), output_(std::move(output)) {}

EffectPlayer::~EffectPlayer() {
  // The audio thread reads the mixer and the clips: stop it first.
  output_.reset();
}

bool EffectPlayer::audible() {
  if (!started_) {
    started_ = true;  // one attempt per run: no device stays silent
    audible_ = output_ != nullptr && output_->start(kRate, mixer_);
  }
  return audible_;
}

const EffectClip* EffectPlayer::clip(std::string_view relativePath) {
  if (auto it = clips_.find(relativePath); it != clips_.end()) return it->second.get();
  std::unique_ptr<EffectClip> decoded;
  // readFileBytes refuses a FIFO or device at once: a sound must never hang a key press.
  const auto raw = readFileBytes(folder_ / std::filesystem::path(std::u8string(relativePath.begin(), relativePath.end())));
  if (raw) {
    const std::vector<std::uint8_t> bytes(raw->begin(), raw->end());
    if (auto c = decodeWav(bytes, kRate)) decoded = std::make_unique<EffectClip>(std::move(*c));
  }
  const EffectClip* result = decoded.get();
  clips_.emplace(std::string(relativePath), std::move(decoded));
  return result;
}

void EffectPlayer::preload(std::string_view relativePath) {
  if (audible()) clip(relativePath);
}

void EffectPlayer::play(std::string_view relativePath) {
  // A missing file silences the effect playing, as any new effect would.
  if (!audible()) return;
  mixer_.start(clip(relativePath));
  output_->switched();
}

}  // namespace lk
