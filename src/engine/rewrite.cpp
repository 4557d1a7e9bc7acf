// The key-setting rewrite: canonical romaji -> expected keystroke string.
#include "engine/rewrite.h"

#include <algorithm>
#include <array>
#include <vector>

#include "engine/text.h"

namespace lk {

namespace {

constexpr int kRowNn = 8;
constexpr int kRowX = 10;

// Main syllable rows in the order they are applied after the compounds; the
// ん and small-kana rows have stages of their own.
constexpr std::array<int, 9> kSyllableRows = {0, 1, 2, 3, 4, 5, 6, 7, 9};

constexpr Replacement kMarkers[] = {
    {u"**n1a", u"nnna"},   {u"**n1i", u"nnni"},   {u"**n1u", u"nnnu"},   {u"**n1e", u"nnne"},
    {u"**n1o", u"nnno"},   {u"**n1ya", u"nnnya"}, {u"**n1yu", u"nnnyu"}, {u"**n1yo", u"nnnyo"},
    {u"**na", u"nna"},     {u"**ni", u"nni"},     {u"**nu", u"nnu"},     {u"**ne", u"nne"},
    {u"**no", u"nno"},     {u"**nya", u"nnya"},   {u"**nyu", u"nnyu"},   {u"**nyo", u"nnyo"},
};

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

void eraseAll(std::u16string& s, char16_t c) { std::erase(s, c); }

}  // namespace

void rewriteCompounds(std::u16string& s, const KeySettings& settings) {
  const auto table = keyOptionTable();
  const auto& index = compoundIndex();
  std::u16string out;
  out.reserve(s.size() + 16);
  bool changed = false;
  std::size_t i = 0;
  const std::u16string_view view(s);
  while (i < s.size()) {
    const char16_t c = s[i];
    int hit = -1;
    if (c == u'*' && i + 2 < s.size() && s[i + 1] == u'*' && s[i + 2] == u'n') {
      // A ん marker is one unit: the vowel it ends in belongs to it, so it
      // must not start a compound ("**ni" + "xe" is ん い ぇ, never "**n" + ye).
      const std::u16string_view rest = view.substr(i);
      const auto marker = std::find_if(std::begin(kMarkers), std::end(kMarkers),
                                       [&](const Replacement& m) { return rest.starts_with(m.find); });
      if (marker != std::end(kMarkers)) {
        out.append(marker->find);
        i += marker->find.size();
        continue;
      }
    } else if (c >= u'a' && c <= u'z') {
      const std::u16string_view rest = view.substr(i);
      for (int row : index.byLetter[static_cast<std::size_t>(c - u'a')]) {
        if (rest.starts_with(table[static_cast<std::size_t>(row)].token)) {
          hit = row;
          break;
        }
      }
    }
    if (hit >= 0) {
      const auto& token = table[static_cast<std::size_t>(hit)].token;
      const auto& variant = settings.variant(hit);
      if (variant != token) changed = true;
      out.append(variant);
      i += token.size();
    } else {
      out.push_back(c);
      ++i;
    }
  }
  if (changed) s.swap(out);
}

std::u16string rewriteRomaji(std::u16string_view canonical, const KeySettings& settings) {
  return rewriteRomaji(canonical, settings, RewriteOptions{}, nullptr);
}

std::u16string rewriteRomaji(std::u16string_view canonical, const KeySettings& settings,
                             const RewriteOptions& options, bool* appendedFinalN) {
  const auto table = keyOptionTable();
  std::u16string s(canonical);

  // 1. Several English words are typed without the spaces between them.
  eraseAll(s, u' ');

  // 2. Compound kana, each by its own setting.
  rewriteCompounds(s, settings);

  // 3. Main syllables; they also act on what the compounds produced, which is
  // how the main settings take precedence over the detailed ones.
  for (int row : kSyllableRows) {
    const auto& variant = settings.variant(row);
    const auto token = table[static_cast<std::size_t>(row)].token;
    if (variant != token) replaceAll(s, token, variant);
  }

  // 4. Small-kana prefix.
  const std::u16string& x = settings.variant(kRowX);
  if (x != u"x") {
    if (options.replaceEveryX) {
      replaceAll(s, u"x", x);
    } else {
      for (char16_t v : kVowels) {
        const char16_t find[2] = {u'x', v};
        std::u16string repl = x;
        repl.push_back(v);
        replaceAll(s, std::u16string_view(find, 2), repl);
      }
    }
  }

  // 5. ん.
  const std::u16string& nn = settings.variant(kRowNn);
  if (nn != u"nn") replaceAll(s, u"nn", nn);

  // 6. Markers: an ん before a vowel, y- or n-syllable always needs two n.
  if (s.find(u'*') != std::u16string::npos)
    for (const auto& r : kMarkers) replaceAll(s, r.find, r.repl);

  // 7. Restore doubled letters of っ whose partner changed its first letter.
  for (const auto& r : kDoubledFix) replaceAll(s, r.find, r.repl);

  // 8. A single final n would not finish ん for the input method.
  bool appended = false;
  if (!s.empty() && s.back() == u'n' && nn == u"n") {
    s.push_back(u'n');
    appended = true;
  }
  if (appendedFinalN) *appendedFinalN = appended;

  // 9. Protected letters are typed as they stand.
  eraseAll(s, u'*');
  return s;
}

}  // namespace lk
