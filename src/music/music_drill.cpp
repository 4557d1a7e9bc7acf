#include "music/music_drill.h"

#include <algorithm>

#include "engine/input_text.h"

namespace lk {

MusicDrill::MusicDrill(ProblemSet& set, const KeySettings& keys, DrillResult& result, MidiOutput* midi,
                       MessageBoxes* messages, bool flexible, KeystrokeRecorder* recorder)
    : set_(set), result_(result), midi_(midi), recorder_(recorder), flexible_(flexible) {
  if (recorder_) recorder_->reset();
  if (!midi_open(midi_, messages)) return;
  open_ = true;

  // A set filled by a failed or partial file read may have fewer entries
  // than its count says; only lines that have romaji can be played, and the
  // strip has no room beyond 100.
  count_ = std::clamp(set_.count, 0, std::min(kMarkCount, static_cast<int>(set_.romaji.size())));

  queues_.reserve(static_cast<std::size_t>(count_));
  for (int i = 0; i < count_; ++i) {
    const auto idx = static_cast<std::size_t>(i);
    if (idx < set_.reading.size()) set_.reading[idx] = normalizeReadingSpaces(set_.reading[idx]);
    PreparedLine line = prepare_line(set_.romaji[idx], at(set_.melody, i), keys);
    if (recorder_) recorder_->addText(set_.romaji[idx], line.romaji, keys, RewriteOptions{.replaceEveryX = true});
    if (flexible_) {
      // The prepared tokens line up with the units' keys; each unit keeps
      // the first note among its own tokens. Past the end of the melody the
      // empty slot sounds middle C, as it does for the queue.
      FlexibleLine f{FlexibleMatcher(set_.romaji[idx], keys, RewriteOptions{.replaceEveryX = true}), {}};
      std::size_t token = 0;
      for (const auto& unit : f.matcher.units()) {
        std::optional<int> note;
        for (std::size_t k = 0; k < unit.keys.size() && !note; ++k) {
          const std::size_t pos = token + k;
          const std::u16string_view t = pos < line.tokens.size() ? std::u16string_view(line.tokens[pos]) : u"";
          if (!isHold(t)) note = noteValue(t);
        }
        token += unit.keys.size();
        f.notes.push_back(note);
      }
      flexibleLines_.push_back(std::move(f));
    }
    // A line with a character no key types (a NUL or control byte from a
    // damaged file) could never be finished: it counts as typed when it
    // comes up. An empty line stays a line without keys, as always.
    typeable_.push_back(isTypeableRomaji(line.romaji));
    set_.romaji[idx] = std::move(line.romaji);
    queues_.emplace_back(std::move(line.tokens));
  }
  curLine_ = 0;
  skipUntypeableLines();
  soundingNote_ = 0;
  result_.missCount = 0;
  loaded_ = true;
  // The first line is on screen from the load: its first key is timed from here.
  if (recorder_) recorder_->start();
}

void MusicDrill::skipUntypeableLines() {
  while (curLine_ < count_ && !typeable_[static_cast<std::size_t>(curLine_)]) ++curLine_;
  if (flexible_) {
    guide_ = curLine_ < count_ ? flexibleLines_[static_cast<std::size_t>(curLine_)].matcher.guide() : std::u16string();
  }
}

MusicDrill::~MusicDrill() { close(); }

void MusicDrill::close() {
  if (!open_) return;
  open_ = false;
  midi_close(midi_);
}

std::u16string_view MusicDrill::at(const std::vector<std::u16string>& v, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < v.size() ? std::u16string_view(v[static_cast<std::size_t>(i)])
                                                           : std::u16string_view();
}

MusicDrill::KeyResult MusicDrill::type(char16_t k) {
  KeyResult r;
  if (!loaded_ || cleared()) return r;  // after the clear nothing counts

  if (flexible_) return typeFlexible(k);
  auto& romaji = set_.romaji[static_cast<std::size_t>(curLine_)];
  // A line with nothing to type cannot be played on: the key has no effect.
  if (romaji.empty()) return r;

  if (recorder_) {
    recorder_->key(curLine_, recorder_->textLength(curLine_) - romaji.size(), romaji.front(), k, k == romaji.front());
  }
  if (k != romaji.front()) {
    ++result_.missCount;
    r.verdict = Verdict::Miss;
    return r;
  }

  r.verdict = Verdict::Hit;
  romaji.erase(0, 1);
  if (auto value = queues_[static_cast<std::size_t>(curLine_)].consume()) {
    // A value without a MIDI key sends nothing; the keystroke still counts.
    r.noteStruck = strike_note(midi_, soundingNote_, *value);
  }

  if (romaji.empty()) finishLine(r);
  return r;
}

void MusicDrill::finishLine(KeyResult& r) {
  r.lineDone = true;
  ++curLine_;
  skipUntypeableLines();
  r.cleared = curLine_ >= count_;
  if (!r.cleared && recorder_) recorder_->questionShown();
}

MusicDrill::KeyResult MusicDrill::typeFlexible(char16_t k) {
  KeyResult r;
  FlexibleLine& line = flexibleLines_[static_cast<std::size_t>(curLine_)];
  if (line.matcher.finished()) return r;  // nothing to type on this line
  const std::size_t unit = line.matcher.currentUnit();
  const std::u16string guide = recorder_ ? line.matcher.guide() : std::u16string();
  const bool hit = line.matcher.type(k);
  if (recorder_ && unit < line.matcher.units().size()) {
    recorder_->keyOfUnit(curLine_, unit, line.matcher.units()[unit].unit, guide.empty() ? k : guide.front(), k, hit);
  }
  if (!hit) {
    ++result_.missCount;
    r.verdict = Verdict::Miss;
    return r;
  }
  r.verdict = Verdict::Hit;
  const auto place = line.matcher.lastKey();
  if (place.first && place.unit < line.notes.size() && line.notes[place.unit])
    r.noteStruck = strike_note(midi_, soundingNote_, *line.notes[place.unit]);
  if (line.matcher.finished()) {
    finishLine(r);  // also moves the guide to the next line
  } else {
    guide_ = line.matcher.guide();
  }
  return r;
}

std::u16string_view MusicDrill::title() const { return loaded_ ? std::u16string_view(set_.title) : std::u16string_view(); }

std::u16string_view MusicDrill::lineText() const { return loaded_ && !cleared() ? at(set_.text, curLine_) : std::u16string_view(); }

std::u16string_view MusicDrill::reading() const {
  if (!loaded_) return {};
  if (cleared()) return kMusicClearText;
  return at(set_.reading, curLine_);
}

std::u16string_view MusicDrill::remaining() const {
  if (!loaded_ || cleared()) return {};
  return flexible_ ? std::u16string_view(guide_) : at(set_.romaji, curLine_);
}

}  // namespace lk
