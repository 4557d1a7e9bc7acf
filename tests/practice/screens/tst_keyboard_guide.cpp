// The keyboard guide under the word drill and the one-character drill:
// absent by default, the next key and finger lit after every hit in both
// layouts, and the screen growing and shrinking as the option changes.

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "practice/screens/keyboard_guide.h"
#include "practice/screens/o_type.h"
#include "practice/screens/practice_screens.h"
#include "practice/screens/t_original.h"
#include "shell/screens/gui_test_support.h"

using lk::Finger;
using lk::KeyboardGuideWidget;
using lk::KeyboardLayout;
using lk::KeyRole;
using lk::ScreenId;
using lk::test::GuiHarness;

Q_DECLARE_METATYPE(KeyboardLayout)

namespace {

// What the guide should light for the next character.
struct Lit {
  char16_t key;    // the key's unshifted character
  Finger finger;
  KeyRole shift;   // KeyRole::Character: no Shift
  const char* fingerText;
};

const QColor kLitColour(0xff, 0x8a, 0x1a);

}  // namespace

class TstKeyboardGuide : public QObject {
  Q_OBJECT

  std::unique_ptr<GuiHarness> h;

  KeyboardGuideWidget* guide() const { return h->find<KeyboardGuideWidget>(QStringLiteral("keyboard_guide")); }

  lk::WordDrillScreen* openWordDrill(std::u16string romaji) {
    auto& set = h->state.problems;
    set = {};
    set.title = u"テスト";
    set.text = {u"テスト"};
    set.romaji = {std::move(romaji)};
    set.count = 1;
    h->open(ScreenId::t_original);
    auto* s = qobject_cast<lk::WordDrillScreen*>(h->current());
    for (int i = 0; s && i < 4; ++i) s->countdownTick();
    return s;
  }

  // The guide lights `want`, in its state and in its pixels.
  void verifyLit(const Lit& want) {
    KeyboardGuideWidget* g = guide();
    QVERIFY(g);
    const auto s = g->stroke();
    QVERIFY(s.has_value());
    QCOMPARE(QChar(s->key->base), QChar(want.key));
    QCOMPARE(int(s->key->finger), int(want.finger));
    if (want.shift == KeyRole::Character) {
      QVERIFY(!s->shift);
    } else {
      QVERIFY(s->shift);
      QCOMPARE(int(s->shift->role), int(want.shift));
    }
    QCOMPARE(g->fingerText(), QString::fromUtf8(want.fingerText));
    const QImage image = g->grab().toImage();
    // Assistive technology is told the same key and fingers.
    const QChar cap(s->shift ? s->key->shiftedLegend : s->key->legend);
    QCOMPARE(g->accessibleDescription(),
             QStringLiteral("「%1」キー　").arg(cap) + QString::fromUtf8(want.fingerText));
    const QRect r = g->keyRect(*s->key);
    QCOMPARE(image.pixelColor(r.right() - 4, r.center().y()), kLitColour);
    // Exactly the lit keys carry the lit colour.
    for (const lk::GuideKey& k : lk::guideKeys(g->layout())) {
      const QRect kr = g->keyRect(k);
      const bool lit = &k == s->key || &k == s->shift;
      QCOMPARE(image.pixelColor(kr.right() - 4, kr.center().y()) == kLitColour, lit);
    }
  }

