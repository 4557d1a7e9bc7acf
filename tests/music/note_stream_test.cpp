// The note path's scheduling: what a key renders and writes, and when.

#include "music/note_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "music/music_drill.h"
#include "music/songs.h"

namespace lk {
namespace {

// One log for synthesizer and stream, so the order between them shows.
struct Log {
  struct Entry {
    enum Kind { Apply, Render, Write } kind;
    ShortMessage message{};             // Apply
    std::size_t frames = 0;             // Render, Write
    NoteSink::At at = NoteSink::At::End;  // Write
    float firstSample = 0;              // Write
  };
  std::vector<Entry> entries;
  std::size_t mark = 0;
  // The entries since the last call.
  std::vector<Entry> fresh() {
    std::vector<Entry> r(entries.begin() + static_cast<std::ptrdiff_t>(mark), entries.end());
    mark = entries.size();
    return r;
  }
};

// Renders the number of Note Ons taken in so far as its "audio", so a write
// shows which notes it carries.
class FakeSynth : public NoteSynth {
 public:
  explicit FakeSynth(Log& log) : log_(log) {}
  void apply(const ShortMessage& m) override {
    log_.entries.push_back({Log::Entry::Apply, m});
    if ((m.status & 0xF0) == 0x90 && m.data2 != 0) ++noteOns_;
  }
  void render(std::span<float> out) override {
    log_.entries.push_back({Log::Entry::Render, {}, out.size() / 2});
    for (float& s : out) s = static_cast<float>(noteOns_);
  }

 private:
  Log& log_;
  int noteOns_ = 0;
};

// A stream whose server never asks for anything: only what the note path
// writes by itself arrives.
class FakeSink : public NoteSink {
 public:
  explicit FakeSink(Log& log) : log_(log) {}
  void write(std::span<const float> audio, At at) override {
    log_.entries.push_back({Log::Entry::Write, {}, audio.size() / 2, at, audio.empty() ? 0.f : audio[0]});
  }

 private:
  Log& log_;
};

// The drill's MIDI output on a NoteStream, as the real output runs it.
class StreamOutput : public MidiOutput {
 public:
  explicit StreamOutput(NoteStream& stream) : stream_(stream) {}
  int deviceCount() override { return 1; }
  void open() override {}
  void send(const ShortMessage& m) override { stream_.send(m); }
  void reset() override {}
  void close() override {}

 private:
  NoteStream& stream_;
};

constexpr std::size_t kQueueFrames = 1440;  // 30 ms at 48 kHz

TEST(NoteStream, EveryStruckNoteIsRenderedAndWrittenBeforeTheDrillTakesTheNextKey) {
  Log log;
  FakeSynth synth(log);
  FakeSink sink(log);
  NoteStream stream(synth, sink, kQueueFrames);
  StreamOutput out(stream);

  ProblemSet set;
  fillWithSong(set, BuiltInSong::M2);
  KeySettings keys;
  DrillResult result;
  MusicDrill drill(set, keys, result, &out, nullptr);
  ASSERT_TRUE(drill.loaded());
  log.fresh();

  int struck = 0, held = 0;
  for (int key = 0; key < 60 && !drill.cleared(); ++key) {
    const MusicDrill::KeyResult r = drill.type(drill.remaining().front());
    const auto entries = log.fresh();
    if (!r.noteStruck) {
      // A hold sends nothing and so writes nothing.
      ++held;
      EXPECT_TRUE(entries.empty()) << "key " << key;
      continue;
    }
    ++struck;
    // The old note ends, the new one starts, then one render of the key's
    // block, written over the queue from the read position.
    ASSERT_EQ(entries.size(), 4u) << "key " << key;
    EXPECT_EQ(entries[0].kind, Log::Entry::Apply);
    EXPECT_EQ(entries[0].message.data2, 0);
    EXPECT_EQ(entries[1].kind, Log::Entry::Apply);
    EXPECT_EQ(entries[1].message.data2, kNoteVelocity);
    EXPECT_EQ(entries[2].kind, Log::Entry::Render);
    EXPECT_EQ(entries[3].kind, Log::Entry::Write);
    EXPECT_EQ(entries[3].at, NoteSink::At::ReadPosition);
    EXPECT_EQ(entries[3].frames, stream.keyFrames());
    // The written audio already carries this key's note.
    EXPECT_EQ(entries[3].firstSample, static_cast<float>(struck)) << "key " << key;
  }
  EXPECT_GT(struck, 10);
  EXPECT_GT(held, 0);
}

TEST(NoteStream, AKeyRewritesTheWholeQueueAndABlockMore) {
  // Whatever was queued before the key must not play after the key's audio.
  for (std::size_t queue : {std::size_t{1}, std::size_t{64}, std::size_t{1440}, std::size_t{1441}}) {
    Log log;
    FakeSynth synth(log);
    FakeSink sink(log);
    NoteStream stream(synth, sink, queue);
    EXPECT_GE(stream.keyFrames(), queue + NoteStream::kBlockFrames) << queue;
    EXPECT_EQ(stream.keyFrames() % NoteStream::kBlockFrames, 0u) << queue;
  }
}

TEST(NoteStream, OtherMessagesOnlyReachTheSynthesizerAndSoundWithTheNextFeed) {
  struct Case {
    const char* what;
    ShortMessage message;
  };
  const Case cases[] = {
      {"note off as velocity 0", {0x90, 60, 0}},
      {"note off", {0x80, 60, 64}},
      {"all sound off", {0xB0, 120, 0}},
      {"program change", {0xC0, 5, 0}},
  };
  for (const Case& c : cases) {
    Log log;
    FakeSynth synth(log);
    FakeSink sink(log);
    NoteStream stream(synth, sink, kQueueFrames);
    stream.send(c.message);
    auto entries = log.fresh();
    ASSERT_EQ(entries.size(), 1u) << c.what;
    EXPECT_EQ(entries[0].kind, Log::Entry::Apply) << c.what;

    stream.feed(100);
    entries = log.fresh();
    ASSERT_EQ(entries.size(), 2u) << c.what;
    EXPECT_EQ(entries[1].kind, Log::Entry::Write);
    EXPECT_EQ(entries[1].at, NoteSink::At::End) << c.what;
  }
}

TEST(NoteStream, FeedsRenderWholeBlocksAtTheEndOfTheQueue) {
  // A part block would leave frames rendered before the next key inside
  // the synthesizer, to come out ahead of that key's note.
  struct Case {
    std::size_t asked, rendered;
  };
  const Case cases[] = {{0, 0}, {1, 64}, {64, 64}, {100, 128}, {576, 576}, {577, 640}, {4000, 4032}};
  for (const Case& c : cases) {
    Log log;
    FakeSynth synth(log);
    FakeSink sink(log);
    NoteStream stream(synth, sink, kQueueFrames);
    stream.feed(c.asked);
    const auto entries = log.fresh();
    if (c.rendered == 0) {
      EXPECT_TRUE(entries.empty());
      continue;
    }
    ASSERT_EQ(entries.size(), 2u) << c.asked;
    EXPECT_EQ(entries[0].frames, c.rendered) << c.asked;
    EXPECT_EQ(entries[1].frames, c.rendered) << c.asked;
    EXPECT_EQ(entries[1].at, NoteSink::At::End);
  }
}

}  // namespace
}  // namespace lk
