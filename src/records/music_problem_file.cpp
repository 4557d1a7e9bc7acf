#include "records/music_problem_file.h"

#include <algorithm>

#include "records/problem_file.h"
#include "engine/input_text.h"
#include "records/field_reader.h"
#include "records/text_file.h"

namespace lk {

namespace {

enum class Reader { Editor, Menu };

MusicFileReadResult readMusic(const std::filesystem::path& file, Reader reader) {
  MusicFileReadResult r;
  auto fail = [&]() -> MusicFileReadResult {
    r.status = ProblemFileStatus::Failed;
    r.message = reader == Reader::Editor ? kMsgEditorReadFailed : kMsgMenuReadFailed;
    return std::move(r);
  };

  ProblemFileLines read = readProblemFileLines(file, kMusicMagicComplete, kMusicMagicUnfinished);
  if (read.foreign) {
    r.status = ProblemFileStatus::NotReadable;
    r.message = kMsgFileNotReadable;
    return r;
  }
  if (!read.lines) return fail();
  FieldReader in(std::move(*read.lines));

  switch (readProblemHeader(in, r, kMusicMagicComplete, kMusicMagicUnfinished, reader == Reader::Menu)) {
    case HeaderRead::Go:
      break;
    case HeaderRead::Stop:
      return r;
    case HeaderRead::Fail:
      return fail();
  }

  const int count = *r.count;
  if (count < 0) return fail();
  // The drill holds at most 100 lines. A complete song of no lines loads;
  // the menu refuses to start it.
  if (reader == Reader::Menu && count > kMusicPageCount) return fail();
  const int limit = std::min(count, kMusicPageCount);

  const std::size_t room = std::min<std::size_t>(static_cast<std::size_t>(limit), in.linesLeft() / 5 + 1);
  for (auto* v : {&r.text, &r.reading, &r.romaji, &r.melody, &r.noteNames}) v->reserve(room);
  for (int i = 0; i < limit; ++i) {
    std::array<std::u16string, 5> f;
    int got = 0;
    for (; got < 5; ++got) {
      auto field = in.next();
      if (!field) break;
      f[static_cast<std::size_t>(got)] = std::move(*field);
    }
    // The menu hands the song to a drill: a reading or romaji with a
    // character no key types (NUL, a control byte, a kanji) is damage, and
    // its record is left out.
    if (reader == Reader::Menu && ((got > 1 && !isTypeableReading(f[1], KanaToRomajiVariant::MusicEditor)) ||
                                   (got > 2 && !isTypeableRomaji(f[2])))) {
      return fail();
    }
    // A partly read record still lands where it belongs: text and reading first.
    if (got > 0) {
      r.text.push_back(std::move(f[0]));
      r.reading.push_back(std::move(f[1]));
      if (reader == Reader::Menu) {
        r.romaji.push_back(std::move(f[2]));
        r.melody.push_back(std::move(f[3]));
      } else {
        r.noteNames.push_back(std::move(f[4]));
      }
    }
    if (got < 5) return fail();
  }
  if (count > limit) return fail();

  r.status = ProblemFileStatus::Loaded;
  return r;
}

std::u16string fieldLine(const std::optional<std::u16string>& value) {
  return value ? quotedField(*value) : std::u16string();
}

}  // namespace

ProblemFileWriteResult writeMusicProblemFile(const std::filesystem::path& file, const MusicProblemFile& data) {
  if (data.count < 0 || data.count > kMusicPageCount || data.records.size() > kMusicPageCount) {
    return {false, std::u16string(kMsgEditorSaveFailed)};
  }
  auto writable = [](const std::optional<std::u16string>& v) { return !v || isWritableField(*v); };
  bool ok = isWritableField(data.title);
  for (const MusicRecord& rec : data.records) {
    ok = ok && writable(rec.text) && writable(rec.reading) && writable(rec.romaji) && writable(rec.melody) &&
         writable(rec.noteNames);
  }
  if (!ok) return {false, std::u16string(kMsgInvalidCharacter)};

  std::vector<std::u16string> lines;
  lines.reserve(3 + 5 * kMusicPageCount);
  lines.push_back(quotedField(data.complete ? kMusicMagicComplete : kMusicMagicUnfinished));
  lines.push_back(spacedNumberField(data.count));
  lines.push_back(quotedField(data.title));
  const MusicRecord blank;
  for (std::size_t i = 0; i < kMusicPageCount; ++i) {
    const MusicRecord& rec = i < data.records.size() ? data.records[i] : blank;
    for (const auto* v : {&rec.text, &rec.reading, &rec.romaji, &rec.melody, &rec.noteNames}) {
      lines.push_back(fieldLine(*v));
    }
  }
  // A link is the user's own arrangement: written through only to a file of
  // this kind (or to none yet), never over some other file it points to.
  std::error_code ec;
  if (isSymbolicLink(file) && std::filesystem::exists(file, ec) && !readMusicProblemFileForEditor(file).loaded()) {
    return {false, std::u16string(kMsgEditorSaveFailed)};
  }
  if (!writeTextFileLines(file, lines)) return {false, std::u16string(kMsgEditorSaveFailed)};
  return {};
}

MusicFileReadResult readMusicProblemFileForEditor(const std::filesystem::path& file) {
  return readMusic(file, Reader::Editor);
}

MusicFileReadResult readMusicProblemFileForMenu(const std::filesystem::path& file) {
  return readMusic(file, Reader::Menu);
}

}  // namespace lk
