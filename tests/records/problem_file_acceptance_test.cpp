// Which files each reader of a problem file accepts, and the message it
// gives, for both kinds of problem file: the editor and the menu read the
// same fixture with different rules, so one row holds both verdicts.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "engine/text.h"
#include "fakes/test_data.h"
#include "records/music_problem_file.h"
#include "records/typing_problem_file.h"

namespace lk {
namespace {

enum class Kind { Typing, Music };

struct Verdict {
  ProblemFileStatus status;
  std::u16string message;
};

struct AcceptanceCase {
  Kind kind;
  const char* fixture;
  Verdict editor, menu;
};

void PrintTo(const AcceptanceCase& c, std::ostream* os) {
  *os << (c.kind == Kind::Typing ? "typing reader, " : "music reader, ") << c.fixture;
}

template <typename Result>
Verdict verdictOf(const Result& r) {
  return {r.status, r.message};
}

Verdict readForEditor(Kind kind, const std::string& path) {
  return kind == Kind::Typing ? verdictOf(readTypingProblemFileForEditor(path))
                              : verdictOf(readMusicProblemFileForEditor(path));
}

Verdict readForMenu(Kind kind, const std::string& path) {
  return kind == Kind::Typing ? verdictOf(readTypingProblemFileForMenu(path))
                              : verdictOf(readMusicProblemFileForMenu(path));
}

constexpr auto Loaded = ProblemFileStatus::Loaded;
constexpr auto Unfinished = ProblemFileStatus::Unfinished;
constexpr auto NotReadable = ProblemFileStatus::NotReadable;
constexpr auto Failed = ProblemFileStatus::Failed;

const Verdict kLoaded{Loaded, u""};
const Verdict kUnfinished{Unfinished, u"このファイルは作成途中です。"};
const Verdict kNotReadable{NotReadable, u"このファイルは読み込めません。"};
const Verdict kEditorFailed{Failed, u"問題の読み込みに失敗しました。"};
const Verdict kMenuFailed{Failed, u"読み込みに失敗しました。"};

class ProblemFileAcceptance : public ::testing::TestWithParam<AcceptanceCase> {};

TEST_P(ProblemFileAcceptance, EditorAndMenuGiveTheirVerdicts) {
  const AcceptanceCase& c = GetParam();
  const std::string path = test::dataPath(std::string("records/data/") + c.fixture);
  const Verdict e = readForEditor(c.kind, path);
  EXPECT_EQ(e.status, c.editor.status);
  EXPECT_EQ(toUtf8(e.message), toUtf8(c.editor.message));
  const Verdict m = readForMenu(c.kind, path);
  EXPECT_EQ(m.status, c.menu.status);
  EXPECT_EQ(toUtf8(m.message), toUtf8(c.menu.message));
}

INSTANTIATE_TEST_SUITE_P(
    BothKinds, ProblemFileAcceptance,
    ::testing::Values(
        AcceptanceCase{Kind::Typing, "typing_golden.txt", kLoaded, kLoaded},
        AcceptanceCase{Kind::Typing, "typing_unfinished_golden.txt", kLoaded, kUnfinished},
        AcceptanceCase{Kind::Typing, "typing_empty_golden.txt", kLoaded, kMenuFailed},
        AcceptanceCase{Kind::Typing, "typing_count_too_large.txt", kEditorFailed, kMenuFailed},
        // Its field quirks leave kanji in two readings: no key types them, so the menu refuses the file.
        AcceptanceCase{Kind::Typing, "typing_quirks.txt", kLoaded, kMenuFailed},
        AcceptanceCase{Kind::Typing, "music_menu_only.txt", kNotReadable, kNotReadable},
        AcceptanceCase{Kind::Typing, "missing.txt", kEditorFailed, kMenuFailed},
        AcceptanceCase{Kind::Music, "music_golden.txt", kLoaded, kLoaded},
        AcceptanceCase{Kind::Music, "music_menu_only.txt", kLoaded, kLoaded},
        AcceptanceCase{Kind::Music, "music_unfinished.txt", kLoaded, kUnfinished},
        AcceptanceCase{Kind::Music, "typing_golden.txt", kNotReadable, kNotReadable},
        AcceptanceCase{Kind::Music, "missing.txt", kEditorFailed, kMenuFailed}));

}  // namespace
}  // namespace lk
