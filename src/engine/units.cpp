// The unit split: the canonical text runs through the rewrite and through the
// kana conversion with every character remembering where it came from; the
// canonical characters that either chain mixes into one output character
// form one unit.
#include "engine/units.h"

#include <algorithm>

#include "engine/spellings.h"
#include "engine/tracked_text.h"

namespace lk {

std::vector<KeyUnit> rewriteByUnit(std::u16string_view canonical, const KeySettings& settings,
                                   const RewriteOptions& options) {
  if (canonical.empty()) return {};
  TrackedText keys(canonical);
  rewriteRomajiTracked(keys, settings, options);
  TrackedText kana(canonical);
  romajiToKanaTracked(kana);

  // joined[i]: canonical characters i and i + 1 belong to the same unit.
  const std::size_t n = canonical.size();
  std::vector<char> joined(n, 0);
  auto join = [&](const std::vector<SourceRange>& sources) {
    for (const auto& r : sources)
      for (int i = r.first; i < r.last; ++i) joined[static_cast<std::size_t>(i)] = 1;
  };
  join(keys.sources());
  join(kana.sources());

  std::vector<int> unitOf(n);
  int units = 0;
  for (std::size_t i = 0; i < n; ++i) {
    unitOf[i] = units;
    if (!joined[i]) ++units;
  }

  std::vector<KeyUnit> out(static_cast<std::size_t>(units));
  for (std::size_t i = 0; i < n; ++i) out[static_cast<std::size_t>(unitOf[i])].canonical.push_back(canonical[i]);
  auto distribute = [&](const TrackedText& text, std::u16string KeyUnit::*field) {
    const auto& sources = text.sources();
    for (std::size_t i = 0; i < sources.size(); ++i)
      (out[static_cast<std::size_t>(unitOf[static_cast<std::size_t>(sources[i].first)])].*field)
          .push_back(text.str()[i]);
  };
  distribute(keys, &KeyUnit::keys);
  distribute(kana, &KeyUnit::unit);

  // A unit that no key types (a space between English words) joins the unit
  // before it, or the one after it at the start of the text.
  std::vector<KeyUnit> merged;
  merged.reserve(out.size());
  for (auto& u : out) {
    if (u.keys.empty() && !merged.empty()) {
      merged.back().unit += u.unit;
      merged.back().canonical += u.canonical;
    } else {
      merged.push_back(std::move(u));
    }
  }
  if (merged.size() > 1 && merged.front().keys.empty()) {
    merged[1].unit.insert(0, merged.front().unit);
    merged[1].canonical.insert(0, merged.front().canonical);
    merged.erase(merged.begin());
  }

  // A compound the notation writes as its two kana (ふゅ: "hu" "xyu") is one
  // unit all the same, so that its own spellings ("fyu") can type it.
  std::vector<KeyUnit> joinedUnits;
  joinedUnits.reserve(merged.size());
  for (auto& u : merged) {
    if (!joinedUnits.empty()) {
      KeyUnit& before = joinedUnits.back();
      const std::u16string kana = before.unit + u.unit;
      if (before.unit.size() == 1 && u.unit.size() == 1 && !spellingsOf(kana).empty() &&
          canonicalOf(kana) == before.canonical + u.canonical) {
        before.keys += u.keys;
        before.unit = kana;
        before.canonical += u.canonical;
        continue;
      }
    }
    joinedUnits.push_back(std::move(u));
  }
  return joinedUnits;
}

}  // namespace lk
