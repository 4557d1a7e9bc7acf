// The training menu t_menu: its captions, the file row with the messages of
// each kind of read, and what [開 始] starts.

#include <QFontMetrics>
#include <QLabel>
#include <QtTest>
#include <memory>
#include <set>

#include "engine/units.h"
#include "practice/screens/practice_screens.h"
#include "practice/screens/t_original.h"
#include "practice/word_lists.h"
#include "progress/history_store.h"
#include "practice/weak_drill.h"
#include "shell/screens/gui_test_support.h"

using lk::ScreenId;
using lk::test::GuiHarness;

namespace {

std::string problemFile(const std::string& magic, const std::string& count, int records) {
  std::string s = "\"" + magic + "\"\r\n" + count + "\r\n\"my set\"\r\n";
  for (int i = 0; i < records; ++i) s += "\"t" + std::to_string(i) + "\"\r\n\"ka\"\r\n";
  return s;
}

// The built-in problems, all 150 in order, with the units each one types.
struct Pooled {
  std::u16string text;
  std::vector<std::u16string> units;
};
std::vector<Pooled> builtInPool() {
  std::vector<Pooled> out;
  for (int level = 1; level <= 3; ++level) {
    for (const lk::WordEntry& e : lk::builtInList(level)) {
      Pooled p{std::u16string(e.text), {}};
      for (const lk::KeyUnit& u : lk::rewriteByUnit(e.romaji, lk::KeySettings{})) p.units.push_back(u.unit);
      out.push_back(std::move(p));
    }
  }
  return out;
}

// A word run in which ふ is missed over and over and typed slowly, and か is quick and clean.
lk::RunRecord runWeakAtFu() {
  lk::RunRecord r;
  r.units = {u"か", u"ふ"};
  std::int32_t ms = 0;
  auto add = [&](int step, char16_t e, char16_t t, std::uint16_t unit, std::uint8_t pos) {
    ms += step;
    r.keys.push_back(lk::Keystroke{ms, e, t, unit, pos, e == t});
  };
  for (int i = 0; i < 100; ++i) add(100, u'k', u'k', 0, 0), add(100, u'a', u'a', 0, 1);
  for (int i = 0; i < 10; ++i) {
    for (int m = 0; m < 4; ++m) add(100, u'h', u'g', 1, 0);
    add(1500, u'h', u'h', 1, 0), add(1500, u'u', u'u', 1, 1);
  }
  return r;
}

}  // namespace