 private slots:
  void init() {
    h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{lk::registerPracticeScreens});
  }
  void cleanup() { h.reset(); }

  // Off: no guide, and the screens keep their size; on: the same controls
  // at the same places, with the guide below them.
  void offLeavesTheScreensAsTheyAreOnGrowsThemDownwards_data() {
    QTest::addColumn<int>("screen");
    QTest::newRow("t_original") << int(ScreenId::t_original);
    QTest::newRow("o_type") << int(ScreenId::o_type);
  }
  void offLeavesTheScreensAsTheyAreOnGrowsThemDownwards() {
    QFETCH(int, screen);
    h->state.problems = {};
    h->state.problems.title = u"テスト";
    h->state.problems.text = {u"テスト"};
    h->state.problems.romaji = {u"a"};
    h->state.problems.count = 1;

    h->open(static_cast<ScreenId>(screen));
    QVERIFY(!guide());
    const QSize offSize = h->current()->client()->size();
    const QRect offBack = h->find<QPushButton>(QStringLiteral("re_b"))->geometry();

    h->state.options.keyboardGuide = true;
    h->open(static_cast<ScreenId>(screen));
    QVERIFY(guide());
    QVERIFY(guide()->isVisible());
    const QSize onSize = h->current()->client()->size();
    QCOMPARE(onSize.width(), offSize.width());
    QCOMPARE(guide()->geometry(), QRect(0, offSize.height(), offSize.width(), onSize.height() - offSize.height()));
    QVERIFY(onSize.height() > offSize.height() + 150);
    QCOMPARE(h->find<QPushButton>(QStringLiteral("re_b"))->geometry(), offBack);

    // The option changed while the screen is open: it follows at once.
    h->state.options.keyboardGuide = false;
    h->host->announceOptionsChanged();
    GuiHarness::settle();
    QVERIFY(!guide());
    QCOMPARE(h->current()->client()->size(), offSize);
    h->state.options.keyboardGuide = true;
    h->state.options.layout = KeyboardLayout::Us;
    h->host->announceOptionsChanged();
    QVERIFY(guide());
    QCOMPARE(guide()->layout(), KeyboardLayout::Us);
    QCOMPARE(h->current()->client()->size(), onSize);
  }

  // The word drill lights the first key of what is left to type, after
  // every hit, and nothing once the drill is cleared. "!" needs Shift.
  void wordDrillLightsTheNextKeyAfterEachHit_data() {
    QTest::addColumn<KeyboardLayout>("layout");
    QTest::newRow("JIS") << KeyboardLayout::Jis;
    QTest::newRow("US") << KeyboardLayout::Us;
  }
  void wordDrillLightsTheNextKeyAfterEachHit() {
    QFETCH(KeyboardLayout, layout);
    h->state.options.keyboardGuide = true;
    h->state.options.layout = layout;
    QVERIFY(openWordDrill(u"kaf!"));
    QCOMPARE(h->textOf(QStringLiteral("label_q")), QStringLiteral("kaf!"));
    const Lit steps[] = {
        {u'k', Finger::RightMiddle, KeyRole::Character, "右中指"},
        {u'a', Finger::LeftPinky, KeyRole::Character, "左小指"},
        {u'f', Finger::LeftIndex, KeyRole::Character, "左人差し指"},
        {u'1', Finger::LeftPinky, KeyRole::RightShift, "左小指 ＋ Shift: 右小指"},
    };
    const QString keys = QStringLiteral("kaf!");
    for (int i = 0; i < 4; ++i) {
      // Told after each key, before anything is painted.
      if (i > 0) QVERIFY(guide()->accessibleDescription().endsWith(QString::fromUtf8(steps[i].fingerText)));
      verifyLit(steps[i]);
      if (QTest::currentTestFailed()) return;
      h->type(QStringLiteral("x"));  // a miss leaves the key lit
      verifyLit(steps[i]);
      if (QTest::currentTestFailed()) return;
      h->type(keys.mid(i, 1));
    }
    QCOMPARE(h->textOf(QStringLiteral("label_q2")), QStringLiteral("クリア！"));
    QVERIFY(!guide()->stroke());
    QVERIFY(guide()->fingerText().isEmpty());
    QVERIFY(guide()->accessibleDescription().isEmpty());
  }

  // With any spelling accepted, the guide follows the spelling being typed:
  // "sh" for し leaves "i" lit, where the key settings' "si" left nothing of し.
  void flexibleModeLightsTheNextKeyOfTheSpellingTyped() {
    h->state.options.keyboardGuide = true;
    h->state.options.flexibleRomaji = true;
    QVERIFY(openWordDrill(u"sinnbunn"));
    verifyLit({u's', Finger::LeftRing, KeyRole::Character, "左薬指"});
    h->type(QStringLiteral("sh"));
    QCOMPARE(h->state.result.missCount, 0);
    QCOMPARE(h->textOf(QStringLiteral("label_q")), QStringLiteral("innbunn"));
    verifyLit({u'i', Finger::RightMiddle, KeyRole::Character, "右中指"});
  }

  // The one-character drill lights each drawn character; ':' and '@' sit
  // on different keys in the two layouts.
  void oneCharDrillLightsEachQuestion_data() {
    QTest::addColumn<KeyboardLayout>("layout");
    QTest::newRow("JIS") << KeyboardLayout::Jis;
    QTest::newRow("US") << KeyboardLayout::Us;
  }
  void oneCharDrillLightsEachQuestion() {
    QFETCH(KeyboardLayout, layout);
    h->state.options.keyboardGuide = true;
    h->state.options.layout = layout;
    // Draws from the advanced list: "f", then ":", then "@".
    h->fakes.random.sequence = {5.5 / 51, 46.5 / 51, 50.5 / 51};
    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("o_type2_b")));
    auto* s = qobject_cast<lk::OneCharDrillScreen*>(h->current());
    QVERIFY(s);
    QVERIFY(guide());
    QVERIFY(!guide()->stroke());  // nothing to type during the countdown
    for (int i = 0; i < 4; ++i) s->countdownTick();

    const bool jis = layout == KeyboardLayout::Jis;
    const Lit steps[] = {
        {u'f', Finger::LeftIndex, KeyRole::Character, "左人差し指"},
        jis ? Lit{u':', Finger::RightPinky, KeyRole::Character, "右小指"}
            : Lit{u';', Finger::RightPinky, KeyRole::LeftShift, "右小指 ＋ Shift: 左小指"},
        jis ? Lit{u'@', Finger::RightPinky, KeyRole::Character, "右小指"}
            : Lit{u'2', Finger::LeftRing, KeyRole::RightShift, "左薬指 ＋ Shift: 右小指"},
    };
    const QString keys = QStringLiteral("f:@");
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(h->textOf(QStringLiteral("label_q")), keys.mid(i, 1));
      verifyLit(steps[i]);
      if (QTest::currentTestFailed()) return;
      h->type(keys.mid(i, 1));
    }
    // Time up: "終" is on no key.
    for (int i = 0; i < 60; ++i) s->clockTick();
    QCOMPARE(h->textOf(QStringLiteral("label_q")), QStringLiteral("終"));
    QVERIFY(!guide()->stroke());
  }

  // A backslash question is drawn as the layout's key prints it: the JIS
  // yen key's character as it is (the Japanese font's ¥), the US one as a
  // backslash no Japanese font turns into ¥; the guide lights that key.
  void oneCharDrillDrawsTheBackslashAsTheKeyboardPrintsIt_data() {
    QTest::addColumn<KeyboardLayout>("layout");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("key");
    QTest::newRow("JIS") << KeyboardLayout::Jis << QStringLiteral("\\") << QStringLiteral("AE13");
    QTest::newRow("US") << KeyboardLayout::Us << QStringLiteral("\uFF3C") << QStringLiteral("BKSL");
  }
  void oneCharDrillDrawsTheBackslashAsTheKeyboardPrintsIt() {
    QFETCH(KeyboardLayout, layout);
    QFETCH(QString, shown);
    QFETCH(QString, key);
    h->state.options.keyboardGuide = true;
    h->state.options.layout = layout;
    h->fakes.random.sequence = {41.5 / 51};  // the advanced list's backslash
    h->open(ScreenId::t_menu);
    QVERIFY(h->click(QStringLiteral("o_type2_b")));
    auto* s = qobject_cast<lk::OneCharDrillScreen*>(h->current());
    QVERIFY(s);
    for (int i = 0; i < 4; ++i) s->countdownTick();
    QCOMPARE(h->textOf(QStringLiteral("label_q")), shown);
    QVERIFY(guide()->stroke());
    QCOMPARE(QString::fromLatin1(guide()->stroke()->key->code.data(), guide()->stroke()->key->code.size()), key);
    h->type(QStringLiteral("\\"));
    QCOMPARE(h->state.result.charCount, 1);  // the key itself is still the backslash
  }
};

QTEST_MAIN(TstKeyboardGuide)
#include "tst_keyboard_guide.moc"
