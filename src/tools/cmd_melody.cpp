// Music commands: how a song line lines up with its keystrokes, and the
// music editor's conversion of a reading and note names into a melody.
#include <ostream>
#include <string>

#include "editors/melody_conversion.h"
#include "editors/typing_editor.h"
#include "engine/input_text.h"
#include "engine/text.h"
#include "music/melody.h"
#include "music/midi_output.h"
#include "tools/command.h"
#include "tools/settings_args.h"

namespace lk::tool {

namespace {

// Takes "--name VALUE" or "--name=VALUE" out of `args`; the rest stays.
struct NamedOptions {
  std::vector<std::pair<std::string, std::string>> values;

  NamedOptions(const std::vector<std::string>& args, std::initializer_list<std::string_view> names) {
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      bool matched = false;
      for (std::string_view name : names) {
        const std::string flag = "--" + std::string(name);
        if (a == flag) {
          if (i + 1 >= args.size()) throw UsageError{flag + " needs a value"};
          set(std::string(name), args[++i]);
          matched = true;
        } else if (a.starts_with(flag + "=")) {
          set(std::string(name), a.substr(flag.size() + 1));
          matched = true;
        }
        if (matched) break;
      }
      if (!matched) throw UsageError{"unexpected argument '" + a + "'"};
    }
    for (std::string_view name : names)
      if (!find(name)) throw UsageError{"--" + std::string(name) + " is required"};
  }

  void set(const std::string& name, const std::string& value) {
    if (find(name)) throw UsageError{"--" + name + " given twice"};
    values.emplace_back(name, value);
  }
  const std::string* find(std::string_view name) const {
    for (const auto& [n, v] : values)
      if (n == name) return &v;
    return nullptr;
  }
  const std::string& operator[](std::string_view name) const { return *find(name); }
};

int prepare(const std::vector<std::string>& args, Io& io) {
  std::vector<std::string> rest;
  const KeySettings settings = parseSettingsArgs(args, &rest);
  const NamedOptions opts(rest, {"romaji", "melody"});
  const PreparedLine line = prepare_line(fromUtf8(opts["romaji"]), fromUtf8(opts["melody"]), settings);

  io.out << toUtf8(line.romaji) << '\n';
  for (std::size_t k = 0; k < line.tokens.size(); ++k) io.out << (k ? " " : "") << toUtf8(line.tokens[k]);
  io.out << '\n';
  // One key per keystroke; past the last token the empty slot sounds value 0.
  NoteQueue queue(line.tokens);
  for (std::size_t k = 0; k < line.romaji.size(); ++k) {
    if (k) io.out << ' ';
    const auto value = queue.consume();
    const auto key = value ? midiKey(*value) : std::nullopt;
    if (key) io.out << static_cast<int>(*key);
    else io.out << '-';
  }
  io.out << '\n';
  io.out.flush();
  return 0;
}

int melody(const std::vector<std::string>& args, Io& io) {
  const NamedOptions opts(args, {"reading", "notes"});
  // Taken as the editor's boxes take them (〜 as ～, ＫＯＢＥ as letters).
  const MusicPageConversion page =
      convertMusicPage(readingAsEntered(fromUtf8(opts["reading"])), foldInputVariants(fromUtf8(opts["notes"])));
  if (!page.ok) {
    io.out << toUtf8(page.error) << '\n';
    io.out.flush();
    return 1;
  }
  io.out << toUtf8(page.melody) << '\n';
  io.out.flush();
  return 0;
}

}  // namespace

LK_TOOL_COMMAND("prepare",
                "prepare --romaji R --melody M [--set FIELD=VARIANT]...  typed romaji, tokens, MIDI key per keystroke",
                prepare);
LK_TOOL_COMMAND("melody", "melody --reading READING --notes NOTES  melody string of a music editor page", melody);

}  // namespace lk::tool
