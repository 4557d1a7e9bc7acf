#include "shell/effect_player.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>

#include "fakes/fake_services.h"

namespace lk {
namespace {

namespace fs = std::filesystem;

// A WAV file in memory: PCM, the given layout, the given samples (already
// interleaved, little endian), optional chunks before the data.
std::vector<std::uint8_t> wav(int channels, int rate, int bits, const std::vector<int>& samples,
                              const std::string& extraChunk = {}) {
  std::vector<std::uint8_t> b;
  auto put = [&b](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto tag = [&b](const char* t) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(t[i]));
  };
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * (bits / 8));
  tag("RIFF");
  put(0, 4);  // readers do not trust the RIFF size
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(1, 2);
  put(static_cast<std::uint32_t>(channels), 2);
  put(static_cast<std::uint32_t>(rate), 4);
  put(static_cast<std::uint32_t>(rate * channels * bits / 8), 4);
  put(static_cast<std::uint32_t>(channels * bits / 8), 2);
  put(static_cast<std::uint32_t>(bits), 2);
  b.insert(b.end(), extraChunk.begin(), extraChunk.end());
  tag("data");
  put(dataBytes, 4);
  for (int s : samples) put(static_cast<std::uint32_t>(s), bits / 8);
  return b;
}

TEST(DecodeWav, ReadsPcmLayoutsIntoMonoAtTheOutputRate) {
  // An odd-sized chunk before the data is padded to an even size.
  const std::string list("LIST\x03\x00\x00\x00" "abc\x00", 12);
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    int outputRate;
    EffectClip expected;
  } cases[] = {
      {"16-bit mono", wav(1, 100, 16, {0, 1000, -1000, 32767}), 100, {0, 1000, -1000, 32767}},
      {"stereo averaged", wav(2, 100, 16, {1000, 3000, -200, 200}), 100, {2000, 0}},
      {"8-bit unsigned", wav(1, 100, 8, {128, 255, 0}), 100, {0, 127 * 256, -128 * 256}},
      {"chunk before data", wav(1, 100, 16, {5, 6}, list), 100, {5, 6}},
      {"upsampled twice", wav(1, 100, 16, {0, 100}), 200, {0, 50, 100, 100}},
      {"downsampled", wav(1, 200, 16, {0, 1, 2, 3}), 100, {0, 2}},
  };
  for (const auto& c : cases) {
    const auto clip = decodeWav(c.bytes, c.outputRate);
    ASSERT_TRUE(clip.has_value()) << c.what;
    EXPECT_EQ(*clip, c.expected) << c.what;
  }
}

TEST(DecodeWav, RefusesWhatIsNotPcmWav) {
  auto floatFormat = wav(1, 100, 16, {1, 2});
  floatFormat[20] = 3;  // IEEE float
  auto noData = wav(1, 100, 16, {});
  noData.resize(noData.size() - 8);
  auto bits24 = wav(1, 100, 16, {1});
  bits24[34] = 24;
  const std::vector<std::uint8_t> cases[] = {
      {}, {'R', 'I', 'F', 'F'}, floatFormat, noData, bits24, std::vector<std::uint8_t>(64, 0),
  };
  for (const auto& bytes : cases) EXPECT_FALSE(decodeWav(bytes, 44100).has_value()) << bytes.size() << " bytes";
}

TEST(DecodeWav, PlaysWhatATruncatedDataChunkHolds) {
  auto bytes = wav(1, 100, 16, {7, 8, 9});
  bytes.resize(bytes.size() - 3);  // the last sample and a half are gone
  EXPECT_EQ(decodeWav(bytes, 100), (EffectClip{7}));
}

// --- the mixer's switching rules ---------------------------------------------

std::vector<std::int16_t> render(EffectMixer& mixer, std::size_t n) {
  std::vector<std::int16_t> out(n, 999);  // stale data must be overwritten
  mixer.render(out);
  return out;
}

TEST(EffectMixer, NewClipReplacesThePlayingOneAtTheNextBuffer) {
  const EffectClip a{1, 2, 3, 4, 5, 6}, b{7, 8, 9};
  EffectMixer mixer;
  EXPECT_EQ(render(mixer, 3), (std::vector<std::int16_t>{0, 0, 0}));  // nothing started: silence
  mixer.start(&a);
  EXPECT_EQ(render(mixer, 4), (std::vector<std::int16_t>{1, 2, 3, 4}));
  mixer.start(&b);  // cuts a short
  EXPECT_EQ(render(mixer, 5), (std::vector<std::int16_t>{7, 8, 9, 0, 0}));
  EXPECT_EQ(render(mixer, 2), (std::vector<std::int16_t>{0, 0}));  // played out, not looped
  mixer.start(&b);  // the same clip again starts over
  EXPECT_EQ(render(mixer, 2), (std::vector<std::int16_t>{7, 8}));
  mixer.start(nullptr);  // silence replaces it too
  EXPECT_EQ(render(mixer, 2), (std::vector<std::int16_t>{0, 0}));
}

