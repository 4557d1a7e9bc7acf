// Music mode timings with the real synthesizer (rendering into memory, so no
// sound card is needed):
//  - a keystroke to the note reaching the synthesizer, through the drill
//    core alone and through the drill screen's key handling;
//  - the latency the configured audio buffers add;
//  - the first SoundFont load of a run, and a later reopen (no reload);
//  - the music drill's load (preparing every line), core and screen.
//  - the SoundFont's own attack: frames from a note's start to its first
//    audible sample, from the rendered output;
//  - what a key costs on the note path: the render and write of its block.
// Prints the one-off figures first, then runs the Google Benchmark cases.
// `bench_music leadin <SoundFont>...` prints only the attack of each file.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <array>
#include <string>
#include <QKeyEvent>
#include <QLabel>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "fakes/fake_midi.h"
#include "music/music_drill.h"
#include "music/note_stream.h"
#include "music/platform/fluidsynth_output.h"
#include "music/screens/music_screens.h"
#include "music/songs.h"
#include "shell/screens/gui_test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

lk::FluidSynthOutput::Options renderOnly() {
  lk::FluidSynthOutput::Options o;
  o.startAudio = false;
  return o;
}

// One synthesizer for the whole run, as in the program.
lk::FluidSynthOutput& synth() {
  static lk::FluidSynthOutput instance(renderOnly());
  return instance;
}

// What the audio thread does between two keys: render one period, which
// also takes in the queued note events.
void renderPeriod() {
  static std::vector<float> l(static_cast<std::size_t>(lk::FluidSynthOutput::Options{}.periodSize));
  static std::vector<float> r(l.size());
  synth().render(l, r);
}

// Passes every call on to the synthesizer and notes when the last message
// has been handed to it.
class TimedOutput : public lk::MidiOutput {
 public:
  explicit TimedOutput(lk::MidiOutput& inner) : inner_(inner) {}
  int deviceCount() override { return inner_.deviceCount(); }
  void open() override { inner_.open(); }
  void send(const lk::ShortMessage& m) override {
    inner_.send(m);
    lastSent = Clock::now();
  }
  void reset() override { inner_.reset(); }
  void close() override { inner_.close(); }
  Clock::time_point lastSent{};

 private:
  lk::MidiOutput& inner_;
};

// A song of 100 lines of 50 keystrokes, each a note: the largest the drill takes.
lk::ProblemSet largestSong() {
  lk::ProblemSet s;
  s.count = 100;
  s.title = u"largest";
  for (int i = 0; i < 100; ++i) {
    s.text.push_back(u"らららら");
    s.reading.push_back(u"ら　ら　ら　ら");
    s.romaji.push_back(std::u16string(50, u'a'));
    std::u16string melody;
    for (int k = 0; k < 50; ++k) melody += static_cast<char16_t>(u'0' + k % 10);
    s.melody.push_back(melody);
  }
  return s;
}

// The attack of the preset the drill plays (program 0 on channel 1, keys
// across the songs' range, velocity 127), from rendered output: frames to
// the first sample above -50 dBFS (what the listening benchmark counts as
// audible) and to within 20 dB of the note's peak.
void reportLeadIn(lk::FluidSynthOutput& out) {
  constexpr int kRate = 48000;
  constexpr std::size_t kFrames = 4800;
  std::printf("SoundFont lead-in (%s), program 0, velocity 127:\n", out.soundFont().filename().string().c_str());
  for (int key : {48, 55, 60, 64, 67, 72, 79, 84}) {
    std::vector<float> l(kFrames), r(kFrames);
    out.send({0xB0, 120, 0});
    for (int i = 0; i < 20; ++i) out.render(l, r);  // tails away, and whole blocks from here on
    out.send({0x90, static_cast<std::uint8_t>(key), 127});
    out.render(l, r);
    out.send({0x90, static_cast<std::uint8_t>(key), 0});
    float peak = 0;
    for (std::size_t i = 0; i < kFrames; ++i) peak = std::max({peak, std::abs(l[i]), std::abs(r[i])});
    auto firstAbove = [&](float level) -> double {
      for (std::size_t i = 0; i < kFrames; ++i)
        if (std::abs(l[i]) >= level || std::abs(r[i]) >= level) return static_cast<double>(i);
      return NAN;
    };
    const double audible = firstAbove(100.0f / 32768.0f);
    const double full = firstAbove(peak * 0.1f);
    std::printf("  key %d: audible after %.0f frames (%.2f ms), within 20 dB of its peak after %.2f ms\n", key,
                audible, 1000.0 * audible / kRate, 1000.0 * full / kRate);
  }
}

