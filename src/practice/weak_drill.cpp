#include "practice/weak_drill.h"

#include <algorithm>
#include <cmath>

#include "engine/units.h"
#include "practice/one_char_drill.h"
#include "practice/word_lists.h"

namespace lk {

double problemWeakness(std::u16string_view canonical, const WeaknessModel& model, const KeySettings& settings) {
  double score = 1.0;
  for (const KeyUnit& u : rewriteByUnit(canonical, settings)) score += std::max(0.0, model.score(u.unit) - 1.0);
  return score;
}

std::vector<int> drawWeighted(std::span<const double> weights, int n, Random& random) {
  std::vector<double> left(weights.begin(), weights.end());
  for (double& w : left) w = w > 0 && std::isfinite(w) ? w : 0.0;
  const int total = static_cast<int>(left.size());
  n = std::clamp(n, 0, total);
  std::vector<int> drawn;
  drawn.reserve(static_cast<std::size_t>(n));
  while (static_cast<int>(drawn.size()) < n) {
    double sum = 0;
    for (double w : left) sum += w;
    int pick = -1;
    if (sum > 0) {
      double r = random.next() * sum;
      for (int i = 0; i < total; ++i) {
        if (left[static_cast<std::size_t>(i)] <= 0) continue;
        pick = i;  // the last positive one takes any rounding left over
        r -= left[static_cast<std::size_t>(i)];
        if (r < 0) break;
      }
    } else {
      // Only weightless entries are left: the first of them not yet drawn.
      for (int i = 0; i < total && pick < 0; ++i) {
        if (std::find(drawn.begin(), drawn.end(), i) == drawn.end()) pick = i;
      }
    }
    drawn.push_back(pick);
    left[static_cast<std::size_t>(pick)] = 0;
  }
  return drawn;
}

ProblemSet weakDrillPool(const ProblemSet* file) {
  ProblemSet pool;
  for (int level = 1; level <= kBuiltInLevelCount; ++level) {
    for (const WordEntry& e : builtInList(level)) {
      pool.text.emplace_back(e.text);
      pool.romaji.emplace_back(e.romaji);
    }
  }
  if (file) {
    const std::size_t n = std::min({static_cast<std::size_t>(std::max(file->count, 0)), file->text.size(),
                                    file->romaji.size()});
    for (std::size_t i = 0; i < n; ++i) {
      pool.text.push_back(file->text[i]);
      pool.romaji.push_back(file->romaji[i]);
    }
  }
  pool.count = static_cast<int>(pool.text.size());
  return pool;
}

void fillWeakDrill(ProblemSet& set, const ProblemSet& pool, const WeaknessModel& model, const KeySettings& settings,
                   Random& random) {
  const std::size_t n = std::min({static_cast<std::size_t>(std::max(pool.count, 0)), pool.text.size(),
                                  pool.romaji.size()});
  std::vector<double> weights;
  weights.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double score = problemWeakness(pool.romaji[i], model, settings);
    weights.push_back(score * score);
  }
  random.reseed();
  const std::vector<int> picked = drawWeighted(weights, settings.saidai, random);

  set.count = static_cast<int>(picked.size());
  set.title = std::u16string(kWeakDrillTitle);
  set.text.clear();
  set.romaji.clear();
  for (int i : picked) {
    set.text.push_back(pool.text[static_cast<std::size_t>(i)]);
    set.romaji.push_back(pool.romaji[static_cast<std::size_t>(i)]);
  }
}

void fillWeakCharList(ProblemSet& set, const WeaknessModel& keyModel) {
  set.romaji.clear();
  for (char16_t c : oneCharCharacters(OneCharList::Advanced)) {
    const std::u16string ch(1, c);
    const long copies = std::lround(keyModel.score(ch) * kWeakCharCopies);
    const long clamped = std::clamp<long>(copies, 1, kWeakCharMaxCopies);
    for (long k = 0; k < clamped; ++k) set.romaji.push_back(ch);
  }
  set.count = static_cast<int>(set.romaji.size());
  set.title = std::u16string(kWeakCharTitle);
}

}  // namespace lk
