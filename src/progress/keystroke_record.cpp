#include "progress/keystroke_record.h"

#include <array>
#include <cstdio>
#include <limits>

#include "engine/romaji_to_kana.h"
#include "engine/units.h"

namespace lk {

namespace {

std::uint8_t clampPos(std::size_t p) { return static_cast<std::uint8_t>(p < 255 ? p : 255); }

}  // namespace

KeystrokeRecorder::KeystrokeRecorder(RunRecord& run, Clock* clock) : run_(run), clock_(clock) { reset(); }

void KeystrokeRecorder::reset() {
  run_.keys.clear();
  run_.units.clear();
  unitIndex_.clear();
  textUnits_.clear();
  flexText_ = -1;
  started_ = false;
  origin_ = 0;
  questionFresh_ = false;
  shownMs_ = 0;
}

std::uint16_t KeystrokeRecorder::internUnit(std::u16string_view unit) {
  auto it = unitIndex_.find(std::u16string(unit));
  if (it != unitIndex_.end()) return it->second;
  // A run never holds this many different units; the last slot takes any overflow.
  if (run_.units.size() >= std::numeric_limits<std::uint16_t>::max()) {
    return static_cast<std::uint16_t>(run_.units.size() - 1);
  }
  const auto index = static_cast<std::uint16_t>(run_.units.size());
  run_.units.emplace_back(unit);
  unitIndex_.emplace(std::u16string(unit), index);
  return index;
}

int KeystrokeRecorder::addText(std::u16string_view canonical, std::u16string_view expectedKeys,
                               const KeySettings& settings, const RewriteOptions& options) {
  std::vector<KeyPlace> perKey;
  perKey.reserve(expectedKeys.size());
  const std::vector<KeyUnit> units = rewriteByUnit(canonical, settings, options);
  for (const KeyUnit& u : units) {
    const std::uint16_t index = internUnit(u.unit);
    for (std::size_t p = 0; p < u.keys.size(); ++p) perKey.push_back(KeyPlace{index, clampPos(p)});
  }
  // The split must account for exactly the keys the drill asks; otherwise
  // every key of the text is filed under the whole reading.
  std::u16string joined;
  for (const KeyUnit& u : units) joined += u.keys;
  if (joined != expectedKeys) {
    const std::uint16_t whole = internUnit(romajiToKana(canonical));
    perKey.clear();
    for (std::size_t p = 0; p < expectedKeys.size(); ++p) perKey.push_back(KeyPlace{whole, clampPos(p)});
  }
  textUnits_.push_back(std::move(perKey));
  return static_cast<int>(textUnits_.size() - 1);
}

void KeystrokeRecorder::start() {
  started_ = true;
  origin_ = clock_ ? clock_->monotonicMs() : 0;
  if (clock_) run_.started = clock_->now();
  questionShown();
}

void KeystrokeRecorder::questionShown() {
  questionFresh_ = true;
  shownMs_ = elapsedMs();
}

void KeystrokeRecorder::push(std::uint16_t unit, std::uint8_t pos, char16_t expected, char16_t typed, bool hit) {
  const std::int32_t ms = elapsedMs();
  const bool afterPause = questionFresh_ && ms - shownMs_ >= kPauseMs;
  questionFresh_ = false;
  run_.keys.push_back(Keystroke{ms, expected, typed, unit, pos, hit, afterPause});
}

std::int32_t KeystrokeRecorder::elapsedMs() {
  if (!started_) start();
  const std::int64_t d = (clock_ ? clock_->monotonicMs() : 0) - origin_;
  if (d < 0) return 0;
  return d > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                      : static_cast<std::int32_t>(d);
}

void KeystrokeRecorder::key(int text, std::size_t keyIndex, char16_t expected, char16_t typed, bool hit) {
  KeyPlace place;
  if (text >= 0 && static_cast<std::size_t>(text) < textUnits_.size() &&
      keyIndex < textUnits_[static_cast<std::size_t>(text)].size()) {
    place = textUnits_[static_cast<std::size_t>(text)][keyIndex];
  } else {
    place = KeyPlace{internUnit(std::u16string_view(&expected, 1)), 0};
  }
  push(place.unit, place.pos, expected, typed, hit);
}

void KeystrokeRecorder::keyOfUnit(int text, std::size_t unitIndex, std::u16string_view unit, char16_t expected,
                                  char16_t typed, bool hit) {
  if (text != flexText_ || unitIndex != flexUnit_) {
    flexText_ = text;
    flexUnit_ = unitIndex;
    flexPos_ = 0;
  }
  push(internUnit(unit), clampPos(flexPos_), hit ? typed : expected, typed, hit);
  if (hit) ++flexPos_;
}

void KeystrokeRecorder::key(std::u16string_view unit, char16_t expected, char16_t typed, bool hit) {
  push(internUnit(unit), 0, expected, typed, hit);
}

}  // namespace lk
