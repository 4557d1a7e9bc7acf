#include "fakes/fake_midi.h"

#include <algorithm>

namespace lk::test {

int FakeMidi::deviceCount() {
  ++deviceQueries;
  return devices;
}

void FakeMidi::open() {
  open_ = true;
  events.push_back({Kind::Open, {}});
}

void FakeMidi::send(const ShortMessage& message) { events.push_back({Kind::Send, message}); }

void FakeMidi::reset() { events.push_back({Kind::Reset, {}}); }

void FakeMidi::close() {
  open_ = false;
  events.push_back({Kind::Close, {}});
}

std::vector<ShortMessage> FakeMidi::sent() const {
  std::vector<ShortMessage> out;
  for (const auto& e : events) {
    if (e.kind == Kind::Send) out.push_back(e.message);
  }
  return out;
}

std::vector<std::uint8_t> FakeMidi::bytes() const {
  std::vector<std::uint8_t> out;
  for (const auto& m : sent()) {
    out.push_back(m.status);
    out.push_back(m.data1);
    out.push_back(m.data2);
  }
  return out;
}

int FakeMidi::count(Kind kind) const {
  return static_cast<int>(std::count_if(events.begin(), events.end(), [kind](const Event& e) { return e.kind == kind; }));
}

}  // namespace lk::test
