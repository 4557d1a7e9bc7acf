#include "practice/word_drill.h"

#include <algorithm>
#include <cmath>

#include "engine/input_text.h"
#include "engine/rewrite.h"

namespace lk {

namespace {

// floor(r * n), kept inside 0..n-1 even if a random source returns 1.0 or
// something outside [0, 1).
int scaledIndex(double r, int n) {
  const double f = std::floor(r * n);
  if (!(f >= 0)) return 0;
  return f >= n ? n - 1 : static_cast<int>(f);
}

}  // namespace

WordDrill::WordDrill(ProblemSet& set, const KeySettings& keys, DrillResult& result, Random& random, bool flexible,
                     KeystrokeRecorder* recorder)
    : set_(set), result_(result), recorder_(recorder), soundOn_(keys.soundOn()), flexible_(flexible) {
  // A set whose arrays are shorter than its count (a partly read file) is
  // treated as holding only the complete pairs, so no index leaves the set.
  const int available = static_cast<int>(std::min(set.text.size(), set.romaji.size()));
  const int n = std::clamp(set.count, 0, available);

  const bool inOrder = set.askInOrder;
  set.askInOrder = false;
  questionCount_ = inOrder ? std::min(n, kMarkerCount)
                           : std::clamp(n < keys.saidai ? n : static_cast<int>(keys.saidai), 0, kMarkerCount);

  order_.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) order_[static_cast<std::size_t>(i)] = i;

  if (!inOrder) random.reseed();
  if (n > 0 && !inOrder) {
    for (int swap = 0; swap < kShuffleSwaps; ++swap) {
      const int a = scaledIndex(random.next(), n);
      const int b = scaledIndex(random.next(), n);
      std::swap(order_[static_cast<std::size_t>(a)], order_[static_cast<std::size_t>(b)]);
    }
  }

  result_.charCount = 0;
  if (recorder_) recorder_->reset();
  for (int i = 0; i < questionCount_; ++i) {
    std::u16string& romaji = set_.romaji[static_cast<std::size_t>(order_[static_cast<std::size_t>(i)])];
    std::u16string rewritten = rewriteRomaji(romaji, keys);
    // A question with a character no key types (a NUL or control byte from a
    // damaged file) is emptied: it then counts as typed when it comes up
    // (skipEmptyQuestions), and none of its keys are counted or recorded.
    if (!isTypeableRomaji(rewritten)) {
      romaji.clear();
      rewritten.clear();
    }
    // The matcher reads the canonical text; the set is rewritten as always.
    if (flexible_) matchers_.emplace_back(romaji, keys);
    // Text i of the record is question i, split by unit from its canonical form.
    if (recorder_) recorder_->addText(romaji, rewritten, keys);
    romaji = std::move(rewritten);
    if (!flexible_) result_.charCount += static_cast<int>(romaji.size());
  }
  if (flexible_ && !matchers_.empty()) guide_ = matchers_.front().guide();

  countdown_ = kCountdownStart;
  current_ = 0;
  result_.missCount = 0;
  result_.elapsedSeconds = 0;
}

bool WordDrill::countdownTick() {
  if (phase_ != Phase::Countdown) return false;
  --countdown_;
  if (countdown_ > 0) return false;
  phase_ = Phase::Running;
  if (recorder_) recorder_->start();
  skipEmptyQuestions();
  if (flexible_) guide_ = matcher() ? matcher()->guide() : std::u16string();
  return true;
}

std::u16string WordDrill::countdownText() const {
  if (countdown_ <= 1) return u"START!";
  return std::u16string(1, static_cast<char16_t>(u'0' + (countdown_ - 1)));
}

bool WordDrill::clockTick() {
  if (phase_ != Phase::Running) return false;
  ++result_.elapsedSeconds;
  return true;
}

const std::u16string* WordDrill::currentRomaji() const {
  if (current_ < 0 || current_ >= questionCount_) return nullptr;
  const int problem = order_[static_cast<std::size_t>(current_)];
  if (problem < 0 || problem >= static_cast<int>(set_.romaji.size())) return nullptr;
  return &set_.romaji[static_cast<std::size_t>(problem)];
}

