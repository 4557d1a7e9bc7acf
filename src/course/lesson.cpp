#include "course/lesson.h"

#include <algorithm>
#include <unordered_set>

#include "engine/kana_to_romaji.h"
#include "engine/key_settings.h"
#include "engine/rewrite.h"

namespace lk {

namespace {

std::size_t pick(Random& random, std::size_t n) {
  const auto i = static_cast<std::size_t>(random.next() * static_cast<double>(n));
  return std::min(i, n - 1);
}

int keyCount(std::u16string_view reading) {
  return static_cast<int>(rewriteRomaji(kanaToRomaji(reading), KeySettings{}).size());
}

// 2 to 4 included units, the focus among them, the rest drawn with the focus
// weighted as heavily as all the others together.
std::u16string pseudoWord(const std::vector<std::u16string>& included, const std::u16string& focus, Random& random) {
  const std::size_t len = 2 + pick(random, 3);
  const std::size_t at = pick(random, len);
  std::u16string out;
  for (std::size_t i = 0; i < len; ++i) {
    if (i == at || random.next() < 0.5) {
      out += focus;
    } else {
      out += included[pick(random, included.size())];
    }
  }
  return out;
}

// Readings that start with ん or っ, end with っ, or hold ーー cannot be typed
// as a word; a pseudo-word that does is drawn again.
bool pseudoTypeable(const std::u16string& r) {
  if (r.empty() || r[0] == u'ん' || r[0] == u'っ' || r[0] == u'ー' || r.back() == u'っ') return false;
  return r.find(u"っっ") == std::u16string::npos && r.find(u"っん") == std::u16string::npos &&
         r.find(u"っー") == std::u16string::npos;
}

}  // namespace

double SeededRandom::next() {
  // splitmix64: the same seed gives the same lesson on every machine.
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<double>(z >> 11) * 0x1.0p-53;
}

CourseWords prepareCourseWords(std::vector<CourseWord> words) {
  CourseWords cw;
  cw.words = std::move(words);
  cw.units.reserve(cw.words.size());
  for (const CourseWord& w : cw.words) cw.units.push_back(readingUnits(w.reading));
  cw.order = introductionOrder(cw.words);
  return cw;
}

std::vector<LessonWord> drawLesson(const CourseWords& words, const CourseState& state, Random& random) {
  std::vector<LessonWord> out;
  if (!state.focus || state.units.empty()) return out;
  std::unordered_set<std::u16string> included;
  std::vector<std::u16string> includedList;
  for (std::size_t i = 0; i < state.includedCount; ++i) {
    included.insert(state.units[i].unit);
    includedList.push_back(state.units[i].unit);
  }
  const std::u16string& focus = state.units[*state.focus].unit;

  std::vector<std::size_t> withFocus, without;
  for (std::size_t i = 0; i < words.words.size(); ++i) {
    const auto& us = words.units[i];
    if (us.empty() || !std::all_of(us.begin(), us.end(), [&](const auto& u) { return included.count(u) > 0; })) continue;
    (std::find(us.begin(), us.end(), focus) != us.end() ? withFocus : without).push_back(i);
  }
  const bool fill = withFocus.size() + without.size() < kLessonMinRealWords;

  std::unordered_set<std::u16string> used;
  int keys = 0, focusWords = 0;
  int guard = 0;
  while (keys < kLessonKeys && guard++ < 10000) {
    const bool wantFocus = static_cast<double>(focusWords) < kLessonFocusShare * static_cast<double>(out.size() + 1);
    std::vector<std::size_t>* pool = nullptr;
    if (wantFocus && !withFocus.empty()) {
      pool = &withFocus;
    } else if (!wantFocus || !fill) {
      pool = !without.empty() ? &without : !withFocus.empty() ? &withFocus : nullptr;
    }
    // Pseudo-words only while real words are too few; half of the words then.
    const bool pseudo = fill && (!pool || random.next() < 0.5);
    if (!pool && !pseudo) break;  // every qualifying word is in the lesson
    LessonWord w;
    if (pseudo) {
      w.reading = pseudoWord(includedList, focus, random);
      if (!pseudoTypeable(w.reading) || used.count(w.reading)) continue;
      w.text = w.reading;
      w.pseudo = true;
    } else {
      const std::size_t at = pick(random, pool->size());
      const std::size_t idx = (*pool)[at];
      pool->erase(pool->begin() + static_cast<std::ptrdiff_t>(at));  // no word twice
      if (used.count(words.words[idx].reading)) continue;
      w.text = words.words[idx].text;
      w.reading = words.words[idx].reading;
    }
    used.insert(w.reading);
    if (w.reading.find(focus) != std::u16string::npos) ++focusWords;
    keys += keyCount(w.reading);
    out.push_back(std::move(w));
  }
  return out;
}

ProblemSet lessonProblemSet(const std::vector<LessonWord>& lesson) {
  ProblemSet set;
  set.title = u"コース";
  for (const LessonWord& w : lesson) {
    set.text.push_back(w.pseudo ? w.reading : w.text + u"（" + w.reading + u"）");
    set.romaji.push_back(kanaToRomaji(w.reading));
  }
  set.count = static_cast<int>(set.text.size());
  set.askInOrder = true;
  return set;
}

}  // namespace lk
