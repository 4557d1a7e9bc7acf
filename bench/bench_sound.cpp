// Listens to the drills' sounds: key -> onset, sounds heard at full length,
// and stretches of digital silence inside sounds, through the real sound
// and MIDI modules on a PulseAudio server whose monitor is being recorded.
// bench/sound_latency.sh starts the silent server and the recorder and runs
// the two steps:
//
//   bench_sound play <sound module> <midi module> <sound folder> <events out>
//     ("-" as the sound or MIDI module leaves that path out)
//     Writes reference clicks through a tiny buffer, then plays the word
//     and one-character drills' effects, then a run of piano notes, keys at
//     known monotonic times, and logs every event with its time.
//   bench_sound analyze <recording.s16> <rate> <events> <sound folder>
//     Maps the recording onto the monotonic clock through the clicks (so
//     the recorder's own delay cancels) and prints the figures per path.

#if !defined(LK_BENCH_SOUND)
#include <cstdio>
int main() {
  std::puts("bench_sound: built without the desktop program or libpulse");
  return 0;
}
#else

#include <pulse/error.h>
#include <pulse/simple.h>

#include <QApplication>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/lazy_midi_output.h"
#include "shell/effect_player.h"
#include "shell/platform/qt_services.h"

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t nowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

// Effects: alternating hits and misses with a few runs, the keys far enough
// apart that each sound may play to its end (the longest lasts 220 ms).
constexpr int kEffectSpacingMs = 320;
constexpr int kWordDrillKeys = 80;  // 40 hits, 40 misses
constexpr int kCharDrillKeys = 20;  // 10 hits, 10 misses
// Notes: separate notes (for key -> audible), then a legato run (gaps).
constexpr int kSeparateNotes = 40;
constexpr int kLegatoNotes = 120;
constexpr int kLegatoSpacingMs = 180;
constexpr int kClicks = 10;
constexpr int kClickRate = 48000;

// --- play -------------------------------------------------------------------

class EventLog {
 public:
  explicit EventLog(const char* path) : out_(path) {}
  void add(const std::string& kind, std::int64_t timeUs, const std::string& what) {
    out_ << kind << ' ' << timeUs << ' ' << what << '\n';
  }

 private:
  std::ofstream out_;
};

// Clicks of 1 ms at full scale through a 2 ms buffer, `spacingMs` apart.
// The time logged is when the click entered that buffer.
bool writeClicks(EventLog& log, int count, int spacingMs) {
  const pa_sample_spec spec{PA_SAMPLE_S16LE, kClickRate, 1};
  constexpr std::uint32_t kBlock = kClickRate / 1000;  // frames: 1 ms
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<std::uint32_t>(-1);
  attr.tlength = 2 * kBlock * 2;
  attr.prebuf = static_cast<std::uint32_t>(-1);
  attr.minreq = static_cast<std::uint32_t>(-1);
  attr.fragsize = static_cast<std::uint32_t>(-1);
  int error = 0;
  pa_simple* s = pa_simple_new(nullptr, "bench_sound", PA_STREAM_PLAYBACK, nullptr, "reference clicks", &spec,
                               nullptr, &attr, &error);
  if (s == nullptr) {
    std::fprintf(stderr, "bench_sound: no sound server (%s)\n", pa_strerror(error));
    return false;
  }
  std::array<std::int16_t, kBlock> silence{}, click{};
  click.fill(30000);
  // Let the stream settle before the first click.
  std::int64_t due = nowUs() + 300'000;
  int written = 0;
  while (written < count) {
    const bool isClick = nowUs() >= due;
    const std::int64_t t = nowUs();
    if (pa_simple_write(s, (isClick ? click : silence).data(), kBlock * 2, &error) < 0) break;
    if (isClick) {
      log.add("click", t, "-");
      ++written;
      due += spacingMs * 1000;
    }
  }
  for (int i = 0; i < 200; ++i) pa_simple_write(s, silence.data(), kBlock * 2, &error);
  pa_simple_drain(s, &error);
  pa_simple_free(s);
  return written == count;
}

// Waits until `dueUs` while the Qt event loop runs (the old sound module
// needs it, as it does in the program).
void waitUntil(std::int64_t dueUs) {
  while (nowUs() < dueUs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    const std::int64_t left = dueUs - nowUs();
    if (left > 1500) std::this_thread::sleep_for(std::chrono::microseconds(std::min<std::int64_t>(left - 1000, 1000)));
  }
}

