// Writes the program's sound effects as 16-bit mono WAV files, synthesized
// here so that no recording has to ship with the sources:
//   music/key.wav    word drill, correct key: a short bright click
//   music/miss.wav   word drill, wrong key: a low buzz
//   music/clear.wav  word drill cleared: a rising fanfare
//   key.wav          one-character drill, correct key: a soft tick
//   miss.wav         one-character drill, wrong key: a short dull buzz
// Usage: make_sounds <output folder>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kTau = 2.0 * std::numbers::pi;

using Samples = std::vector<double>;

Samples silence(double seconds) { return Samples(static_cast<std::size_t>(seconds * kRate), 0.0); }

// Adds a tone with a few harmonics under an attack/exponential-decay envelope.
void addTone(Samples& out, double start, double seconds, double freq, double gain, double decay,
             std::initializer_list<double> harmonics = {1.0}) {
  const auto first = static_cast<std::size_t>(start * kRate);
  const auto count = static_cast<std::size_t>(seconds * kRate);
  if (out.size() < first + count) out.resize(first + count, 0.0);
  const double attack = 0.004;
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    double env = std::exp(-t * decay);
    if (t < attack) env *= t / attack;
    const double release = seconds - t;  // fade the tail out, no click at the end
    if (release < 0.01) env *= release / 0.01;
    double v = 0;
    int n = 1;
    for (double h : harmonics) v += h * std::sin(kTau * freq * n++ * t);
    out[first + i] += gain * env * v;
  }
}

// Noise burst from a fixed-seed generator: the files come out the same every build.
void addNoise(Samples& out, double seconds, double gain, double decay) {
  std::uint32_t state = 0x2545f491u;
  const auto count = static_cast<std::size_t>(seconds * kRate);
  if (out.size() < count) out.resize(count, 0.0);
  double low = 0;
  for (std::size_t i = 0; i < count; ++i) {
    state = state * 1664525u + 1013904223u;
    const double white = static_cast<double>(state >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
    low += 0.35 * (white - low);  // soften the hiss
    const double t = static_cast<double>(i) / kRate;
    out[i] += gain * std::exp(-t * decay) * (white - low);
  }
}

// A square-ish buzz: odd harmonics of two slightly detuned tones.
void addBuzz(Samples& out, double seconds, double freq, double gain) {
  addTone(out, 0, seconds, freq, gain, 6.0, {1.0, 0.0, 0.33, 0.0, 0.2, 0.0, 0.14});
  addTone(out, 0, seconds, freq * 1.03, gain * 0.6, 6.0, {1.0, 0.0, 0.33, 0.0, 0.2});
}

bool writeWav(const std::filesystem::path& path, const Samples& samples) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  auto u32 = [&out](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xff));
  };
  auto u16 = [&out](std::uint16_t v) {
    out.put(static_cast<char>(v & 0xff));
    out.put(static_cast<char>(v >> 8));
  };
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  out.write("RIFF", 4);
  u32(36 + dataBytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(kRate);
  u32(kRate * 2);
  u16(2);
  u16(16);
  out.write("data", 4);
  u32(dataBytes);
  for (double s : samples) {
    const double clipped = std::fmax(-1.0, std::fmin(1.0, s));
    u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(clipped * 32000))));
  }
  return static_cast<bool>(out);
}

Samples click() {
  Samples s = silence(0.05);
  addNoise(s, 0.05, 0.5, 160);
  addTone(s, 0, 0.05, 2200, 0.35, 120);
  return s;
}

Samples tick() {
  Samples s = silence(0.06);
  addTone(s, 0, 0.06, 1320, 0.45, 70, {1.0, 0.3});
  addNoise(s, 0.02, 0.2, 250);
  return s;
}

Samples buzz(double seconds, double freq) {
  Samples s = silence(seconds);
  addBuzz(s, seconds, freq, 0.35);
  return s;
}

Samples fanfare() {
  // C5 E5 G5, then C6 held: a bright major arpeggio with a bell-like tone.
  const double notes[] = {523.25, 659.25, 783.99};
  Samples s = silence(1.3);
  double at = 0;
  for (double f : notes) {
    addTone(s, at, 0.25, f, 0.28, 5.0, {1.0, 0.45, 0.2, 0.1});
    at += 0.13;
  }
  addTone(s, at, 0.9, 1046.5, 0.3, 2.2, {1.0, 0.45, 0.2, 0.1});
  addTone(s, at, 0.9, 523.25, 0.15, 2.2, {1.0, 0.3});
  addTone(s, at, 0.9, 783.99, 0.12, 2.2, {1.0, 0.3});
  return s;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds <output folder>\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  const bool ok = writeWav(dir / "music" / "key.wav", click()) && writeWav(dir / "music" / "miss.wav", buzz(0.22, 110)) &&
                  writeWav(dir / "music" / "clear.wav", fanfare()) && writeWav(dir / "key.wav", tick()) &&
                  writeWav(dir / "miss.wav", buzz(0.15, 150));
  if (!ok) {
    std::fprintf(stderr, "make_sounds: cannot write to %s\n", argv[1]);
    return 1;
  }
  return 0;
}
