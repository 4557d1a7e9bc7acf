#include "editors/note_player.h"

#include <gtest/gtest.h>

#include "fakes/fake_midi.h"

namespace lk {
namespace {

using test::FakeMidi;
using Kind = FakeMidi::Kind;

FakeMidi::Event on(int key) { return {Kind::Send, {0x90, static_cast<std::uint8_t>(key), 0x7F}}; }
FakeMidi::Event off(int key) { return {Kind::Send, {0x90, static_cast<std::uint8_t>(key), 0}}; }

TEST(NotePlayerTest, EachNoteEndsTheOneBeforeAndCloseSilencesTheOutput) {
  FakeMidi midi;
  {
    NotePlayer player(&midi);
    player.open();
    player.start(2);
    player.start(2);    // the same key struck again
    player.start(100);  // no MIDI key: only ends the sounding note
    EXPECT_FALSE(player.sounding());
    player.start(-12);
    player.stop();
    player.stop();  // nothing sounds: nothing sent
    player.start(23);
    player.close();
    player.start(0);  // closed: nothing
  }
  const std::vector<FakeMidi::Event> expected{
      {Kind::Open, {}}, on(62), off(62), on(62), off(62), on(48), off(48), on(83),
      {Kind::Reset, {}}, {Kind::Close, {}}};
  EXPECT_EQ(midi.events, expected);
}

TEST(NotePlayerTest, WithoutAnOutputEverythingIsSilent) {
  FakeMidi none;
  none.devices = 0;
  for (MidiOutput* midi : {static_cast<MidiOutput*>(&none), static_cast<MidiOutput*>(nullptr)}) {
    NotePlayer player(midi);
    player.open();
    EXPECT_FALSE(player.isOpen());
    player.start(0);
    player.stop();
    player.close();
  }
  EXPECT_TRUE(none.events.empty());
}

TEST(NotePlayerTest, ClosedOnDestructionOnlyWhenItOpened) {
  FakeMidi midi;
  { NotePlayer player(&midi); }
  EXPECT_TRUE(midi.events.empty());
  { NotePlayer player(&midi); player.open(); }
  EXPECT_EQ(midi.count(Kind::Close), 1);
}

}  // namespace
}  // namespace lk
