// The real synthesizer, rendered into memory: no sound card is needed.

#include "music/platform/fluidsynth_output.h"

#include "fakes/fake_services.h"
#include "music/music_drill.h"
#include "music/note_stream.h"
#include "music/songs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <stdlib.h>
#include <vector>

namespace lk {
namespace {

namespace fs = std::filesystem;

constexpr double kRate = 48000.0;

// A folder of its own per test, so tests run side by side (ctest -j) never
// see one another's SoundFonts.
struct ScratchDir {
  fs::path path;
  ScratchDir() {
    std::string t = (fs::temp_directory_path() / "lk_soundfonts.XXXXXX").string();
    if (!mkdtemp(t.data())) throw std::runtime_error("mkdtemp failed");
    path = t;
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

FluidSynthOutput::Options renderOnly() {
  FluidSynthOutput::Options o;
  o.startAudio = false;
  o.sampleRate = kRate;
  return o;
}

// Root-mean-square level of `seconds` of rendered audio (both channels).
double renderLevel(FluidSynthOutput& out, double seconds) {
  const auto frames = static_cast<std::size_t>(seconds * kRate);
  std::vector<float> l(frames), r(frames);
  EXPECT_TRUE(out.render(l, r));
  double sum = 0;
  for (std::size_t i = 0; i < frames; ++i) sum += double(l[i]) * l[i] + double(r[i]) * r[i];
  return std::sqrt(sum / (2.0 * frames));
}

class FluidSynthRender : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<fs::path> folders = renderOnly().soundFontFolders;
    if (FluidSynthOutput::soundFontCandidates(folders).empty()) GTEST_SKIP() << "no SoundFont installed";
    ASSERT_EQ(out.deviceCount(), 1);
    out.open();
  }
  FluidSynthOutput out{renderOnly()};
};

TEST_F(FluidSynthRender, SilentBeforeAnyNote) {
  EXPECT_LT(renderLevel(out, 0.1), 1e-6);
  EXPECT_FALSE(out.soundFont().empty());
}

TEST_F(FluidSynthRender, NoteOnGivesEnergyAndResetFallsToSilence) {
  note_off(&out, 0);  // the drill's first message ends key 60 although nothing sounds
  EXPECT_LT(renderLevel(out, 0.05), 1e-6);

  note_on(&out, 0);
  const double sounding = renderLevel(out, 0.2);
  EXPECT_GT(sounding, 1e-3);

  midi_close(&out);
  // Within the release of a General MIDI piano the level reaches silence.
  renderLevel(out, 1.5);
  EXPECT_LT(renderLevel(out, 0.1), sounding * 1e-3);
}

TEST_F(FluidSynthRender, VelocityZeroEndsTheNote) {
  note_on(&out, 7);
  const double sounding = renderLevel(out, 0.2);
  ASSERT_GT(sounding, 1e-3);
  note_off(&out, 7);
  renderLevel(out, 1.5);
  EXPECT_LT(renderLevel(out, 0.1), sounding * 1e-3);
}

TEST_F(FluidSynthRender, MessagesAreIgnoredAfterCloseAndPlayAgainAfterReopen) {
  midi_close(&out);
  note_on(&out, 0);
  EXPECT_LT(renderLevel(out, 0.1), 1e-6);

  // Reopening keeps the loaded SoundFont.
  const fs::path font = out.soundFont();
  ASSERT_EQ(out.deviceCount(), 1);
  out.open();
  EXPECT_EQ(out.soundFont(), font);
  note_on(&out, 12);
  EXPECT_GT(renderLevel(out, 0.1), 1e-3);
}

// Keeps what the note path writes, in order.
class RecordingSink : public NoteSink {
 public:
  void write(std::span<const float> audio, At at) override {
    writes.push_back({std::vector<float>(audio.begin(), audio.end()), at});
  }
  struct Write {
    std::vector<float> audio;
    At at;
  };
  std::vector<Write> writes;
};

// Frames before the first sample of `audio` (interleaved) above -50 dBFS.
std::size_t leadIn(const std::vector<float>& audio) {
  for (std::size_t i = 0; i < audio.size(); ++i)
    if (std::abs(audio[i]) >= 100.0f / 32768.0f) return i / 2;
  return audio.size() / 2;
}

TEST_F(FluidSynthRender, AKeysNoteStartsInItsOwnBlockWhateverTheServerAskedBefore) {
  ASSERT_NE(out.noteSynth(), nullptr);
  RecordingSink sink;
  NoteStream stream(*out.noteSynth(), sink, 1440);
  auto strike = [&](std::size_t askedBefore) {
    stream.send({0xB0, 120, 0});  // all sound off
    stream.feed(9600);             // the tail renders away
    stream.feed(askedBefore);
    sink.writes.clear();
    stream.send({0x90, 64, 127});
    EXPECT_EQ(sink.writes.size(), 1u);
    EXPECT_EQ(sink.writes.back().at, NoteSink::At::ReadPosition);
    return leadIn(sink.writes.back().audio);
  };
  // The SoundFont's own lead-in, from a stream fed in whole blocks.
  const std::size_t own = strike(64);
  ASSERT_LT(own, stream.keyFrames()) << "the note is not in the key's block";
  // Requests of any size leave nothing inside the synthesizer that would
  // come out ahead of the note (a part block left behind would add 28 to
  // 63 frames here); the voice itself starts a frame or two apart.
  for (std::size_t asked : {std::size_t{1}, std::size_t{100}, std::size_t{577}}) {
    EXPECT_NEAR(double(strike(asked)), double(own), 4.0) << "after a request of " << asked << " frames";
  }
}

TEST_F(FluidSynthRender, EveryKeyOfTheSongsRangeIsAudibleWithinTwoMillisecondsOfItsBlock) {
  // What a key's own block carries decides how soon it is heard: a sample
  // that opens with silence adds all of it to every key in its range.
  ASSERT_NE(out.noteSynth(), nullptr);
  RecordingSink sink;
  NoteStream stream(*out.noteSynth(), sink, 1440);
  for (int key = 36; key <= 96; ++key) {
    stream.send({0xB0, 120, 0});
    stream.feed(9600);
    sink.writes.clear();
    stream.send({0x90, static_cast<std::uint8_t>(key), 127});
    ASSERT_EQ(sink.writes.size(), 1u);
    EXPECT_LE(leadIn(sink.writes.back().audio), 96u) << "key " << key;
    stream.send({0x90, static_cast<std::uint8_t>(key), 0});
  }
}

TEST(FluidSynthOutputTest, NoSoundFontMeansNoDevice) {
  const ScratchDir scratch;
  const fs::path& empty = scratch.path;
  fs::create_directories(empty);
  auto o = renderOnly();
  o.soundFontFolders = {empty};
  FluidSynthOutput out(o);
  EXPECT_EQ(out.deviceCount(), 0);
  // Everything stays harmless on an output that could not load.
  out.open();
  note_on(&out, 0);
  midi_close(&out);
  std::vector<float> l(64), r(64);
  EXPECT_FALSE(out.render(l, r));
}

TEST(FluidSynthOutputTest, WithoutSoundFontTheDrillShowsTheMessageAndCannotStart) {
  const ScratchDir scratch;
  const fs::path& empty = scratch.path;
  fs::create_directories(empty);
  auto o = renderOnly();
  o.soundFontFolders = {empty};
  FluidSynthOutput out(o);
  test::FakeMessageBoxes messages;
  ProblemSet set;
  fillWithSong(set, BuiltInSong::M2);
  KeySettings keys;
  DrillResult result;
  MusicDrill drill(set, keys, result, &out, &messages);
  EXPECT_FALSE(drill.loaded());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0], u"MIDI音源を利用できません");
  EXPECT_EQ(drill.type(u'a').verdict, MusicDrill::Verdict::Ignored);
}

