#include "music/midi_output.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "fakes/fake_midi.h"
#include "fakes/fake_services.h"

namespace lk {
namespace {

using test::FakeMidi;

TEST(MidiMessage, BytesOfNoteOnAndOff) {
  struct Case {
    int value;
    std::uint8_t key;
  };
  const Case cases[] = {{0, 60}, {5, 65}, {-12, 48}, {23, 83}, {-60, 0}, {67, 127}, {-3, 57}, {14, 74}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(noteOnMessage(c.value), (ShortMessage{0x90, c.key, 0x7F}));
    EXPECT_EQ(noteOffMessage(c.value), (ShortMessage{0x90, c.key, 0x00}));
  }
}

// Over the whole key range the packed values equal the arithmetic of the
// short-message API: 0x007F3C90 + 256 v for on, 0x3C90 + 256 v for off.
TEST(MidiMessage, PackedValueOverEveryKey) {
  for (int v = -60; v <= 67; ++v) {
    SCOPED_TRACE(v);
    ASSERT_TRUE(noteOnMessage(v));
    EXPECT_EQ(noteOnMessage(v)->packed(), static_cast<std::uint32_t>(0x007F3C90 + 256 * v));
    EXPECT_EQ(noteOffMessage(v)->packed(), static_cast<std::uint32_t>(0x00003C90 + 256 * v));
  }
}

TEST(MidiMessage, ValuesWithoutAKeySendNothing) {
  FakeMidi midi;
  for (int v : {-61, 68, 99, -99, 100000, -100000}) {
    EXPECT_FALSE(noteOnMessage(v)) << v;
    EXPECT_FALSE(noteOffMessage(v)) << v;
    note_on(&midi, v);
    note_off(&midi, v);
  }
  EXPECT_TRUE(midi.sent().empty());
}

TEST(MidiOpen, NoDeviceShowsMessageAndFails) {
  FakeMidi midi;
  midi.devices = 0;
  test::FakeMessageBoxes messages;
  EXPECT_FALSE(midi_open(&midi, &messages));
  EXPECT_EQ(messages.shown, std::vector<std::u16string>{u"MIDI音源を利用できません"});
  EXPECT_EQ(midi.count(FakeMidi::Kind::Open), 0);

  // No output wired at all behaves like no device.
  test::FakeMessageBoxes again;
  EXPECT_FALSE(midi_open(nullptr, &again));
  EXPECT_EQ(again.shown.size(), 1u);
}

TEST(MidiOpen, OpensSilentlyAndCloseResetsFirst) {
  FakeMidi midi;
  test::FakeMessageBoxes messages;
  ASSERT_TRUE(midi_open(&midi, &messages));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(midi.isOpen());
  midi_close(&midi);
  const std::vector<FakeMidi::Event> expected = {
      {FakeMidi::Kind::Open, {}}, {FakeMidi::Kind::Reset, {}}, {FakeMidi::Kind::Close, {}}};
  EXPECT_EQ(midi.events, expected);
}

// The keystroke pattern: end the sounding note, then start the new one.
TEST(StrikeNote, EndsPreviousNoteThenStartsNew) {
  FakeMidi midi;
  std::int16_t sounding = 0;

  // First note of a drill: the velocity-0 message for key 60 although nothing sounds.
  ASSERT_TRUE(strike_note(&midi, sounding, 5));
  // The same value again strikes the key anew.
  ASSERT_TRUE(strike_note(&midi, sounding, 5));
  ASSERT_TRUE(strike_note(&midi, sounding, -12));
  EXPECT_EQ(sounding, -12);
  const std::vector<std::uint8_t> expected = {
      0x90, 60, 0x00, 0x90, 65, 0x7F,  // off 0, on 5
      0x90, 65, 0x00, 0x90, 65, 0x7F,  // off 5, on 5
      0x90, 65, 0x00, 0x90, 48, 0x7F,  // off 5, on -12
  };
  EXPECT_EQ(midi.bytes(), expected);
}

TEST(StrikeNote, ValueWithoutKeyLeavesSoundingNoteAlone) {
  FakeMidi midi;
  std::int16_t sounding = 7;
  EXPECT_FALSE(strike_note(&midi, sounding, 90));
  EXPECT_EQ(sounding, 7);
  EXPECT_TRUE(midi.sent().empty());
  // The next real note ends the one that really sounds.
  ASSERT_TRUE(strike_note(&midi, sounding, 0));
  EXPECT_EQ(midi.sent().front(), (ShortMessage{0x90, 67, 0x00}));
}

}  // namespace
}  // namespace lk
