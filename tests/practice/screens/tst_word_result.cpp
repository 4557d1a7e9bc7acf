// The result screen t_kekka after scripted drills (figures, the ranking
// offer and rank.dat), and the ranking screen's rows.

#include <QFontMetrics>
#include <QLabel>
#include <QtTest>
#include <memory>

#include "practice/screens/practice_screens.h"
#include "practice/screens/t_original.h"
#include "shell/screens/gui_test_support.h"

using lk::ScreenId;
using lk::WordDrillScreen;
using lk::test::GuiHarness;

namespace {

QStringList lines(const std::string& bytes) {
  QStringList out = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
  if (!out.isEmpty() && out.back().isEmpty()) out.pop_back();
  return out;
}

lk::RankingEntry entry(int sokudo, int seigo, const std::u16string& title = u"中 級") {
  return lk::RankingEntry{sokudo, seigo, 100, u"04/01/01 01:00 AM", title};
}

}  // namespace

class TstWordResult : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;

  void newHarness() {
    h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{lk::registerPracticeScreens});
    h->fakes.clock.time = {2004, 12, 25, 15, 5, 0};
  }
  QString text(const QString& name) const {
    auto* l = h->find<QLabel>(name);
    return l ? l->text() : QStringLiteral("<missing>");
  }

 private slots:
  void cleanup() { h.reset(); }

  void scriptedDrillsGiveTheirFigures() {
    struct Case {
      int ticks;
      const char* keys;  // typed through "doa" and "umi", misses included
      QString time, speed, accuracy, misses;
    } cases[] = {
        {0, "dxoa umi", "1秒", "360", "67%", "2文字"},  // finished in the first second: counted as 1 s
        {3, "doaumi", "3秒", "120", "100%", "0文字"},
        {2, "dxxxxxoaumxxxxi", "2秒", "180", "-50%", "9文字"},
    };
    for (const Case& c : cases) {
      newHarness();
      auto& set = h->state.problems;
      set.count = 2;
      set.title = u"自作";
      set.text = {u"ドア", u"海"};
      set.romaji = {u"doa", u"umi"};
      h->open(ScreenId::t_original);
      auto* drill = qobject_cast<WordDrillScreen*>(h->current());
      QVERIFY(drill);
      for (int i = 0; i < 4; ++i) drill->countdownTick();
      for (int i = 0; i < c.ticks; ++i) drill->clockTick();
      h->type(QString::fromLatin1(c.keys));
      QVERIFY(h->click(QStringLiteral("kekka_b")));
      QCOMPARE(h->currentId(), ScreenId::t_kekka);

      QCOMPARE(h->current()->windowTitle(), QStringLiteral("練習結果"));
      QCOMPARE(text("title_l"), QStringLiteral("自作"));
      QCOMPARE(text("label_t"), c.time);
      QCOMPARE(text("label_z"), QStringLiteral("6文字"));
      QCOMPARE(text("label_m"), c.misses);
      QCOMPARE(text("label_sp"), c.speed);
      QCOMPARE(text("seigo_l"), c.accuracy);
      // An empty table takes any run as first.
      QCOMPARE(h->fakes.messages.shown, std::vector<std::u16string>{u"1位にランクインしました！"});
      QVERIFY(h->click(QStringLiteral("Command1")));
      QCOMPARE(h->currentId(), ScreenId::t_menu);
    }
  }

  void aRunEntersTheRankingAndRankDatIsRewritten() {
    newHarness();
    auto& rows = h->state.ranking.entries;
    rows[0] = entry(200, 90);
    rows[1] = entry(150, 95);
    rows[2] = entry(150, 90);
    rows[3] = entry(100, 99);
    h->state.problems.title = u"上 級";
    h->state.result = {15, 60, 150};  // 150 characters in 60 s with 15 misses: 150 per minute, 90 %
    h->open(ScreenId::t_kekka);

    QCOMPARE(h->fakes.messages.shown, std::vector<std::u16string>{u"3位にランクインしました！"});
    QCOMPARE(rows[3].sokudo, std::optional<int>(150));
    QCOMPARE(rows[4].sokudo, std::optional<int>(100));
    const QStringList file = lines(h->fakes.folder.read("rank.dat"));
    QCOMPARE(file.size(), 50);
    QCOMPARE(file[15], QStringLiteral(" 150 "));
    QCOMPARE(file[16], QStringLiteral(" 90 "));
    QCOMPARE(file[17], QStringLiteral(" 150 "));
    QCOMPARE(file[18], QStringLiteral("\"04/12/25 03:05 PM\""));
    QCOMPARE(file[20], QStringLiteral(" 100 "));
  }

  void aRunThatDoesNotEnterStillRewritesTheFile() {
    newHarness();
    for (auto& row : h->state.ranking.entries) row = entry(500, 100);
    h->state.result = {0, 60, 60};
    h->open(ScreenId::t_kekka);
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(lines(h->fakes.folder.read("rank.dat")).size(), 50);
  }

  void aFailedSaveIsReportedAndTheScreenStays() {
    newHarness();
    h->fakes.folder.data = h->fakes.folder.root / "missing" / "folder";
    h->state.result = {0, 60, 60};
    h->open(ScreenId::t_kekka);
    const std::vector<std::u16string> shown = {u"1位にランクインしました！", u"ランキングの保存に失敗しました。"};
    QCOMPARE(h->fakes.messages.shown, shown);
    QCOMPARE(h->currentId(), ScreenId::t_kekka);
    QCOMPARE(h->state.ranking.entries[0].sokudo, std::optional<int>(60));
  }

  // The rank message and a save failure come over the result screen once
  // it is on screen, in the same order, the file already written.
  void rankMessagesComeOverTheShownResult() {
    newHarness();
    h->state.result = {0, 60, 60};
    h->fakes.folder.data = h->fakes.folder.root / "missing";
    std::vector<bool> resultShown;
    h->fakes.messages.onShow = [this, &resultShown](std::u16string_view) {
      resultShown.push_back(h->currentId() == ScreenId::t_kekka && h->current()->isVisible());
    };
    h->open(ScreenId::t_kekka);
    const std::vector<std::u16string> shown = {u"1位にランクインしました！", u"ランキングの保存に失敗しました。"};
    QCOMPARE(h->fakes.messages.shown, shown);
    QCOMPARE(resultShown, (std::vector<bool>{true, true}));
    QCOMPARE(h->state.ranking.entries[0].sokudo, std::optional<int>(60));
  }

  // A course name wider than its column ends in "…"; the whole name is the tooltip.
  void aLongCourseNameIsElidedInTheRanking() {
    newHarness();
    const std::u16string longTitle = u"とても長いコース名のトレーニング問題集その一";
    h->state.ranking.entries[0] = entry(100, 90, longTitle);
    h->state.ranking.entries[1] = entry(90, 90, u"短い");
    h->open(ScreenId::ranking);
    auto* cut = h->find<QLabel>(QStringLiteral("title_l_0"));
    QVERIFY(cut);
    QVERIFY2(cut->text().endsWith(QChar(0x2026)), qPrintable(cut->text()));
    QVERIFY(QString::fromStdU16String(longTitle).startsWith(cut->text().chopped(1)));
    QVERIFY(QFontMetrics(cut->font()).horizontalAdvance(cut->text()) <= cut->contentsRect().width());
    QCOMPARE(cut->toolTip(), QString::fromStdU16String(longTitle));
    QCOMPARE(text("title_l_1"), QStringLiteral("短い"));
  }

  void rankingScreenShowsSharedRankNumbersAndBareUnits() {
    newHarness();
    auto& rows = h->state.ranking.entries;
    rows[0] = entry(100, 90, u"初 級");
    rows[1] = entry(100, 90);
    rows[2] = entry(90, 80);
    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("rank_b")));
    QCOMPARE(h->currentId(), ScreenId::ranking);
    QCOMPARE(h->current()->windowTitle(), QStringLiteral("ランキング"));

    const QString ranks[] = {"1位", "1位", "3位", "4位", "5位", "6位", "7位", "8位", "9位", "10位"};
    for (int i = 0; i < 10; ++i) QCOMPARE(text(QStringLiteral("jun_l_%1").arg(i)), ranks[i]);
    QCOMPARE(text("title_l_0"), QStringLiteral("初 級"));
    QCOMPARE(text("sokudo_l_0"), QStringLiteral("100文字/分"));
    QCOMPARE(text("seigo_l_2"), QStringLiteral("80%"));
    QCOMPARE(text("zisuu_l_1"), QStringLiteral("100文字"));
    QCOMPARE(text("nitizi_l_0"), QStringLiteral("04/01/01 01:00 AM"));
    // An empty row shows its rank and the bare units.
    QCOMPARE(text("zisuu_l_3"), QStringLiteral("文字"));
    QCOMPARE(text("sokudo_l_3"), QStringLiteral("文字/分"));
    QCOMPARE(text("seigo_l_3"), QStringLiteral("%"));
    QCOMPARE(text("title_l_3"), QString());

    QVERIFY(h->click(QStringLiteral("re_b")));
    QCOMPARE(h->currentId(), ScreenId::t_menu);
  }
};

QTEST_MAIN(TstWordResult)
#include "tst_word_result.moc"
