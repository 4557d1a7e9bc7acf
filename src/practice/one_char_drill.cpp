#include "practice/one_char_drill.h"

#include <algorithm>
#include <cmath>

namespace lk {

namespace {

constexpr std::u16string_view kLetters = u"abcdefghijklmnopqrstuvwxyz";
// Letters, the digits 1-9 then 0, then fifteen symbols.
constexpr std::u16string_view kAdvanced = u"abcdefghijklmnopqrstuvwxyz1234567890!?/()\\%.=+:;,-@";

static_assert(kLetters.size() == 26);
static_assert(kAdvanced.size() == 51);

}  // namespace

std::u16string_view oneCharCharacters(OneCharList list) {
  return list == OneCharList::Beginner ? kLetters : kAdvanced;
}

std::u16string_view oneCharTitle(OneCharList list) {
  return list == OneCharList::Beginner ? u"一文字タイピング(初級)" : u"一文字タイピング(上級)";
}

void fillOneCharList(ProblemSet& set, OneCharList list) {
  const std::u16string_view chars = oneCharCharacters(list);
  set.romaji.clear();
  set.romaji.reserve(chars.size());
  for (char16_t c : chars) set.romaji.emplace_back(1, c);
  set.count = static_cast<int>(chars.size());
  set.title = std::u16string(oneCharTitle(list));
}

OneCharDrill::OneCharDrill(const ProblemSet& set, const KeySettings& keys, DrillResult& result, Random& random,
                           KeystrokeRecorder* recorder)
    : set_(set), result_(result), random_(random), recorder_(recorder), soundOn_(keys.soundOn()) {
  if (recorder_) recorder_->reset();
  result_.missCount = 0;
  result_.charCount = 0;
  result_.elapsedSeconds = kSeconds;
  random_.reseed();
}

bool OneCharDrill::countdownTick() {
  if (phase_ != Phase::Countdown) return false;
  --countdown_;
  if (countdown_ > 0) return false;
  phase_ = Phase::Running;
  if (recorder_) recorder_->start();
  draw();
  return true;
}

std::u16string OneCharDrill::countdownText() const {
  if (countdown_ <= 1) return u"START!";
  return std::u16string(1, static_cast<char16_t>(u'0' + (countdown_ - 1)));
}

void OneCharDrill::draw() {
  // Only entries that exist can be asked, whatever `count` claims.
  const int n = std::clamp(set_.count, 0, static_cast<int>(set_.romaji.size()));
  if (n == 0) {
    current_ = -1;
    return;
  }
  const double f = std::floor(random_.next() * n);
  current_ = !(f >= 0) ? 0 : (f >= n ? n - 1 : static_cast<int>(f));
}

bool OneCharDrill::clockTick() {
  if (phase_ != Phase::Running) return false;
  --result_.elapsedSeconds;
  if (result_.elapsedSeconds > 0) return false;
  phase_ = Phase::Ended;
  return true;
}

std::u16string OneCharDrill::question() const {
  if (phase_ == Phase::Ended) return u"終";
  if (phase_ != Phase::Running || current_ < 0) return {};
  return set_.romaji[static_cast<std::size_t>(current_)];
}

OneCharDrill::KeyResult OneCharDrill::type(char16_t k) {
  KeyResult out;
  if (phase_ != Phase::Running || current_ < 0) return out;
  const std::u16string& expected = set_.romaji[static_cast<std::size_t>(current_)];
  if (expected.empty()) return out;
  // The character is its own unit.
  if (recorder_) recorder_->key(expected, expected.front(), k, k == expected.front());
  if (k == expected.front()) {
    out.verdict = Verdict::Hit;
    if (soundOn_) out.sound = kOneCharKeySound;
    draw();
    if (recorder_) recorder_->questionShown();
    ++result_.charCount;
  } else {
    out.verdict = Verdict::Miss;
    if (soundOn_) out.sound = kOneCharMissSound;
    ++result_.missCount;
  }
  return out;
}

}  // namespace lk