TEST(FluidSynthOutputTest, BrokenSoundFontFileIsSkipped) {
  const ScratchDir scratch;
  const fs::path& dir = scratch.path;
  fs::create_directories(dir);
  std::ofstream(dir / "FluidR3_GM.sf2") << "not a soundfont";
  auto o = renderOnly();
  o.soundFontFolders = {dir};
  FluidSynthOutput out(o);
  EXPECT_EQ(out.deviceCount(), 0);
  EXPECT_TRUE(out.soundFont().empty());
}

TEST(FluidSynthOutputTest, CandidatesPreferTheFullerGeneralMidiSet) {
  const ScratchDir scratch;
  const fs::path& dir = scratch.path;
  std::ofstream(dir / "TimGM6mb.sf2") << "x";
  std::ofstream(dir / "Big.sf2") << std::string(100, 'x');
  std::ofstream(dir / "Small.sf2") << "xx";
  std::ofstream(dir / "FluidR3_GM.sf2") << "x";
  std::ofstream(dir / "notes.txt") << std::string(1000, 'x');
  const std::vector<fs::path> folders = {dir};
  const auto c = FluidSynthOutput::soundFontCandidates(folders);
  ASSERT_EQ(c.size(), 4u);
  EXPECT_EQ(c[0].filename(), "FluidR3_GM.sf2");
  EXPECT_EQ(c[1].filename(), "TimGM6mb.sf2");
  EXPECT_EQ(c[2].filename(), "Big.sf2");
  EXPECT_EQ(c[3].filename(), "Small.sf2");
}

TEST(FluidSynthOutputTest, ConfiguredBuffersAddAtMostTenMilliseconds) {
  FluidSynthOutput out;
  EXPECT_LE(out.configuredLatencyMs(), 10.0);
}

}  // namespace
}  // namespace lk