class TstTrainingMenu : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;

  QString text(const char* name) const {
    auto* l = h->find<QLabel>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing>");
  }
  // Puts `bytes` in a file and answers the next open dialog with it.
  void chooseFile(const std::string& name, const std::string& bytes) {
    h->fakes.folder.write(name, bytes);
    h->fakes.files.openAnswers.push_back(h->fakes.folder.root / name);
  }

 private slots:
  void init() {
    h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{lk::registerPracticeScreens});
  }
  void cleanup() { h.reset(); }

  void loadShowsTheLimitAndClearsTheTitle() {
    h->state.settings.saidai = 20;
    h->state.problems.title = u"前回";
    h->open(ScreenId::t_menu);
    QCOMPARE(h->current()->windowTitle(), QStringLiteral("トレーニングメニュー"));
    QCOMPARE(text("saidai_l"), QStringLiteral("20問"));
    QCOMPARE(text("Label5"), QStringLiteral(" TITLE"));
    QCOMPARE(text("Label6"), QStringLiteral("登録数"));
    QCOMPARE(text("title_l"), QString());
    QCOMPARE(text("mkazu_l"), QString());
    QVERIFY(h->state.problems.title.empty());
  }

  void fileRowMessages() {
    struct Case {
      const char* name;
      std::string bytes;
      std::u16string message;
      QString count, title;  // captions afterwards
    } cases[] = {
        {"unfinished", problemFile("prentrafile", "2", 2), u"このファイルは作成途中です。", "", ""},
        {"other magic", problemFile("abc", "2", 2), u"このファイルは読み込めません。", "", ""},
        {"count 3, two problems", problemFile("ntrafile", "3", 2), u"読み込みに失敗しました。", "3問", "my set"},
        {"count 0", problemFile("ntrafile", "0", 0), u"読み込みに失敗しました。", "0問", "my set"},
        {"UTF-8 memo with a byte-order mark", "\xEF\xBB\xBF\xE3\x83\xA1\xE3\x83\xA2\r\n\xC2\x80\r\n",
         u"このファイルは読み込めません。", "", ""},
    };
    for (const Case& c : cases) {
      init();
      h->open(ScreenId::t_menu);
      chooseFile("p.txt", c.bytes);
      QVERIFY(h->click(QStringLiteral("ori_b")));
      QCOMPARE(h->fakes.messages.shown, std::vector<std::u16string>{c.message});
      QCOMPARE(text("mkazu_l"), c.count);
      QCOMPARE(text("title_l"), c.title);
      // None of these can be started.
      QVERIFY(h->click(QStringLiteral("orikaisi_b")));
      QCOMPARE(h->currentId(), ScreenId::t_menu);
      QCOMPARE(h->fakes.messages.shown.back(), std::u16string(u"ファイルを指定して下さい。"));
    }
  }

  void labelsChangeOnlyOnceCountAndTitleAreBothRead() {
    h->open(ScreenId::t_menu);
    chooseFile("good.txt", problemFile("ntrafile", "2", 2));
    QVERIFY(h->click(QStringLiteral("ori_b")));
    QCOMPARE(text("mkazu_l"), QStringLiteral("2問"));
    chooseFile("cut.txt", "\"ntrafile\"\r\n7\r\n");  // the count, then the end of the file
    QVERIFY(h->click(QStringLiteral("ori_b")));
    QCOMPARE(h->fakes.messages.shown.back(), std::u16string(u"読み込みに失敗しました。"));
    QCOMPARE(text("mkazu_l"), QStringLiteral("2問"));
    QCOMPARE(text("title_l"), QStringLiteral("my set"));
  }

  void startWithoutAFileAsksForOne() {
    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("orikaisi_b")));
    QCOMPARE(h->fakes.messages.shown, std::vector<std::u16string>{u"ファイルを指定して下さい。"});
    QCOMPARE(h->currentId(), ScreenId::t_menu);
    // Cancelling the dialog says nothing.
    QVERIFY(h->click(QStringLiteral("ori_b")));
    QCOMPARE(h->fakes.files.openCalls, 1);
    QCOMPARE(h->fakes.messages.shown.size(), std::size_t(1));
  }

  void aTwelveProblemFileGivesTwelveQuestionsAndMarkers() {
    h->state.settings.saidai = 30;
    h->open(ScreenId::t_menu);
    chooseFile("twelve.txt", problemFile("ntrafile", "12", 12));
    QVERIFY(h->click(QStringLiteral("ori_b")));
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(text("mkazu_l"), QStringLiteral("12問"));
    QCOMPARE(text("title_l"), QStringLiteral("my set"));
    // A cancelled dialog afterwards keeps the read.
    QVERIFY(h->click(QStringLiteral("ori_b")));

    QVERIFY(h->click(QStringLiteral("orikaisi_b")));
    QCOMPARE(h->currentId(), ScreenId::t_original);
    QCOMPARE(text("kazu_l"), QStringLiteral("12問"));
    auto* drill = qobject_cast<lk::WordDrillScreen*>(h->current());
    for (int i = 0; i < 4; ++i) drill->countdownTick();
    QVERIFY(h->find<QWidget>(QStringLiteral("Shape1_11"))->isVisible());
    QVERIFY(!h->find<QWidget>(QStringLiteral("Shape1_12"))->isVisible());
    for (int q = 0; q < 12; ++q) h->type(QStringLiteral("ka"));
    QCOMPARE(text("label_q2"), QStringLiteral("クリア！"));
    QCOMPARE(h->state.result.charCount, 24);

    // Back on the menu the file is forgotten.
    QVERIFY(h->click(QStringLiteral("re_b")));
    QCOMPARE(h->currentId(), ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("orikaisi_b")));
    QCOMPARE(h->fakes.messages.shown.back(), std::u16string(u"ファイルを指定して下さい。"));
  }

  // A title wider than the TITLE field ends in "…"; the whole title is the tooltip.
  void aLongTitleIsElided() {
    h->open(ScreenId::t_menu);
    std::string file = problemFile("ntrafile", "1", 1);
    const std::string longTitle = "a problem set whose title goes on and on far past its field";
    file.replace(file.find("my set"), 6, longTitle);
    chooseFile("long.txt", file);
    QVERIFY(h->click(QStringLiteral("ori_b")));
    auto* l = h->find<QLabel>(QStringLiteral("title_l"));
    QVERIFY(l);
    QVERIFY2(l->text().endsWith(QChar(0x2026)), qPrintable(l->text()));
    QVERIFY(QString::fromStdString(longTitle).startsWith(l->text().chopped(1)));
    QVERIFY(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->contentsRect().width());
    QCOMPARE(l->toolTip(), QString::fromStdString(longTitle));
    // The drill still carries the whole title.
    QCOMPARE(h->state.problems.title, QString::fromStdString(longTitle).toStdU16String());
  }

  void aFailedReadAfterAGoodOneRefusesTheStart() {
    h->open(ScreenId::t_menu);
    chooseFile("good.txt", problemFile("ntrafile", "2", 2));
    chooseFile("bad.txt", problemFile("ntrafile", "5", 1));
    QVERIFY(h->click(QStringLiteral("ori_b")));
    QVERIFY(h->click(QStringLiteral("ori_b")));
    QCOMPARE(h->fakes.messages.shown, std::vector<std::u16string>{u"読み込みに失敗しました。"});
    QVERIFY(h->click(QStringLiteral("orikaisi_b")));
    QCOMPARE(h->currentId(), ScreenId::t_menu);
  }

  // 苦手克服 draws by the store beside set.dat: every problem that types the
  // weakest unit is asked, and the drill runs under the title 苦手克服.
  void weakDrillAsksTheProblemsOfTheWeakestUnit() {
    {
      lk::HistoryStore::Status status;
      auto store = lk::HistoryStore::open(h->fakes.folder.root / lk::kHistoryFileName, status);
      QVERIFY(store);
      lk::RunRecord run = runWeakAtFu();
      QCOMPARE(store->addRun(run), lk::HistoryStore::Status::Ok);
    }
    // A spread of draws, the same on every run of the test.
    for (int i = 0; i < 97; ++i) h->fakes.random.sequence.push_back(std::fmod(i * 0.6180339887, 1.0));
    h->state.settings.saidai = 30;
    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("nigate_b")));
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(h->currentId(), ScreenId::t_original);
    QCOMPARE(text("title_l"), QStringLiteral("苦手克服"));
    QCOMPARE(text("kazu_l"), QStringLiteral("30問"));

    const auto& asked = h->state.problems.text;
    QCOMPARE(asked.size(), std::size_t(30));
    QCOMPARE(std::set<std::u16string>(asked.begin(), asked.end()).size(), std::size_t(30));
    int holding = 0;
    for (const Pooled& p : builtInPool()) {
      if (std::find(p.units.begin(), p.units.end(), u"ふ") == p.units.end()) continue;
      ++holding;
      QVERIFY2(std::find(asked.begin(), asked.end(), p.text) != asked.end(), qPrintable(QString::fromStdU16String(p.text)));
    }
    QVERIFY(holding >= 2);
  }

  // With nothing recorded it says so once and draws from all problems
  // alike, the problems of the file read on this visit among them.
  void weakDrillWithoutHistoryDrawsEvenly() {
    h->state.settings.saidai = 20;
    h->fakes.random.sequence = {0.5};
    h->open(ScreenId::t_menu);
    chooseFile("twelve.txt", problemFile("ntrafile", "12", 12));
    QVERIFY(h->click(QStringLiteral("ori_b")));
    QVERIFY(h->click(QStringLiteral("nigate_b")));
    QCOMPARE(h->fakes.messages.shown, std::vector<std::u16string>{u"記録がまだないため、全体から出題します。"});
    QCOMPARE(h->currentId(), ScreenId::t_original);
    QVERIFY(!std::filesystem::exists(h->fakes.folder.root / lk::kHistoryFileName));

    // Equal weights: each draw takes the middle one of those left.
    std::vector<std::u16string> left;
    for (const Pooled& p : builtInPool()) left.push_back(p.text);
    for (int i = 0; i < 12; ++i) left.push_back(u"t" + QString::number(i).toStdU16String());
    std::vector<std::u16string> want;
    for (int i = 0; i < 20; ++i) {
      const std::size_t at = left.size() / 2;
      want.push_back(left[at]);
      left.erase(left.begin() + static_cast<std::ptrdiff_t>(at));
    }
    QCOMPARE(h->state.problems.text, want);
    QCOMPARE(h->state.problems.title, std::u16string(u"苦手克服"));

    // Back on the menu the file is forgotten: the pool is the 150 again.
    QVERIFY(h->click(QStringLiteral("re_b")));
    h->fakes.random.sequence = {0.9999};
    QVERIFY(h->click(QStringLiteral("nigate_b")));
    QCOMPARE(h->fakes.messages.shown.size(), std::size_t(2));
    const std::vector<Pooled> pool = builtInPool();
    QCOMPARE(h->state.problems.text.front(), pool.back().text);
  }

  void buttonsLeadWhereTheyShould() {
    struct Case {
      const char* button;
      ScreenId target;
      std::u16string title;
    } cases[] = {
        {"tra1_b", ScreenId::t_original, u"初 級"},
        {"tra2_b", ScreenId::t_original, u"中 級"},
        {"tra3_b", ScreenId::t_original, u"上 級"},
        {"otype_b", ScreenId::o_type, u"一文字タイピング(初級)"},
        {"o_type2_b", ScreenId::o_type, u"一文字タイピング(上級)"},
        {"o_type3_b", ScreenId::o_type, u"一文字タイピング(苦手)"},
        {"nigate_b", ScreenId::t_original, u"苦手克服"},
        {"rank_b", ScreenId::ranking, u""},
        {"re_b", ScreenId::m_menu, u""},
    };
    for (const Case& c : cases) {
      init();
      h->open(ScreenId::t_menu);
      QVERIFY2(h->click(QString::fromLatin1(c.button)), c.button);
      QCOMPARE(h->currentId(), c.target);
      QCOMPARE(h->state.problems.title, c.title);
    }
  }
};

QTEST_MAIN(TstTrainingMenu)
#include "tst_training_menu.moc"
