#pragma once

// A recording MIDI output: every call in order, with the bytes of each short
// message, and a configurable number of devices (0 = no MIDI output).

#include <cstdint>
#include <vector>

#include "music/midi_output.h"

namespace lk::test {

class FakeMidi : public MidiOutput {
 public:
  enum class Kind { Open, Send, Reset, Close };
  struct Event {
    Kind kind;
    ShortMessage message;  // Send only
    bool operator==(const Event&) const = default;
  };

  int devices = 1;
  std::vector<Event> events;
  int deviceQueries = 0;

  int deviceCount() override;
  void open() override;
  void send(const ShortMessage& message) override;
  void reset() override;
  void close() override;

  // Only the sent messages, in order.
  std::vector<ShortMessage> sent() const;
  // The sent messages flattened into their bytes (3 per message).
  std::vector<std::uint8_t> bytes() const;
  int count(Kind kind) const;
  bool isOpen() const { return open_; }
  void clear() { events.clear(); }

 private:
  bool open_ = false;
};

}  // namespace lk::test
