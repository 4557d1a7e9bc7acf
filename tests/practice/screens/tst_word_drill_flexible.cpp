// The word drill under the two judgements of "入力判定": the flexible one
// accepts Hepburn spellings while the key settings stay Kunrei; the default
// one misses them exactly as before.

#include <QLabel>
#include <QtTest>
#include <memory>

#include "practice/screens/practice_screens.h"
#include "practice/screens/t_original.h"
#include "shell/screens/gui_test_support.h"

using lk::ScreenId;
using lk::WordDrillScreen;
using lk::test::GuiHarness;

class TstWordDrillFlexible : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;

  WordDrillScreen* openDrill(bool flexible) {
    auto& set = h->state.problems;
    set = {};
    set.title = u"テスト";
    const std::pair<std::u16string, std::u16string> problems[] = {
        {u"新聞", u"sinnbunn"}, {u"中華", u"tyuuka"}, {u"机", u"tukue"}, {u"富士", u"huzi"}, {u"辞書", u"zisyo"}};
    for (const auto& [text, romaji] : problems) {
      set.text.push_back(text);
      set.romaji.push_back(romaji);
    }
    set.count = static_cast<int>(set.text.size());
    h->state.options.flexibleRomaji = flexible;
    h->open(ScreenId::t_original);
    auto* s = qobject_cast<WordDrillScreen*>(h->current());
    for (int i = 0; i < 4; ++i) s->countdownTick();
    return s;
  }
  QString text(const char* name) const {
    auto* l = h->find<QLabel>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing>");
  }

 private slots:
  void init() { h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{lk::registerPracticeScreens}); }
  void cleanup() { h.reset(); }

  void hepburnKeysAreHitsAndTheGuideFollowsThem() {
    QVERIFY(openDrill(true));
    QCOMPARE(text("label_q"), QStringLiteral("sinnbunn"));
    h->type(QStringLiteral("sh"));
    QCOMPARE(text("label_q"), QStringLiteral("innbunn"));
    h->type(QStringLiteral("inbunn"));
    QCOMPARE(text("label_q2"), QStringLiteral("中華"));
    QCOMPARE(text("label_q"), QStringLiteral("tyuuka"));
    h->type(QStringLiteral("chuukatsukuefujijisho"));
    QCOMPARE(text("label_q2"), QStringLiteral("クリア！"));
    QCOMPARE(h->state.result.missCount, 0);
    QCOMPARE(text("label_m"), QStringLiteral("0"));
    // The keys actually typed: shinbunn chuuka tsukue fuji jisho.
    QCOMPARE(h->state.result.charCount, 8 + 6 + 6 + 4 + 5);
  }

  void theDefaultJudgementMissesThemAsBefore() {
    QVERIFY(openDrill(false));
    h->type(QStringLiteral("sh"));
    QCOMPARE(h->state.result.missCount, 1);
    QCOMPARE(text("label_q"), QStringLiteral("innbunn"));
    h->type(QStringLiteral("innbunn"));
    QCOMPARE(text("label_q"), QStringLiteral("tyuuka"));
    h->type(QStringLiteral("chuuka"));  // c, h miss; "uuka" is not "tyuuka"
    QCOMPARE(h->state.result.missCount, 1 + 6);
    QCOMPARE(text("label_q"), QStringLiteral("tyuuka"));
    QCOMPARE(h->state.result.charCount, 8 + 6 + 5 + 4 + 5);  // the rewritten lengths
  }
};

QTEST_MAIN(TstWordDrillFlexible)
#include "tst_word_drill_flexible.moc"