// `leadin <file>...`: each SoundFont alone in a folder of its own.
int leadInOnly(int argc, char** argv) {
  namespace fs = std::filesystem;
  for (int i = 2; i < argc; ++i) {
    const fs::path font = fs::absolute(argv[i]);
    const fs::path dir = fs::temp_directory_path() / ("lk_leadin_" + std::to_string(i));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::create_symlink(font, dir / font.filename());
    lk::FluidSynthOutput::Options o = renderOnly();
    o.soundFontFolders = {dir};
    lk::FluidSynthOutput out(o);
    if (out.deviceCount() != 1) {
      std::printf("%s: does not load\n", argv[i]);
    } else {
      out.open();
      reportLeadIn(out);
    }
    fs::remove_all(dir);
  }
  return 0;
}

void reportOneOffFigures() {
  // First SoundFont load of a run: a fresh synthesizer, measured once.
  {
    lk::FluidSynthOutput fresh(renderOnly());
    const auto t0 = Clock::now();
    const int devices = fresh.deviceCount();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    std::printf("first SoundFont load: %.1f ms (%s)%s\n", ms, fresh.soundFont().string().c_str(),
                devices ? "" : "  -- no SoundFont loaded");
  }
  {
    lk::FluidSynthOutput attack(renderOnly());
    attack.deviceCount();
    attack.open();
    if (!attack.soundFont().empty()) reportLeadIn(attack);
  }
  const lk::FluidSynthOutput::Options real;
  std::printf("sound server stream asked for: %.1f ms queued, topped up every %.1f ms; a key rewrites it "
              "from the read position (bench/sound_latency.sh measures what is heard)\n",
              real.queueMs, real.requestMs);
  std::printf("ALSA without a server: %d frames x %d periods at %.0f Hz = %.2f ms added latency\n",
              real.periodSize, real.periods, real.sampleRate, lk::FluidSynthOutput(real).configuredLatencyMs());
}

// Median, 99th percentile and maximum of samples in microseconds, as counters.
void reportSpread(benchmark::State& state, std::vector<double>& us, const char* prefix) {
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  const std::string p(prefix);
  state.counters[p + "p50_us"] = us[us.size() / 2];
  state.counters[p + "p99_us"] = us[us.size() * 99 / 100];
  state.counters[p + "max_us"] = us.back();
}

// Types the drill's next expected key; reloads the song when it is complete.
struct CoreDrill {
  explicit CoreDrill(lk::MidiOutput& out) : midi(out) { reload(); }
  void reload() {
    drill.reset();
    lk::fillWithSong(set, lk::BuiltInSong::M2);
    drill = std::make_unique<lk::MusicDrill>(set, keys, result, &midi, nullptr);
  }
  char16_t next() const { return drill->remaining().front(); }
  lk::MidiOutput& midi;
  lk::ProblemSet set;
  lk::KeySettings keys;
  lk::DrillResult result;
  std::unique_ptr<lk::MusicDrill> drill;
};

void BM_KeystrokeToSynthCore(benchmark::State& state) {
  TimedOutput out(synth());
  CoreDrill d(out);
  std::vector<double> samples;
  for (auto _ : state) {
    if (d.drill->cleared()) {
      state.PauseTiming();
      d.reload();
      state.ResumeTiming();
    }
    const auto t0 = Clock::now();
    const lk::MusicDrill::KeyResult r = d.drill->type(d.next());
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    state.SetIterationTime(s);
    if (r.noteStruck) samples.push_back(s * 1e6);
    renderPeriod();
  }
  reportSpread(state, samples, "note_");
}
BENCHMARK(BM_KeystrokeToSynthCore)->UseManualTime();

