// The word drill screen t_original driven with typed keys and direct timer
// ticks: countdown, hits, misses, markers, the clear and the sounds.

#include <QFrame>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "practice/screens/practice_screens.h"
#include "practice/screens/t_original.h"
#include "shell/screens/gui_test_support.h"

using lk::ScreenId;
using lk::WordDrillScreen;
using lk::test::GuiHarness;

class TstWordDrill : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;

  // Opens t_original on `problems` (text, romaji); the fake random keeps list order.
  WordDrillScreen* openDrill(std::initializer_list<std::pair<std::u16string, std::u16string>> problems) {
    auto& set = h->state.problems;
    set = {};
    set.title = u"テスト";
    for (const auto& [text, romaji] : problems) {
      set.text.push_back(text);
      set.romaji.push_back(romaji);
    }
    set.count = static_cast<int>(set.text.size());
    h->open(ScreenId::t_original);
    return qobject_cast<WordDrillScreen*>(h->current());
  }
  QString text(const char* name) const {
    auto* l = h->find<QLabel>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing>");
  }
  bool visible(const char* name) const {
    auto* w = h->find<QWidget>(QString::fromLatin1(name));
    return w && w->isVisible();
  }
  QColor markerFill(int i) const {
    auto* m = h->find<QFrame>(QStringLiteral("Shape1_%1").arg(i));
    return m ? m->property("fill").value<QColor>() : QColor();
  }
  static void start(WordDrillScreen* s) {
    for (int i = 0; i < 4; ++i) s->countdownTick();
  }

 private slots:
  void init() { h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{lk::registerPracticeScreens}); }
  void cleanup() { h.reset(); }

  void countdownShowsThreeTwoOneStartAndIgnoresKeys() {
    WordDrillScreen* s = openDrill({{u"ドア", u"doa"}, {u"海", u"umi"}});
    QVERIFY(s);
    QCOMPARE(h->current()->windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(text("title_l"), QStringLiteral("テスト"));
    QCOMPARE(text("titlehyouzi_l"), QStringLiteral("テスト"));
    QCOMPARE(text("kazu_l"), QStringLiteral("2問"));
    QVERIFY(visible("kanban"));
    QVERIFY(!visible("label_q"));

    const QString shown[] = {QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("START!")};
    for (int tick = 0; tick < 4; ++tick) {
      QCOMPARE(text("count_l"), shown[tick]);
      h->type(QStringLiteral("dx "));
      s->clockTick();
      s->countdownTick();
    }
    QVERIFY(h->fakes.sound.played.empty());
    QCOMPARE(h->state.result.missCount, 0);
    QCOMPARE(h->state.result.elapsedSeconds, 0);

    // The fourth tick shows the first question.
    QVERIFY(!visible("kanban"));
    QVERIFY(!visible("count_l"));
    QVERIFY(!visible("kazu_l"));
    QVERIFY(visible("traback"));
    QVERIFY(visible("Picture2"));
    QCOMPARE(text("label_q2"), QStringLiteral("ドア"));
    QCOMPARE(text("label_q"), QStringLiteral("doa"));
    QCOMPARE(text("label_n"), QStringLiteral("1"));
    QCOMPARE(text("label_m"), QStringLiteral("0"));
    QCOMPARE(text("label_t"), QStringLiteral("0"));
    QCOMPARE(text("Label1"), QStringLiteral("Miss:"));
    QCOMPARE(text("Label2"), QStringLiteral("Time:"));
    QCOMPARE(text("Label3"), QStringLiteral("No."));
    QVERIFY(visible("Shape1_0"));
    QVERIFY(visible("Shape1_1"));
    QVERIFY(!visible("Shape1_2"));
  }

  void hitsMissesMarkersAndTheClear() {
    WordDrillScreen* s = openDrill({{u"ドア", u"doa"}, {u"海", u"umi"}});
    start(s);

    h->type(QStringLiteral("d"));
    QCOMPARE(text("label_q"), QStringLiteral("oa"));
    QCOMPARE(h->fakes.sound.played, std::vector<std::string>{"music/key.wav"});

    // "O" for "o" and the space bar are misses; the question stays.
    h->type(QStringLiteral("O "));
    QCOMPARE(text("label_m"), QStringLiteral("2"));
    QCOMPARE(text("label_q"), QStringLiteral("oa"));
    QCOMPARE(h->fakes.sound.played.back(), std::string("music/miss.wav"));
    QCOMPARE(h->fakes.sound.played.size(), std::size_t(3));

    s->clockTick();
    QCOMPARE(text("label_t"), QStringLiteral("1"));

    h->type(QStringLiteral("oa"));
    QCOMPARE(markerFill(0), QColor(Qt::black));
    QCOMPARE(markerFill(1), QColor(Qt::white));
    QCOMPARE(text("label_n"), QStringLiteral("2"));
    QCOMPARE(text("label_q2"), QStringLiteral("海"));
    QCOMPARE(text("label_q"), QStringLiteral("umi"));
    QVERIFY(!visible("kekka_b"));

    h->fakes.sound.played.clear();
    h->type(QStringLiteral("umi"));
    QCOMPARE(text("label_q2"), QStringLiteral("クリア！"));
    QCOMPARE(text("label_q"), QString());
    QCOMPARE(text("label_n"), QString());
    QCOMPARE(markerFill(1), QColor(Qt::black));
    QVERIFY(!visible("Picture2"));
    QVERIFY(visible("kekka_b"));
    QVERIFY(visible("kekkaback"));
    QCOMPARE(h->find<QPushButton>(QStringLiteral("kekka_b"))->text(), QStringLiteral("結果画面へ"));
    const std::vector<std::string> sounds = {"music/key.wav", "music/key.wav", "music/key.wav", "music/clear.wav"};
    QCOMPARE(h->fakes.sound.played, sounds);

    // After the clear the clock is stopped and keys change nothing.
    s->clockTick();
    h->type(QStringLiteral("zu "));
    QCOMPARE(text("label_t"), QStringLiteral("1"));
    QCOMPARE(text("label_m"), QStringLiteral("2"));
    QCOMPARE(h->state.result.missCount, 2);
    QCOMPARE(h->fakes.sound.played.size(), sounds.size());
    QCOMPARE(h->state.result.charCount, 6);
  }

  void soundOffPlaysNothing() {
    h->state.settings.koukaon = 1;
    WordDrillScreen* s = openDrill({{u"あ", u"a"}});
    start(s);
    h->type(QStringLiteral("xa"));
    QVERIFY(h->fakes.sound.played.empty());
    QCOMPARE(text("label_m"), QStringLiteral("1"));
    QCOMPARE(text("label_q2"), QStringLiteral("クリア！"));
  }

  void keysReachTheDrillWhicheverControlHasTheFocus() {
    WordDrillScreen* s = openDrill({{u"あ", u"a b"}});
    start(s);
    // Space is a miss even with a button under the keyboard, never a click.
    auto* re_b = h->find<QWidget>(QStringLiteral("re_b"));
    QVERIFY(re_b);
    QTest::keyClick(re_b, Qt::Key_Space);
    QTest::keyClick(re_b, 'a');
    GuiHarness::settle();
    QCOMPARE(h->currentId(), ScreenId::t_original);
    QCOMPARE(text("label_m"), QStringLiteral("1"));
    QCOMPARE(text("label_q"), QStringLiteral("b"));
    QVERIFY(!h->current()->testAttribute(Qt::WA_InputMethodEnabled));
  }

  void anEmptySetShowsAnEmptyDrillWithoutFailing() {
    WordDrillScreen* s = openDrill({});
    start(s);
    h->type(QStringLiteral("abc"));
    QCOMPARE(h->state.result.missCount, 0);
    QCOMPARE(text("label_q"), QString());
    QVERIFY(!visible("Shape1_0"));
    QVERIFY(h->click(QStringLiteral("re_b")));
    QCOMPARE(h->currentId(), ScreenId::t_menu);
  }

  void levelButtonAsksTheQuestionLimit() {
    h->state.settings.saidai = 30;
    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("tra1_b")));
    QCOMPARE(h->currentId(), ScreenId::t_original);
    QCOMPARE(text("kazu_l"), QStringLiteral("30問"));
    QCOMPARE(text("title_l"), QStringLiteral("初 級"));
    start(qobject_cast<WordDrillScreen*>(h->current()));
    QVERIFY(visible("Shape1_29"));
    QVERIFY(!visible("Shape1_30"));
  }

  void aLongQuestionShrinksToFitInsteadOfBeingCut() {
    // The longest texts of the built-in lists are wider than the question
    // lines at their design size; a short one keeps that size.
    WordDrillScreen* s = openDrill({{u"急用が入ったので、キャンセルしていいですか？", u"kyuuyougahaittanode,kyannserusiteiidesuka?"},
                                    {u"パン", u"pann"}});
    start(s);
    auto fits = [this](const char* name) {
      auto* l = h->find<QLabel>(QString::fromLatin1(name));
      return l && QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->contentsRect().width();
    };
    auto pointSize = [this](const char* name) { return h->find<QLabel>(QString::fromLatin1(name))->font().pointSize(); };
    QVERIFY(fits("label_q2"));
    QVERIFY(fits("label_q"));
    const int shrunk = pointSize("label_q2");
    h->type(QStringLiteral("kyuuyougahaittanode,kyannserusiteiidesuka?"));
    QCOMPARE(text("label_q2"), QStringLiteral("パン"));
    QVERIFY(pointSize("label_q2") > shrunk);
  }

  // Enter is a miss while the drill runs; after "クリア！" it presses 結果画面へ.
  void enterLeadsOnOnlyAfterTheClear() {
    WordDrillScreen* s = openDrill({{u"あ", u"a"}});
    start(s);
    h->type(QStringLiteral("\r"));
    QCOMPARE(h->currentId(), ScreenId::t_original);
    QCOMPARE(h->state.result.missCount, 1);
    h->type(QStringLiteral("a"));
    QCOMPARE(text("label_q2"), QStringLiteral("クリア！"));
    h->type(QStringLiteral("x\r"));
    QCOMPARE(h->currentId(), ScreenId::t_kekka);
    QCOMPARE(h->state.result.missCount, 1);
    QCOMPARE(h->state.result.charCount, 1);
  }

  // A miss shows the next expected key in red over the line for 150 ms; a
  // hit ends it at once; the option switches it off. The line keeps its text.
  void aMissFlashesTheNextExpectedKey() {
    for (const bool on : {true, false}) {
      init();
      h->state.options.missCue = on;
      WordDrillScreen* s = openDrill({{u"ドア", u"doa"}});
      start(s);
      auto* cue = h->find<QLabel>(QStringLiteral("misscue_l"));
      QVERIFY(cue);
      h->type(QStringLiteral("dx"));
      QCOMPARE(text("label_q"), QStringLiteral("oa"));
      QCOMPARE(cue->isVisible(), on);
      if (!on) continue;
      QCOMPARE(cue->text(), QStringLiteral("o"));
      QVERIFY(cue->styleSheet().contains(QStringLiteral("#d02020")));
      // Drawn over the first letter of the centred line.
      auto* line = h->find<QLabel>(QStringLiteral("label_q"));
      const int lineLeft = line->x() + (line->width() - QFontMetrics(line->font()).horizontalAdvance(line->text())) / 2;
      QVERIFY(qAbs(cue->x() - lineLeft) <= 2);
      QTRY_VERIFY_WITH_TIMEOUT(!cue->isVisible(), 2000);

      h->type(QStringLiteral("x"));
      QVERIFY(cue->isVisible());
      h->type(QStringLiteral("o"));
      QVERIFY(!cue->isVisible());
      QCOMPARE(text("label_q"), QStringLiteral("a"));
    }
  }

  // A question with nothing to type comes up already typed: its marker is
  // black and the next question shows; a set of only such questions clears
  // at the start.
  void questionsWithNothingToTypeAreSkipped() {
    WordDrillScreen* s = openDrill({{u"空", u""}, {u"あ", u"a"}});
    start(s);
    QCOMPARE(markerFill(0), QColor(Qt::black));
    QCOMPARE(text("label_q2"), QStringLiteral("あ"));
    QCOMPARE(text("label_n"), QStringLiteral("2"));
    h->type(QStringLiteral("a"));
    QCOMPARE(text("label_q2"), QStringLiteral("クリア！"));

    init();
    s = openDrill({{u"空", u""}});
    start(s);
    QCOMPARE(text("label_q2"), QStringLiteral("クリア！"));
    QCOMPARE(markerFill(0), QColor(Qt::black));
    QVERIFY(visible("kekka_b"));
    QCOMPARE(h->fakes.sound.played, std::vector<std::string>{"music/clear.wav"});
  }

  // A title wider than the signboard or the bottom line ends in "…", cut
  // between whole characters; the full title stays the tooltip.
  void aLongTitleIsElided() {
    // Characters outside the BMP: a cut between the halves of a pair would show.
    std::u16string title;
    for (int i = 0; i < 40; ++i) title += u"𠮷";
    auto& set = h->state.problems;
    set = {};
    set.title = title;
    set.text = {u"あ"};
    set.romaji = {u"a"};
    set.count = 1;
    h->open(ScreenId::t_original);
    const QString full = QString::fromStdU16String(title);
    for (const char* name : {"title_l", "titlehyouzi_l"}) {
      auto* l = h->find<QLabel>(QString::fromLatin1(name));
      QVERIFY(l);
      const QString shown = l->text();
      QVERIFY2(shown.endsWith(QChar(0x2026)), qPrintable(shown));
      const QString kept = shown.chopped(1);
      QVERIFY(full.startsWith(kept));
      QVERIFY(!kept.isEmpty() && kept.back().isLowSurrogate());
      QVERIFY(QFontMetrics(l->font()).horizontalAdvance(shown) <= l->contentsRect().width());
      QCOMPARE(l->toolTip(), full);
    }
  }

  void returnLeavesTheDrillAtAnyTime() {
    openDrill({{u"あ", u"a"}});
    QVERIFY(h->click(QStringLiteral("re_b")));
    QCOMPARE(h->currentId(), ScreenId::t_menu);
  }
};

QTEST_MAIN(TstWordDrill)
#include "tst_word_drill.moc"
