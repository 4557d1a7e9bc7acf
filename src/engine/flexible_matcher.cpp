#include "engine/flexible_matcher.h"

#include <algorithm>

#include "engine/spellings.h"

namespace lk {

namespace {

bool isVowel(char16_t c) { return c == u'a' || c == u'i' || c == u'u' || c == u'e' || c == u'o'; }

// A letter that doubles into っ.
bool doubles(char16_t c) { return c >= u'a' && c <= u'z' && !isVowel(c) && c != u'n'; }

}  // namespace

FlexibleMatcher::FlexibleMatcher(std::u16string_view canonical, const KeySettings& settings,
                                 const RewriteOptions& options)
    : units_(rewriteByUnit(canonical, settings, options)) {
  // A text of spaces alone has nothing to type.
  std::erase_if(units_, [](const KeyUnit& u) { return u.keys.empty(); });
  slots_.resize(units_.size());
  for (std::size_t u = 0; u < units_.size(); ++u) {
    Slot& slot = slots_[u];
    const auto& kana = units_[u].unit;
    if (kana == u"っ") {
      slot.kind = Kind::SmallTsu;
      slot.spellings = {u"xtu", u"ltu", u"xtsu", u"ltsu"};
    } else if (kana == u"ん") {
      slot.kind = Kind::N;
      slot.spellings = {u"nn", u"xn", u"n'"};
    } else if (const auto table = spellingsOf(kana); !table.empty()) {
      slot.kind = Kind::Kana;
      slot.spellings.assign(table.begin(), table.end());
    } else {
      slot.kind = Kind::Literal;
      slot.spellings = {units_[u].keys};
    }
  }

  // Preferred spellings from the right: ん and っ look at what follows them.
  const bool singleN = settings.variant(keyOptionIndex("nn")) == u"n";
  const std::u16string smallTsu = rewriteRomaji(u"xtu", settings, RewriteOptions{.replaceEveryX = true});
  for (std::size_t u = units_.size(); u-- > 0;) {
    Slot& slot = slots_[u];
    const Slot* next = u + 1 < slots_.size() ? &slots_[u + 1] : nullptr;
    const char16_t nextKey = next ? next->preferred.front() : 0;
    switch (slot.kind) {
      case Kind::Kana: slot.preferred = preferredSpelling(units_[u].unit, settings); break;
      case Kind::Literal: slot.preferred = slot.spellings.front(); break;
      case Kind::N: slot.preferred = singleN && next && allows(kNotNY, nextKey) ? u"n" : u"nn"; break;
      case Kind::SmallTsu:
        slot.preferred = next && next->kind == Kind::Kana && doubles(nextKey) ? std::u16string(1, nextKey) : smallTsu;
        break;
    }
  }
  guideFrom_.reserve(slots_.size() + 1);
  for (const auto& slot : slots_) {
    guideFrom_.push_back(guideText_.size());
    guideText_ += slot.preferred;
  }
  guideFrom_.push_back(guideText_.size());
  paths_.push_back(Path{});  // with no units this is already the end
}

bool FlexibleMatcher::allows(char16_t need, char16_t key) {
  if (need == kAny) return true;
  if (need == kNotNY) return !isVowel(key) && key != u'y' && key != u'n';
  return key == need;
}

bool FlexibleMatcher::canStart(std::size_t unit, char16_t need) const {
  if (unit == slots_.size()) return need == kAny;
  const Slot& slot = slots_[unit];
  for (const auto& s : slot.spellings)
    if (allows(need, s.front())) return true;
  if (slot.kind == Kind::SmallTsu && doublesInto(unit + 1)) {
    if (need != kAny && need != kNotNY) return canStart(unit + 1, need);
    return true;  // "xtu" already starts with a letter every need allows
  }
  return false;
}

// っ doubles the first letter of a kana after it, of a further っ ("kkka"),
// or the x of a ん spelled "xn" ("xxn"), as input methods double any
// consonant letter but n.
bool FlexibleMatcher::doublesInto(std::size_t unit) const {
  return unit < slots_.size() &&
         (slots_[unit].kind == Kind::Kana || slots_[unit].kind == Kind::SmallTsu || slots_[unit].kind == Kind::N);
}

void FlexibleMatcher::push(std::vector<Path>& out, const Path& p) {
  if (std::find(out.begin(), out.end(), p) == out.end()) out.push_back(p);
}

void FlexibleMatcher::finishUnit(std::uint32_t unit, char16_t needNext, bool first, std::vector<Path>& out) const {
  const std::uint32_t next = unit + 1;
  if (canStart(next, needNext)) push(out, Path{next, -1, 0, needNext, unit, first});
}

bool FlexibleMatcher::type(char16_t key) {
  scratch_.clear();
  const auto count = static_cast<std::uint32_t>(slots_.size());
  for (const Path& p : paths_) {
    if (p.unit == count) continue;
    const Slot& slot = slots_[p.unit];
    if (p.spelling >= 0) {
      const auto& s = slot.spellings[static_cast<std::size_t>(p.spelling)];
      if (s[p.offset] != key) continue;
      if (p.offset + 1u == s.size()) finishUnit(p.unit, kAny, false, scratch_);
      else push(scratch_, Path{p.unit, p.spelling, static_cast<std::uint16_t>(p.offset + 1), kAny, p.unit, false});
      continue;
    }
    if (!allows(p.need, key)) continue;
    for (std::size_t i = 0; i < slot.spellings.size(); ++i) {
      const auto& s = slot.spellings[i];
      if (s.front() != key) continue;
      if (s.size() == 1) finishUnit(p.unit, kAny, true, scratch_);
      else push(scratch_, Path{p.unit, static_cast<std::int16_t>(i), 1, kAny, p.unit, true});
    }
    // っ as the doubled first letter of the kana after it.
    if (slot.kind == Kind::SmallTsu && doubles(key) && doublesInto(p.unit + 1)) finishUnit(p.unit, key, true, scratch_);
    // ん as one n, if the next key cannot make it a syllable.
    if (slot.kind == Kind::N && key == u'n') finishUnit(p.unit, kNotNY, true, scratch_);
  }
  if (scratch_.empty()) return false;
  paths_.swap(scratch_);
  const Path& b = best();
  lastKey_ = {b.keyUnit, b.keyFirst};
  return true;
}

bool FlexibleMatcher::finished() const {
  return std::any_of(paths_.begin(), paths_.end(), [&](const Path& p) { return p.unit == slots_.size(); });
}

// Lower is closer to what the learner prefers: a path on its unit's preferred
// spelling first, then the one that has moved least (the "n" of a preferred
// "nn" stays on ん rather than jumping to the next kana).
int FlexibleMatcher::rank(const Path& p) const {
  const auto count = static_cast<int>(slots_.size());
  if (p.unit == slots_.size()) return 0;
  const Slot& slot = slots_[p.unit];
  const bool onPreferred = p.spelling < 0 ? allows(p.need, slot.preferred.front())
                                          : slot.spellings[static_cast<std::size_t>(p.spelling)] == slot.preferred;
  return (onPreferred ? 0 : 2 * (count + 1)) + 2 * static_cast<int>(p.unit) + (p.spelling < 0 ? 1 : 0);
}

const FlexibleMatcher::Path& FlexibleMatcher::best() const {
  return *std::min_element(paths_.begin(), paths_.end(), [&](const Path& a, const Path& b) { return rank(a) < rank(b); });
}

std::size_t FlexibleMatcher::currentUnit() const { return paths_.empty() ? slots_.size() : best().unit; }

std::u16string FlexibleMatcher::startSpelling(std::size_t unit, char16_t need) const {
  const Slot& slot = slots_[unit];
  if (allows(need, slot.preferred.front())) return slot.preferred;
  for (const auto& s : slot.spellings)
    if (allows(need, s.front())) return s;
  // っ after a single n, spelled by doubling: the next kana's guide letter.
  return std::u16string(1, guideText_[guideFrom_[unit + 1]]);
}

std::u16string FlexibleMatcher::guide() const {
  if (paths_.empty()) return guideText_;
  const Path& b = best();
  if (b.unit == slots_.size()) return {};
  std::u16string out;
  std::size_t u = b.unit;
  if (b.spelling < 0) {
    // A っ typed by doubling a given letter ("kkka" for っっか) hands that
    // letter on: the unit after it must start with it too, whatever its
    // preferred spelling is.
    char16_t need = b.need;
    while (need != kAny && need != kNotNY && slots_[u].kind == Kind::SmallTsu && !allows(need, slots_[u].preferred.front()) &&
           std::none_of(slots_[u].spellings.begin(), slots_[u].spellings.end(),
                        [need](const std::u16string& s) { return allows(need, s.front()); }) &&
           u + 1 < slots_.size()) {
      out.push_back(need);
      ++u;
    }
    out += startSpelling(u, need);
  } else {
    out = std::u16string_view(slots_[u].spellings[static_cast<std::size_t>(b.spelling)]).substr(b.offset);
  }
  out.append(std::u16string_view(guideText_).substr(guideFrom_[u + 1]));
  return out;
}

}  // namespace lk