std::u16string_view WordDrill::questionText() const {
  if (current_ < 0 || current_ >= questionCount_) return {};
  const int problem = order_[static_cast<std::size_t>(current_)];
  if (problem < 0 || problem >= static_cast<int>(set_.text.size())) return {};
  return set_.text[static_cast<std::size_t>(problem)];
}

const FlexibleMatcher* WordDrill::matcher() const {
  if (!flexible_ || current_ < 0 || current_ >= static_cast<int>(matchers_.size())) return nullptr;
  return &matchers_[static_cast<std::size_t>(current_)];
}

std::u16string_view WordDrill::remaining() const {
  if (flexible_) return matcher() ? std::u16string_view(guide_) : std::u16string_view();
  const std::u16string* r = currentRomaji();
  return r ? std::u16string_view(*r) : std::u16string_view();
}

void WordDrill::skipEmptyQuestions() {
  // A question with nothing to type (a reading of one space, or one emptied
  // at load) could never be finished: it counts as typed the moment it comes up.
  while (current_ < questionCount_) {
    const std::u16string* r = currentRomaji();
    if (!r || !r->empty()) return;
    ++current_;
  }
  if (current_ == questionCount_ && questionCount_ > 0) phase_ = Phase::Cleared;
}

WordDrill::KeyResult WordDrill::type(char16_t k) {
  KeyResult out;
  // Keys during the countdown and after the clear are ignored entirely: after
  // the clear there is no question left to hit or to miss.
  if (phase_ != Phase::Running) return out;
  const int problem = current_ < questionCount_ ? order_[static_cast<std::size_t>(current_)] : -1;
  if (problem < 0 || problem >= static_cast<int>(set_.romaji.size())) return out;
  if (flexible_) return typeFlexible(k);
  std::u16string& expected = set_.romaji[static_cast<std::size_t>(problem)];
  // Nothing to compare with: the key is dropped rather than counted.
  if (expected.empty()) return out;

  if (recorder_) {
    recorder_->key(current_, recorder_->textLength(current_) - expected.size(), expected.front(), k,
                   k == expected.front());
  }
  if (k != expected.front()) {
    out.verdict = Verdict::Miss;
    ++result_.missCount;
    if (soundOn_) out.sounds[0] = kWordMissSound;
    return out;
  }

  out.verdict = Verdict::Hit;
  expected.erase(0, 1);
  if (soundOn_) out.sounds[0] = kWordKeySound;
  if (!expected.empty()) return out;
  finishQuestion(out);
  return out;
}

void WordDrill::finishQuestion(KeyResult& out) {
  out.questionDone = true;
  ++current_;
  skipEmptyQuestions();
  if (current_ == questionCount_) {
    out.cleared = true;
    phase_ = Phase::Cleared;
    if (soundOn_) out.sounds[1] = kWordClearSound;
  } else if (recorder_) {
    recorder_->questionShown();
  }
}

WordDrill::KeyResult WordDrill::typeFlexible(char16_t k) {
  KeyResult out;
  FlexibleMatcher& m = matchers_[static_cast<std::size_t>(current_)];
  // A problem with nothing to type drops the key, as in the default mode.
  if (m.finished()) return out;
  const std::size_t unit = m.currentUnit();
  const std::u16string guide = recorder_ ? m.guide() : std::u16string();
  const bool hit = m.type(k);
  if (recorder_ && unit < m.units().size()) {
    recorder_->keyOfUnit(current_, unit, m.units()[unit].unit, guide.empty() ? k : guide.front(), k, hit);
  }
  if (!hit) {
    out.verdict = Verdict::Miss;
    ++result_.missCount;
    if (soundOn_) out.sounds[0] = kWordMissSound;
    return out;
  }
  out.verdict = Verdict::Hit;
  ++result_.charCount;
  if (soundOn_) out.sounds[0] = kWordKeySound;
  if (!m.finished()) {
    guide_ = m.guide();
    return out;
  }
  finishQuestion(out);
  guide_ = current_ < static_cast<int>(matchers_.size()) ? matchers_[static_cast<std::size_t>(current_)].guide()
                                                          : std::u16string();
  return out;
}

}  // namespace lk
