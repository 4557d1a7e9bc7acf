// The key-setting rewrite: canonical romaji -> expected keystroke string.
#include "engine/rewrite.h"

#include <algorithm>
#include <array>
#include <vector>

#include "engine/kana_tables.h"
#include "engine/text.h"
#include "engine/tracked_text.h"

namespace lk {

namespace {

constexpr int kRowNn = 8;
constexpr int kRowX = 10;

// Main syllable rows in the order they are applied after the compounds; the
// ん and small-kana rows have stages of their own.
constexpr std::array<int, 9> kSyllableRows = {0, 1, 2, 3, 4, 5, 6, 7, 9};


// A stage 2-4 change of a syllable's first letter breaks the doubled letter
// of a preceding っ; these put the pair back together.
constexpr Replacement kDoubledFix[] = {
    {u"kc", u"cc"}, {u"kq", u"qq"}, {u"tc", u"cc"}, {u"hf", u"ff"}, {u"zj", u"jj"}, {u"xl", u"ll"},
};

constexpr std::u16string_view kVowels = u"aiueo";

// Compound rows bucketed by first letter, longest token first, so the scan
// tries at most a handful of candidates per position.
struct CompoundIndex {
  std::array<std::vector<int>, 26> byLetter;
  CompoundIndex() {
    const auto table = keyOptionTable();
    for (int row = kMainKeySettingCount; row < kKeySettingCount; ++row) {
      const char16_t c = table[static_cast<std::size_t>(row)].token.front();
      byLetter[static_cast<std::size_t>(c - u'a')].push_back(row);
    }
    for (auto& rows : byLetter)
      std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        return table[static_cast<std::size_t>(a)].token.size() > table[static_cast<std::size_t>(b)].token.size();
      });
  }
};

const CompoundIndex& compoundIndex() {
  static const CompoundIndex index;
  return index;
}

// The plain text the drills use: the same operations as TrackedText, without
// the bookkeeping, so one chain serves both.
class PlainText {
 public:
  explicit PlainText(std::u16string_view canonical) : text_(canonical) {}
  const std::u16string& str() const { return text_; }
  std::u16string take() { return std::move(text_); }
  void replaceAll(std::u16string_view find, std::u16string_view repl) { lk::replaceAll(text_, find, repl); }
  void replaceAll(std::u16string_view find, std::u16string_view repl, std::size_t, std::size_t) {
    lk::replaceAll(text_, find, repl);
  }
  void replaceSpans(std::span<const TextSpan> spans) {
    std::u16string out;
    out.reserve(text_.size() + 16);
    std::size_t from = 0;
    for (const auto& span : spans) {
      out.append(text_, from, span.pos - from);
      out.append(span.repl);
      from = span.pos + span.length;
    }
    out.append(text_, from, std::u16string::npos);
    text_.swap(out);
  }
  void erase(char16_t c) { std::erase(text_, c); }
  void pushBackFromLast(char16_t c) { text_.push_back(c); }

 private:
  std::u16string text_;
};

// Occurrences of the compound tokens, scanning from the left, longest token
// at each position first; the written variant is not scanned again. With
// `all` false only the occurrences that change the text are listed.
std::vector<TextSpan> compoundSpans(std::u16string_view s, const KeySettings& settings, bool all) {
  const auto table = keyOptionTable();
  const auto& index = compoundIndex();
  std::vector<TextSpan> spans;
  std::size_t i = 0;
  while (i < s.size()) {
    const char16_t c = s[i];
    if (c == u'*' && i + 2 < s.size() && s[i + 1] == u'*' && s[i + 2] == u'n') {
      // A ん marker is one unit: the vowel it ends in belongs to it, so it
      // must not start a compound ("**ni" + "xe" is ん い ぇ, never "**n" + ye).
      const std::u16string_view rest = s.substr(i);
      std::size_t length = 0;
      for (const auto& group : kana::kNMarkerGroups)
        for (const auto& m : group)
          if (rest.starts_with(m.marker)) length = m.marker.size();
      if (length != 0) {
        i += length;
        continue;
      }
    } else if (c >= u'a' && c <= u'z') {
      const std::u16string_view rest = s.substr(i);
      const auto& rows = index.byLetter[static_cast<std::size_t>(c - u'a')];
      const auto hit = std::find_if(rows.begin(), rows.end(), [&](int row) {
        return rest.starts_with(table[static_cast<std::size_t>(row)].token);
      });
      if (hit != rows.end()) {
        const auto& token = table[static_cast<std::size_t>(*hit)].token;
        const auto& variant = settings.variant(*hit);
        if (all || variant != token) spans.push_back({i, token.size(), variant});
        i += token.size();
        continue;
      }
    }
    ++i;
  }
  return spans;
}

