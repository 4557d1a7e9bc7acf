// Engine commands: the conversions and the rewrite line by line, and the
// built-in lists.
#include <istream>
#include <ostream>

#include "engine/flexible_matcher.h"
#include "engine/input_text.h"
#include "engine/kana_to_romaji.h"
#include "engine/rewrite.h"
#include "engine/romaji_to_kana.h"
#include "engine/text.h"
#include "engine/units.h"
#include "practice/word_lists.h"
#include "tools/command.h"
#include "tools/settings_args.h"

namespace lk::tool {

namespace {

template <typename Fn>
int eachLine(Io& io, Fn convert) {
  for (const auto& line : readLines(io.in)) io.out << toUtf8(convert(fromUtf8(line))) << '\n';
  io.out.flush();
  return 0;
}

void noArguments(const std::vector<std::string>& args) {
  if (!args.empty()) throw UsageError{"unexpected argument '" + args.front() + "'"};
}

int toRomaji(const std::vector<std::string>& args, Io& io) {
  auto variant = KanaToRomajiVariant::TypingEditor;
  for (const auto& a : args) {
    if (a == "--music") variant = KanaToRomajiVariant::MusicEditor;
    else throw UsageError{"unexpected argument '" + a + "'"};
  }
  // Readings typed on Linux carry the JIS forms of a few signs (〜 U+301C).
  return eachLine(io, [variant](const std::u16string& s) { return kanaToRomaji(foldInputVariants(s), variant); });
}

int toKana(const std::vector<std::string>& args, Io& io) {
  noArguments(args);
  return eachLine(io, [](const std::u16string& s) { return romajiToKana(s); });
}

int rewrite(const std::vector<std::string>& args, Io& io) {
  const KeySettings settings = parseSettingsArgs(args);
  return eachLine(io, [&settings](const std::u16string& s) { return rewriteRomaji(s, settings); });
}

// Each line's expected keys split by unit, as KEYS=UNIT pairs.
int units(const std::vector<std::string>& args, Io& io) {
  const KeySettings settings = parseSettingsArgs(args);
  return eachLine(io, [&settings](const std::u16string& s) {
    std::u16string line;
    for (const auto& u : rewriteByUnit(s, settings)) {
      if (!line.empty()) line.push_back(u' ');
      line += u.keys;
      line.push_back(u'=');
      line += u.unit;
    }
    return line;
  });
}

// Typed strings against every accepted spelling of one canonical text.
int match(const std::vector<std::string>& args, Io& io) {
  std::vector<std::string> rest;
  const KeySettings settings = parseSettingsArgs(args, &rest);
  if (rest.size() != 1) throw UsageError{"expects one canonical romaji text"};
  const FlexibleMatcher start(fromUtf8(rest.front()), settings);
  for (const auto& line : readLines(io.in)) {
    FlexibleMatcher m = start;
    const std::u16string keys = fromUtf8(line);
    std::size_t missAt = 0;
    for (std::size_t i = 0; i < keys.size() && missAt == 0; ++i)
      if (!m.type(keys[i])) missAt = i + 1;
    if (missAt) io.out << "miss " << missAt << '\n';
    else io.out << (m.finished() ? "ok" : "partial") << '\n';
  }
  io.out.flush();
  return 0;
}

int guide(const std::vector<std::string>& args, Io& io) {
  const KeySettings settings = parseSettingsArgs(args);
  return eachLine(io, [&settings](const std::u16string& s) { return FlexibleMatcher(s, settings).guide(); });
}

int list(const std::vector<std::string>& args, Io& io) {
  if (args.size() != 1) throw UsageError{"expects one level, 1 to 3"};
  const std::string& n = args.front();
  if (n.size() != 1 || n[0] < '1' || n[0] > '0' + kBuiltInLevelCount)
    throw UsageError{"level must be 1, 2 or 3, got '" + n + "'"};
  const int level = n[0] - '0';
  io.out << toUtf8(builtInTitle(level)) << '\n';
  for (const auto& e : builtInList(level)) io.out << toUtf8(e.text) << '\t' << toUtf8(e.romaji) << '\n';
  io.out.flush();
  return 0;
}

}  // namespace

LK_TOOL_COMMAND("to-romaji", "to-romaji [--music]        kana readings (stdin) -> canonical romaji", toRomaji);
LK_TOOL_COMMAND("to-kana", "to-kana                    canonical romaji (stdin) -> kana", toKana);
LK_TOOL_COMMAND("rewrite", "rewrite [--settings FILE] [--set FIELD=VARIANT]...  canonical romaji (stdin) -> keystrokes to type", rewrite);
LK_TOOL_COMMAND("units", "units [--settings FILE] [--set FIELD=VARIANT]...  canonical romaji (stdin) -> KEYS=UNIT pairs", units);
LK_TOOL_COMMAND("match", "match [--settings FILE] [--set FIELD=VARIANT]... CANON  typed keys (stdin) -> ok / miss P / partial", match);
LK_TOOL_COMMAND("guide", "guide [--settings FILE] [--set FIELD=VARIANT]...  canonical romaji (stdin) -> the flexible guide", guide);
LK_TOOL_COMMAND("list", "list N                     built-in list N (1-3): title, then text<TAB>romaji", list);

}  // namespace lk::tool