void playEffects(EventLog& log, const char* module, const char* folder) {
  lk::QtSoundEffects sound(folder, QString::fromUtf8(module));
  sound.preload({"music/key.wav", "music/miss.wav", "music/clear.wav", "key.wav", "miss.wav"});
  std::int64_t due = nowUs() + 1'500'000;  // the drill's countdown
  // A fixed pattern of hits and misses: runs of one to three of each.
  auto run = [&](const char* hit, const char* miss, int keys) {
    int hits = 0, misses = 0;
    for (int i = 0; i < keys; ++i) {
      const bool isHit = hits < keys / 2 && (misses >= keys / 2 || (i * 7 % 5) < 3);
      (isHit ? hits : misses) += 1;
      waitUntil(due);
      const std::int64_t t = nowUs();
      sound.play(isHit ? hit : miss);
      log.add("effect", t, isHit ? hit : miss);
      due += kEffectSpacingMs * 1000;
    }
  };
  run("music/key.wav", "music/miss.wav", kWordDrillKeys);
  run("key.wav", "miss.wav", kCharDrillKeys);
  waitUntil(due + 500'000);
}

void playNotes(EventLog& log, const char* module) {
  lk::LazyMidiOutput midi(QString::fromUtf8(module));
  if (midi.deviceCount() <= 0) {
    std::fprintf(stderr, "bench_sound: no MIDI output\n");
    return;
  }
  midi.open();
  std::int64_t due = nowUs() + 1'000'000;
  const std::array<int, 8> scale = {60, 62, 64, 65, 67, 69, 71, 72};
  // Separate notes, each silenced before the next, so that every onset is
  // the start of sound after digital silence.
  for (int i = 0; i < kSeparateNotes; ++i) {
    const auto key = static_cast<std::uint8_t>(scale[static_cast<std::size_t>(i) % scale.size()]);
    waitUntil(due);
    const std::int64_t t = nowUs();
    midi.send({0x90, key, 100});
    log.add("note", t, std::to_string(key));
    waitUntil(due + 200'000);
    midi.send({0x90, key, 0});
    log.add("noteoff", nowUs(), std::to_string(key));
    waitUntil(due + 300'000);
    midi.send({0xB0, 120, 0});  // all sound off: the tail ends here
    due += 450'000;
  }
  // A legato run as the music drill plays it: each key ends the last note
  // and strikes the next.
  waitUntil(due);
  int sounding = -1;
  for (int i = 0; i < kLegatoNotes; ++i) {
    const int key = scale[static_cast<std::size_t>(i * 3) % scale.size()];
    waitUntil(due);
    const std::int64_t t = nowUs();
    if (sounding >= 0) midi.send({0x90, static_cast<std::uint8_t>(sounding), 0});
    midi.send({0x90, static_cast<std::uint8_t>(key), 100});
    log.add("legato", t, std::to_string(key));
    sounding = key;
    due += kLegatoSpacingMs * 1000;
  }
  waitUntil(due);
  midi.send({0x90, static_cast<std::uint8_t>(sounding), 0});
  log.add("legato_end", nowUs(), "-");
  waitUntil(due + 1'000'000);
  midi.reset();
  midi.close();
}

int play(int argc, char* argv[]) {
  if (argc != 6) return 2;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qargc = 1;
  QApplication app(qargc, argv);
  EventLog log(argv[5]);
  if (!writeClicks(log, kClicks, 150)) return 1;
  if (std::string(argv[2]) != "-") playEffects(log, argv[2], argv[4]);
  if (std::string(argv[3]) != "-") playNotes(log, argv[3]);
  if (!writeClicks(log, kClicks, 150)) return 1;
  return 0;
}

// --- analyze ----------------------------------------------------------------

constexpr int kThreshold = 100;  // about -50 dBFS: "audible" on a silent server
constexpr double kGapMs = 1.0;   // runs of exact zeros this long are gaps

struct Event {
  std::string kind;
  std::int64_t timeUs;
  std::string what;
};

double median(std::vector<double> v) {
  if (v.empty()) return NAN;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return NAN;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<std::size_t>(std::ceil(p * static_cast<double>(v.size())) - 1))];
}

struct Recording {
  std::vector<std::int16_t> samples;
  int rate = 0;
  double offsetS = 0;  // recording time - monotonic time

  std::int64_t index(std::int64_t timeUs) const {
    return static_cast<std::int64_t>(std::llround((static_cast<double>(timeUs) / 1e6 + offsetS) * rate));
  }
  double timeMs(std::int64_t index) const { return (static_cast<double>(index) / rate - offsetS) * 1000.0; }
  // First sample at or above the threshold in [from, to), or -1.
  std::int64_t firstLoud(std::int64_t from, std::int64_t to) const {
    from = std::max<std::int64_t>(from, 0);
    to = std::min<std::int64_t>(to, static_cast<std::int64_t>(samples.size()));
    for (std::int64_t i = from; i < to; ++i)
      if (std::abs(samples[static_cast<std::size_t>(i)]) >= kThreshold) return i;
    return -1;
  }
  std::int64_t lastLoud(std::int64_t from, std::int64_t to) const {
    from = std::max<std::int64_t>(from, 0);
    to = std::min<std::int64_t>(to, static_cast<std::int64_t>(samples.size()));
    for (std::int64_t i = to - 1; i >= from; --i)
      if (std::abs(samples[static_cast<std::size_t>(i)]) >= kThreshold) return i;
    return -1;
  }
  // Runs of exact zeros at least kGapMs long inside [from, to].
  int gaps(std::int64_t from, std::int64_t to) const {
    const auto minRun = static_cast<std::int64_t>(kGapMs * rate / 1000.0);
    int count = 0;
    std::int64_t run = 0;
    for (std::int64_t i = std::max<std::int64_t>(from, 0); i <= to && i < static_cast<std::int64_t>(samples.size());
         ++i) {
      if (samples[static_cast<std::size_t>(i)] == 0) {
        if (++run == minRun) ++count;
      } else {
        run = 0;
      }
    }
    return count;
  }
};

// Recording offset from the clicks at [first, last) of `clicks`.
std::vector<double> clickOffsets(const Recording& rec, const std::vector<Event>& clicks, std::size_t first,
                                 std::size_t last, std::int64_t searchFrom) {
  std::vector<double> offsets;
  double guess = NAN;
  for (std::size_t i = first; i < last; ++i) {
    const Event& c = clicks[i];
    std::int64_t from = searchFrom;
    std::int64_t to = static_cast<std::int64_t>(rec.samples.size());
    if (!std::isnan(guess)) {
      const auto expected = static_cast<std::int64_t>((static_cast<double>(c.timeUs) / 1e6 + guess) * rec.rate);
      from = expected - rec.rate / 50;
      to = expected + rec.rate / 10;
    }
    const std::int64_t at = rec.firstLoud(from, to);
    if (at < 0) continue;
    const double off = static_cast<double>(at) / rec.rate - static_cast<double>(c.timeUs) / 1e6;
    if (std::isnan(guess)) guess = off;
    offsets.push_back(off);
  }
  return offsets;
}

// Audible length of a clip in samples at `rate`: first to last loud sample.
std::int64_t audibleLength(const char* folder, const std::string& path, int rate) {
  std::ifstream in(std::string(folder) + "/" + path, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto clip = lk::decodeWav(bytes, rate);
  if (!clip) return 0;
  std::int64_t first = -1, last = -1;
  for (std::size_t i = 0; i < clip->size(); ++i) {
    if (std::abs((*clip)[i]) >= kThreshold) {
      if (first < 0) first = static_cast<std::int64_t>(i);
      last = static_cast<std::int64_t>(i);
    }
  }
  return first < 0 ? 0 : last - first + 1;
}

void printLatency(const char* label, const std::vector<double>& ms) {
  std::printf("  %-34s n=%zu median %.1f ms, p90 %.1f ms, max %.1f ms\n", label, ms.size(), median(ms),
              percentile(ms, 0.9), ms.empty() ? NAN : *std::max_element(ms.begin(), ms.end()));
}

int analyze(int argc, char* argv[]) {
  if (argc != 6) return 2;
  Recording rec;
  rec.rate = std::atoi(argv[3]);
  {
    std::ifstream in(argv[2], std::ios::binary);
    const std::string raw{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    rec.samples.resize(raw.size() / 2);
    for (std::size_t i = 0; i < rec.samples.size(); ++i)
      rec.samples[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[2 * i]) |
                                                 (static_cast<std::uint8_t>(raw[2 * i + 1]) << 8));
  }
  std::vector<Event> events, clicks;
  {
    std::ifstream in(argv[4]);
    Event e;
    while (in >> e.kind >> e.timeUs >> e.what) (e.kind == "click" ? clicks : events).push_back(e);
  }
  const char* folder = argv[5];
  if (clicks.size() < 2 * kClicks || rec.samples.empty()) {
    std::fprintf(stderr, "bench_sound: %zu clicks logged, %zu samples recorded\n", clicks.size(), rec.samples.size());
    return 1;
  }
  std::printf("recording: %.1f s at %d Hz\n", static_cast<double>(rec.samples.size()) / rec.rate, rec.rate);

  // Calibration: the clicks before and after map monotonic time to samples.
  const auto before = clickOffsets(rec, clicks, 0, kClicks, 0);
  if (before.empty()) {
    std::fprintf(stderr, "bench_sound: the reference clicks are not in the recording\n");
    return 1;
  }
  rec.offsetS = median(before);
  const auto endSearch = rec.index(clicks[kClicks].timeUs) - rec.rate / 10;
  const auto after = clickOffsets(rec, clicks, kClicks, clicks.size(), endSearch);
  std::printf("calibration: %zu/%d clicks before, %zu/%d after; drift over the run %.2f ms\n", before.size(),
              kClicks, after.size(), kClicks, (median(after) - median(before)) * 1000.0);

  // Effects: each sound's window runs from its key to the next key.
  std::map<std::string, std::int64_t> expected;
  struct PerFile {
    int played = 0, heard = 0, full = 0, gaps = 0;
    std::vector<double> onsetMs;
  };
  std::map<std::string, PerFile> files;
  PerFile all;
  std::vector<double> heardShare;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const Event& e = events[i];
    if (e.kind != "effect") continue;
    if (!expected.count(e.what)) expected[e.what] = audibleLength(folder, e.what, rec.rate);
    const std::int64_t keyAt = rec.index(e.timeUs);
    const std::int64_t end = i + 1 < events.size() ? rec.index(events[i + 1].timeUs) : keyAt + rec.rate / 2;
    PerFile& f = files[e.what];
    ++f.played;
    ++all.played;
    const std::int64_t onset = rec.firstLoud(keyAt - rec.rate / 500, end);
    if (onset < 0) continue;
    const std::int64_t last = rec.lastLoud(onset, end);
    ++f.heard;
    ++all.heard;
    const double share = static_cast<double>(last - onset + 1) / static_cast<double>(expected[e.what]);
    heardShare.push_back(share);
    if (share >= 0.8) {
      ++f.full;
      ++all.full;
    } else {
      std::printf("  short: key %zu (%s) at %.3f s heard %.0f %% of its length\n", i, e.what.c_str(),
                  static_cast<double>(keyAt) / rec.rate, 100.0 * share);
    }
    const int g = rec.gaps(onset, last);
    f.gaps += g;
    all.gaps += g;
    const double ms = rec.timeMs(onset) - static_cast<double>(e.timeUs) / 1000.0;
    f.onsetMs.push_back(ms);
    all.onsetMs.push_back(ms);
  }
  std::printf("effects (%d played):\n", all.played);
  for (const auto& [name, f] : files)
    std::printf("  %-16s played %3d, heard %3d, at >= 80%% of its length %3d, silence gaps %d, onset median %.1f ms\n",
                name.c_str(), f.played, f.heard, f.full, f.gaps, median(f.onsetMs));
  std::printf("  heard at full length: %d of %d (%.0f %%); length heard: median %.0f %%, lowest %.0f %%\n", all.full,
              all.played, 100.0 * all.full / std::max(all.played, 1), 100.0 * median(heardShare),
              heardShare.empty() ? 0.0 : 100.0 * *std::min_element(heardShare.begin(), heardShare.end()));
  std::printf("  silence gaps inside sounds: %d\n", all.gaps);
  printLatency("key -> onset:", all.onsetMs);

  // Notes: separate notes for key -> audible, the legato run for gaps.
  std::vector<double> noteMs, legatoMs;
  int notes = 0, heardNotes = 0, noteGaps = 0, legato = 0;
  std::int64_t legatoFirst = -1, legatoEnd = -1;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const Event& e = events[i];
    if (e.kind == "note") {
      ++notes;
      const std::int64_t keyAt = rec.index(e.timeUs);
      const std::int64_t off = i + 1 < events.size() ? rec.index(events[i + 1].timeUs) : keyAt + rec.rate / 5;
      const std::int64_t onset = rec.firstLoud(keyAt - rec.rate / 500, off);
      if (onset < 0) continue;
      ++heardNotes;
      noteMs.push_back(rec.timeMs(onset) - static_cast<double>(e.timeUs) / 1000.0);
      noteGaps += rec.gaps(onset, off);
    } else if (e.kind == "legato") {
      ++legato;
      if (legatoFirst < 0) legatoFirst = rec.firstLoud(rec.index(e.timeUs) - rec.rate / 500, rec.index(e.timeUs) + rec.rate / 5);
    } else if (e.kind == "legato_end") {
      legatoEnd = rec.index(e.timeUs);
    }
  }
  std::printf("notes: %d separate notes, %d heard\n", notes, heardNotes);
  printLatency("key -> audible:", noteMs);
  std::printf("  silence gaps inside separate notes: %d\n", noteGaps);
  if (legatoFirst >= 0 && legatoEnd > legatoFirst)
    std::printf("  legato run of %d notes (%.1f s): silence gaps %d\n", legato,
                static_cast<double>(legatoEnd - legatoFirst) / rec.rate, rec.gaps(legatoFirst, legatoEnd));
  else
    std::printf("  legato run: not heard\n");
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string mode = argc > 1 ? argv[1] : "";
  int rc = 2;
  if (mode == "play") rc = play(argc, argv);
  if (mode == "analyze") rc = analyze(argc, argv);
  if (rc == 2)
    std::fprintf(stderr,
                 "usage: bench_sound play <sound module> <midi module> <sound folder> <events>\n"
                 "       bench_sound analyze <recording.s16> <rate> <events> <sound folder>\n");
  return rc;
}

#endif