template <class Text>
bool runRewrite(Text& s, const KeySettings& settings, const RewriteOptions& options, bool trackCompounds) {
  const auto table = keyOptionTable();

  // 1. Several English words are typed without the spaces between them.
  s.erase(u' ');

  // 2. Compound kana, each by its own setting. Each one is a unit of its own
  // for the tracked text, even where its variant is the token itself.
  const auto spans = compoundSpans(s.str(), settings, trackCompounds);
  if (!spans.empty()) s.replaceSpans(spans);

  // 3. Main syllables; they also act on what the compounds produced, which is
  // how the main settings take precedence over the detailed ones.
  for (int row : kSyllableRows) {
    const auto& variant = settings.variant(row);
    const auto token = table[static_cast<std::size_t>(row)].token;
    if (variant != token) s.replaceAll(token, variant);
  }

  // 4. Small-kana prefix.
  const std::u16string& x = settings.variant(kRowX);
  if (x != u"x") {
    if (options.replaceEveryX) {
      s.replaceAll(u"x", x);
    } else {
      for (char16_t v : kVowels) {
        const char16_t find[2] = {u'x', v};
        std::u16string repl = x;
        repl.push_back(v);
        s.replaceAll(std::u16string_view(find, 2), repl);
      }
    }
  }

  // 5. ん.
  const std::u16string& nn = settings.variant(kRowNn);
  if (nn != u"nn") s.replaceAll(u"nn", nn);

  // 6. Markers: an ん before a vowel, y- or n-syllable always needs two n.
  // The leading "**n" becomes the ん's "nn", the rest the kana it carries.
  if (s.str().find(u'*') != std::u16string::npos)
    for (const auto& group : kana::kNMarkerGroups)
      for (const auto& m : group) s.replaceAll(m.marker, m.typed, 3, 2);

  // 7. Restore doubled letters of っ whose partner changed its first letter.
  for (const auto& r : kDoubledFix) s.replaceAll(r.find, r.repl);

  // 8. A single final n would not finish ん for the input method.
  bool appended = false;
  if (!s.str().empty() && s.str().back() == u'n' && nn == u"n") {
    s.pushBackFromLast(u'n');
    appended = true;
  }

  // 9. Protected letters are typed as they stand.
  s.erase(u'*');
  return appended;
}

}  // namespace

std::u16string rewriteRomaji(std::u16string_view canonical, const KeySettings& settings) {
  return rewriteRomaji(canonical, settings, RewriteOptions{}, nullptr);
}

std::u16string rewriteRomaji(std::u16string_view canonical, const KeySettings& settings,
                             const RewriteOptions& options, bool* appendedFinalN) {
  PlainText text(canonical);
  const bool appended = runRewrite(text, settings, options, false);
  if (appendedFinalN) *appendedFinalN = appended;
  return text.take();
}

void rewriteRomajiTracked(TrackedText& text, const KeySettings& settings, const RewriteOptions& options) {
  runRewrite(text, settings, options, true);
}

}  // namespace lk
