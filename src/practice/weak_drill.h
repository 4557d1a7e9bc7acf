#pragma once

// Drills built from the weakness model: 苦手克服, a word drill of the
// problems that hold the learner's weakest units, and 苦手, the
// one-character drill on the characters the learner misses or is slow at.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/key_settings.h"
#include "records/problem_set.h"
#include "progress/weakness.h"
#include "shell/services.h"

namespace lk {

inline constexpr std::u16string_view kWeakDrillTitle = u"苦手克服";
inline constexpr std::u16string_view kWeakCharTitle = u"一文字タイピング(苦手)";
inline constexpr std::u16string_view kNoHistoryYet = u"記録がまだないため、全体から出題します。";

// Score of one problem: 1, plus for every unit it types how far that
// unit's score lies above average. A problem of average or strong units
// scores 1; each weak unit (each time it comes) adds its excess.
double problemWeakness(std::u16string_view canonical, const WeaknessModel& model, const KeySettings& settings);

// `n` distinct indices of `weights` (at most its size), each drawn from the
// ones left with probability proportional to its weight. Weights at or
// below zero are never drawn while a positive one is left.
std::vector<int> drawWeighted(std::span<const double> weights, int n, Random& random);

// The word problems the 苦手克服 drill chooses from: the three built-in
// lists, then the problems of `file` (the file last read on the training
// menu; may be null).
ProblemSet weakDrillPool(const ProblemSet* file);

// Fills `set` with at most `settings.saidai` problems of `pool` (random
// reseeded first), titled 苦手克服. Each problem weighs the square of its
// weakness, so that the few problems of a weak unit stand out among the
// many ordinary ones. With an empty model every problem weighs the same.
void fillWeakDrill(ProblemSet& set, const ProblemSet& pool, const WeaknessModel& model, const KeySettings& settings,
                   Random& random);

// Copies of each character of the advanced list in the 苦手 list: an
// average character comes kWeakCharCopies times.
inline constexpr int kWeakCharCopies = 4;
inline constexpr int kWeakCharMaxCopies = 20;

// The one-character list 苦手: every character of the advanced list, each
// repeated by its score in `keyModel` (a model by key over one-character
// runs), so the drill's even draw favours the weak ones. Like the other
// one-character lists it fills romaji, count and title only.
void fillWeakCharList(ProblemSet& set, const WeaknessModel& keyModel);

}  // namespace lk