// From a key event posted into the drill screen to the note-on handed to the
// synthesizer, for keys that strike a note (holds send nothing).
void BM_KeystrokeToSynthScreen(benchmark::State& state) {
  lk::test::GuiHarness h({lk::registerMusicScreens});
  TimedOutput out(synth());
  h.fakes.midi = &out;
  h.rewire();
  auto openSong = [&h] {
    h.open(lk::ScreenId::midi_menu);
    h.click(QStringLiteral("m2_b"));
  };
  openSong();
  std::vector<double> notes;
  for (auto _ : state) {
    auto* s = h.current();
    auto* label = h.find<QLabel>(QStringLiteral("label_q"));
    if (!label || label->text().isEmpty()) {
      h.click(QStringLiteral("kekka_b"));
      h.click(QStringLiteral("m2_b"));
      state.SetIterationTime(0);
      continue;
    }
    const QChar c = label->text().front();
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    out.lastSent = {};
    const auto t0 = Clock::now();
    QApplication::sendEvent(s, &press);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
    renderPeriod();
    if (out.lastSent != Clock::time_point{}) {
      notes.push_back(std::chrono::duration<double, std::micro>(out.lastSent - t0).count());
    }
  }
  reportSpread(state, notes, "note_");
}
BENCHMARK(BM_KeystrokeToSynthScreen)->UseManualTime();

// Stands for the sound server's stream: takes the bytes and keeps none.
class DiscardingSink : public lk::NoteSink {
 public:
  void write(std::span<const float> audio, At) override { benchmark::DoNotOptimize(audio.data()); }
};

// A key on the note path: the legato pair the drill sends, the Note On's
// block rendered and handed to the stream. Between keys the server's
// requests render a few of its periods, as they would.
void BM_KeyRenderAndWrite(benchmark::State& state) {
  lk::NoteSynth* noteSynth = (synth().deviceCount(), synth().open(), synth().noteSynth());
  if (noteSynth == nullptr) {
    state.SkipWithError("no SoundFont");
    return;
  }
  DiscardingSink sink;
  const lk::FluidSynthOutput::Options real;
  lk::NoteStream stream(*noteSynth, sink, static_cast<std::size_t>(real.sampleRate * real.queueMs / 1000.0));
  const std::array<std::uint8_t, 8> scale = {60, 62, 64, 65, 67, 69, 71, 72};
  std::size_t i = 0;
  std::uint8_t sounding = 60;
  for (auto _ : state) {
    const std::uint8_t key = scale[i++ % scale.size()];
    stream.send({0x90, sounding, 0});
    stream.send({0x90, key, 127});
    sounding = key;
    state.PauseTiming();
    for (int p = 0; p < 10; ++p) stream.feed(576);
    state.ResumeTiming();
  }
  state.counters["key_frames"] = static_cast<double>(stream.keyFrames());
}
BENCHMARK(BM_KeyRenderAndWrite);

// Opening the output for a later drill: the SoundFont stays loaded.
void BM_ReopenOutput(benchmark::State& state) {
  synth().deviceCount();
  for (auto _ : state) {
    benchmark::DoNotOptimize(lk::midi_open(&synth(), nullptr));
    lk::midi_close(&synth());
    state.PauseTiming();
    renderPeriod();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ReopenOutput);

void BM_MusicDrillLoadBuiltIn(benchmark::State& state) {
  lk::test::FakeMidi midi;
  lk::KeySettings keys;
  lk::DrillResult result;
  lk::ProblemSet set;
  for (auto _ : state) {
    state.PauseTiming();
    lk::fillWithSong(set, lk::BuiltInSong::M1);
    midi.clear();
    state.ResumeTiming();
    lk::MusicDrill d(set, keys, result, &midi, nullptr);
    benchmark::DoNotOptimize(d.lineCount());
  }
}
BENCHMARK(BM_MusicDrillLoadBuiltIn);

void BM_MusicDrillLoadLargest(benchmark::State& state) {
  lk::test::FakeMidi midi;
  lk::KeySettings keys;
  lk::DrillResult result;
  const lk::ProblemSet song = largestSong();
  lk::ProblemSet set;
  for (auto _ : state) {
    state.PauseTiming();
    set = song;
    midi.clear();
    state.ResumeTiming();
    lk::MusicDrill d(set, keys, result, &midi, nullptr);
    benchmark::DoNotOptimize(d.lineCount());
  }
}
BENCHMARK(BM_MusicDrillLoadLargest);

// The whole hand-over from the menu's song button to a shown drill screen,
// with the real (already loaded) synthesizer.
void BM_MusicDrillScreenOpen(benchmark::State& state) {
  lk::test::GuiHarness h({lk::registerMusicScreens});
  h.fakes.midi = &synth();
  h.rewire();
  h.open(lk::ScreenId::midi_menu);
  for (auto _ : state) {
    h.click(QStringLiteral("m1_b"));
    state.PauseTiming();
    h.click(QStringLiteral("re_b"));
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MusicDrillScreenOpen);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc > 1 && std::string(argv[1]) == "leadin") return leadInOnly(argc, argv);
  reportOneOffFigures();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
