// File commands: what a problem file, set.dat or rank.dat holds, read by the
// program's own readers.
#include <ostream>

#include "records/problem_file.h"
#include "records/typing_problem_file.h"
#include "engine/romaji_to_kana.h"
#include "engine/text.h"
#include "records/music_problem_file.h"
#include "practice/ranking_table.h"
#include "records/field_reader.h"
#include "records/settings_file.h"
#include "records/text_file.h"
#include "tools/command.h"

namespace lk::tool {

namespace {

// The reader refused or failed: its message is the only output.
int refused(Io& io, std::u16string_view message) {
  io.out << toUtf8(message) << '\n';
  io.out.flush();
  return 1;
}

std::string number(const std::optional<int>& v) { return v ? std::to_string(*v) : std::string(); }

int showSettings(const std::filesystem::path& file, Io& io) {
  KeySettings s;
  const auto r = loadSettings(s, file);
  if (!r.ok) return refused(io, r.message);
  io.out << s.koukaon << '\n' << s.saidai << '\n';
  const auto table = keyOptionTable();
  for (int row = 0; row < kKeySettingCount; ++row) {
    io.out << table[static_cast<std::size_t>(row)].field << '=' << toUtf8(s.variant(row)) << '\n';
  }
  return 0;
}

int showRanking(const std::filesystem::path& file, Io& io) {
  RankingTable t;
  const auto r = loadRanking(t, file);
  if (!r.ok) return refused(io, r.message);
  const auto jun = t.jun();
  for (int i = 0; i < kRankingSize; ++i) {
    const RankingEntry& e = t.entries[static_cast<std::size_t>(i)];
    io.out << jun[static_cast<std::size_t>(i)] << '\t' << number(e.sokudo) << '\t' << number(e.seigo) << '\t'
           << number(e.zisuu) << '\t' << toUtf8(e.nitizi) << '\t' << toUtf8(e.title) << '\n';
  }
  return 0;
}

void header(Io& io, std::u16string_view magic, const std::optional<int>& count, const std::optional<std::u16string>& title) {
  io.out << toUtf8(magic) << '\n' << number(count) << '\n' << toUtf8(title.value_or(u"")) << '\n';
}

int showTyping(const std::filesystem::path& file, bool editor, Io& io) {
  const auto r = editor ? readTypingProblemFileForEditor(file) : readTypingProblemFileForMenu(file);
  if (!r.loaded()) return refused(io, r.message);
  header(io, r.complete ? kTypingMagicComplete : kTypingMagicUnfinished, r.count, r.title);
  for (std::size_t i = 0; i < r.text.size(); ++i) {
    // The editor shows readings as kana again.
    const std::u16string reading = editor ? romajiToKana(r.romaji[i]) : r.romaji[i];
    io.out << toUtf8(r.text[i]) << '\t' << toUtf8(reading) << '\n';
  }
  return 0;
}

int showMusic(const std::filesystem::path& file, bool editor, Io& io) {
  const auto r = editor ? readMusicProblemFileForEditor(file) : readMusicProblemFileForMenu(file);
  if (!r.loaded()) return refused(io, r.message);
  header(io, r.complete ? kMusicMagicComplete : kMusicMagicUnfinished, r.count, r.title);
  for (std::size_t i = 0; i < r.text.size(); ++i) {
    io.out << toUtf8(r.text[i]) << '\t' << toUtf8(r.reading[i]) << '\t';
    if (editor) {
      io.out << toUtf8(r.noteNames[i]) << '\n';
    } else {
      io.out << toUtf8(r.romaji[i]) << '\t' << toUtf8(r.melody[i]) << '\n';
    }
  }
  return 0;
}

// Judged on the first line's bytes, as the readers do: a music file with a
// bad byte further down is still a music file, whose reader then reports
// the read failure.
bool isMusicFile(const std::filesystem::path& file) {
  if (!readFileBytes(file)) return false;
  return !readProblemFileLines(file, kMusicMagicComplete, kMusicMagicUnfinished).foreign;
}

int show(const std::vector<std::string>& args, Io& io) {
  std::optional<std::string> file;
  std::string as = "menu";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--as") {
      if (i + 1 >= args.size()) throw UsageError{"--as needs editor or menu"};
      as = args[++i];
    } else if (a.starts_with("--as=")) {
      as = a.substr(5);
    } else if (a.starts_with("--")) {
      throw UsageError{"unknown option '" + a + "'"};
    } else if (file) {
      throw UsageError{"expects one file, got '" + *file + "' and '" + a + "'"};
    } else {
      file = a;
    }
  }
  if (!file) throw UsageError{"expects a file"};
  if (as != "editor" && as != "menu") throw UsageError{"--as must be editor or menu, got '" + as + "'"};
  const bool editor = as == "editor";

  requireRegularFile(*file);
  const std::filesystem::path path(*file);
  int status;
  if (path.filename() == "set.dat") {
    status = showSettings(path, io);
  } else if (path.filename() == "rank.dat") {
    status = showRanking(path, io);
  } else if (isMusicFile(path)) {
    status = showMusic(path, editor, io);
  } else {
    status = showTyping(path, editor, io);
  }
  io.out.flush();
  return status;
}

}  // namespace

LK_TOOL_COMMAND("show", "show FILE [--as editor|menu]  what a problem file, set.dat or rank.dat holds", show);

}  // namespace lk::tool