TEST(EffectMixer, OfSeveralStartsBetweenBuffersTheLastWins) {
  const EffectClip a{1, 1}, b{2, 2}, c{3, 3};
  EffectMixer mixer;
  mixer.start(&a);
  mixer.start(&b);
  mixer.start(&c);
  EXPECT_EQ(render(mixer, 3), (std::vector<std::int16_t>{3, 3, 0}));
}

// --- the player ----------------------------------------------------------------

// Records what the player asked; renders only when the test says so, like
// a device thread that has not run yet.
class FakeOutput : public EffectOutput {
 public:
  struct Log {
    int starts = 0;
    int switches = 0;
    int rate = 0;
    EffectMixer* mixer = nullptr;
  };
  FakeOutput(Log& log, bool device) : log_(log), device_(device) {}
  bool start(int rate, EffectMixer& mixer) override {
    ++log_.starts;
    log_.rate = rate;
    if (device_) log_.mixer = &mixer;
    return device_;
  }
  void switched() override { ++log_.switches; }

 private:
  Log& log_;
  bool device_;
};

class EffectPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder of its own, so that runs in parallel never share the clips.
    folder_ = program_.root;
    fs::create_directories(folder_ / "music");
    write("music/key.wav", wav(1, EffectPlayer::kRate, 16, {11, 12, 13}));
    write("music/miss.wav", wav(1, EffectPlayer::kRate, 16, {21, 22}));
    write("broken.wav", {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'});
  }

  void write(const char* name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(folder_ / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                           static_cast<std::streamsize>(bytes.size()));
  }

  test::FakeProgramFolder program_;
  fs::path folder_;
};

TEST_F(EffectPlayerTest, PlayHandsTheClipToTheStreamWithoutWaitingForIt) {
  FakeOutput::Log log;
  EffectPlayer player(folder_, std::make_unique<FakeOutput>(log, true));
  player.preload("music/key.wav");
  player.preload("music/miss.wav");
  EXPECT_EQ(log.starts, 1);
  EXPECT_EQ(log.rate, EffectPlayer::kRate);
  ASSERT_NE(log.mixer, nullptr);

  // Plays return while the device has rendered nothing; the last one is
  // what the next buffer carries, and each play told the output.
  player.play("music/key.wav");
  player.play("music/miss.wav");
  EXPECT_EQ(log.switches, 2);
  EXPECT_EQ(render(*log.mixer, 4), (std::vector<std::int16_t>{21, 22, 0, 0}));

  player.play("music/key.wav");
  EXPECT_EQ(render(*log.mixer, 2), (std::vector<std::int16_t>{11, 12}));
  player.play("music/miss.wav");  // replaces key.wav before its last sample
  EXPECT_EQ(render(*log.mixer, 3), (std::vector<std::int16_t>{21, 22, 0}));
  EXPECT_EQ(log.starts, 1);  // one stream for the whole run
}

TEST_F(EffectPlayerTest, MissingOrBrokenFilesAreSilentAndSilenceThePlayingSound) {
  FakeOutput::Log log;
  EffectPlayer player(folder_, std::make_unique<FakeOutput>(log, true));
  ASSERT_EQ(::mkfifo((folder_ / "fifo.wav").c_str(), 0644), 0);  // no writer: reading it must not wait
  for (const char* name : {"no/such.wav", "broken.wav", "fifo.wav"}) {
    player.play("music/key.wav");
    player.play(name);
    EXPECT_EQ(render(*log.mixer, 2), (std::vector<std::int16_t>{0, 0})) << name;
  }
}

TEST_F(EffectPlayerTest, WithoutADeviceEverySoundIsSilentAndTheDeviceIsAskedOnce) {
  for (bool withOutput : {true, false}) {
    FakeOutput::Log log;
    EffectPlayer player(folder_, withOutput ? std::make_unique<FakeOutput>(log, false) : nullptr);
    EXPECT_FALSE(player.audible());
    player.preload("music/key.wav");
    player.play("music/key.wav");
    player.play("no/such.wav");
    EXPECT_EQ(log.starts, withOutput ? 1 : 0);
    EXPECT_EQ(log.switches, 0);
  }
}

}  // namespace
}  // namespace lk
