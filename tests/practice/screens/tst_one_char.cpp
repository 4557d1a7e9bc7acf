// The one-character drill o_type and its result screen o_kekka, with the
// countdown, clock and mark timers driven directly.

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "practice/screens/o_type.h"
#include "practice/screens/practice_screens.h"
#include "progress/history_store.h"
#include "shell/screens/gui_test_support.h"

using lk::OneCharDrillScreen;
using lk::ScreenId;
using lk::test::GuiHarness;

class TstOneChar : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;

  QString text(const QString& name) const {
    auto* l = h->find<QLabel>(name);
    return l ? l->text() : QStringLiteral("<missing>");
  }
  bool visible(const QString& name) const {
    auto* w = h->find<QWidget>(name);
    return w && w->isVisible();
  }
  QColor segment(int i) const {
    return h->find<QFrame>(QStringLiteral("Shape1_%1").arg(i))->property("fill").value<QColor>();
  }
  OneCharDrillScreen* openFromMenu(const char* button) {
    h->open(ScreenId::t_menu);
    if (!h->click(QString::fromLatin1(button))) return nullptr;
    return qobject_cast<OneCharDrillScreen*>(h->current());
  }

 private slots:
  void init() {
    h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{lk::registerPracticeScreens});
  }
  void cleanup() { h.reset(); }

  void countsOnlyWhileTheClockRunsAndTheResultShowsThem() {
    // Draws: "a" first, then "b" after the hit, then "a" for ever.
    h->fakes.random.sequence = {0.0, 1.5 / 26, 0.0};
    OneCharDrillScreen* s = openFromMenu("otype_b");
    QVERIFY(s);
    QCOMPARE(h->current()->windowTitle(), QStringLiteral("一文字トレーニング"));
    QCOMPARE(text("title_l"), QStringLiteral("一文字タイピング(初級)"));
    QCOMPARE(text("titlehyouzi_l"), QStringLiteral("一文字タイピング(初級)"));
    QVERIFY(!visible("label_m"));
    QVERIFY(!visible("kekka_b"));
    QVERIFY(visible("re_b"));

    const QString shown[] = {"3", "2", "1", "START!"};
    for (int tick = 0; tick < 4; ++tick) {
      QCOMPARE(text("count_l"), shown[tick]);
      h->type(QStringLiteral("ab"));
      s->countdownTick();
    }
    QVERIFY(h->fakes.sound.played.empty());
    QVERIFY(!visible("count_l"));
    QVERIFY(visible("Picture2"));
    QCOMPARE(text("label_q"), QStringLiteral("a"));
    QCOMPARE(text("label_t"), QStringLiteral("60"));
    QCOMPARE(text("label_n"), QStringLiteral("0"));
    QCOMPARE(text("label_m"), QStringLiteral("0"));

    h->type(QStringLiteral("a"));
    QVERIFY(visible("maru_l"));
    QCOMPARE(text("label_q"), QStringLiteral("b"));
    QCOMPARE(text("label_n"), QStringLiteral("1"));
    h->type(QStringLiteral("B"));  // upper case is a miss
    QVERIFY(visible("batu_l"));
    QCOMPARE(text("label_m"), QStringLiteral("1"));
    QCOMPARE(text("label_q"), QStringLiteral("b"));
    const std::vector<std::string> sounds = {"key.wav", "miss.wav"};
    QCOMPARE(h->fakes.sound.played, sounds);
    s->markTick();
    QVERIFY(!visible("maru_l"));
    QVERIFY(!visible("batu_l"));

    s->clockTick();
    QCOMPARE(text("label_t"), QStringLiteral("59"));
    QCOMPARE(segment(59), QColor(Qt::white));
    QCOMPARE(segment(58), QColor(Qt::black));
    h->type(QStringLiteral("b"));
    for (int i = 0; i < 59; ++i) s->clockTick();
    QCOMPARE(text("label_t"), QStringLiteral("0"));
    QCOMPARE(segment(0), QColor(Qt::white));
    QCOMPARE(text("label_q"), QStringLiteral("終"));
    QVERIFY(visible("kekka_b"));
    QVERIFY(visible("Shape2"));
    QVERIFY(!visible("Picture2"));

    // After time is up keys and ticks change nothing.
    h->type(QStringLiteral("aaxx"));
    s->clockTick();
    QCOMPARE(text("label_n"), QStringLiteral("2"));
    QCOMPARE(text("label_m"), QStringLiteral("1"));
    QCOMPARE(h->fakes.sound.played.size(), std::size_t(3));

    QVERIFY(h->click(QStringLiteral("kekka_b")));
    QCOMPARE(h->currentId(), ScreenId::o_kekka);
    QCOMPARE(h->current()->windowTitle(), QStringLiteral("一文字タイピング結果"));
    QCOMPARE(text("label_n"), QStringLiteral("2文字"));
    QCOMPARE(text("label_m"), QStringLiteral("1文字"));
    QCOMPARE(text("title_l"), QStringLiteral("一文字タイピング(初級)"));
    QVERIFY(h->click(QStringLiteral("Command1")));
    QCOMPARE(h->currentId(), ScreenId::t_menu);
  }

  void advancedBackslashAndSoundOff() {
    h->state.settings.koukaon = 1;
    h->fakes.random.sequence = {41.5 / 51};  // index 41: backslash
    OneCharDrillScreen* s = openFromMenu("o_type2_b");
    QVERIFY(s);
    for (int i = 0; i < 4; ++i) s->countdownTick();
    QCOMPARE(text("label_q"), QStringLiteral("\\"));
    h->type(QStringLiteral("/\\"));
    QCOMPARE(text("label_m"), QStringLiteral("1"));
    QCOMPARE(text("label_n"), QStringLiteral("1"));
    QVERIFY(h->fakes.sound.played.empty());
    QVERIFY(visible("maru_l"));
  }

  // 苦手 weighs the advanced list by the one-character runs only: x, missed
  // and slow there, comes more often; q, weak in a word drill, does not.
  void weakCharactersComeMoreOften() {
    {
      lk::HistoryStore::Status status;
      auto store = lk::HistoryStore::open(h->fakes.folder.root / lk::kHistoryFileName, status);
      QVERIFY(store);
      auto run = [](lk::DrillMode mode, char16_t weak) {
        lk::RunRecord r;
        r.mode = mode;
        r.units = {u"a", std::u16string(1, weak)};
        std::int32_t ms = 0;
        for (int i = 0; i < 30; ++i) r.keys.push_back(lk::Keystroke{ms += 300, u'a', u'a', 0, 0, true});
        for (int i = 0; i < 3; ++i) {
          r.keys.push_back(lk::Keystroke{ms += 300, weak, u'z', 1, 0, false});
          r.keys.push_back(lk::Keystroke{ms += 2000, weak, weak, 1, 0, true});
        }
        return r;
      };
      lk::RunRecord chars = run(lk::DrillMode::Char, u'x'), words = run(lk::DrillMode::Word, u'q');
      QCOMPARE(store->addRun(chars), lk::HistoryStore::Status::Ok);
      QCOMPARE(store->addRun(words), lk::HistoryStore::Status::Ok);
    }
    h->fakes.random.sequence = {0.0};
    OneCharDrillScreen* s = openFromMenu("o_type3_b");
    QVERIFY(s);
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(text("title_l"), QStringLiteral("一文字タイピング(苦手)"));
    const auto& list = h->state.problems.romaji;
    QCOMPARE(h->state.problems.count, static_cast<int>(list.size()));
    const auto copies = [&](const char16_t* c) { return std::count(list.begin(), list.end(), std::u16string(c)); };
    QVERIFY(copies(u"x") > 2 * copies(u"q"));
    QCOMPARE(copies(u"q"), 4);
    QCOMPARE(copies(u"@"), 4);
    QVERIFY(copies(u"a") < 4);
    // The same 60-second drill on it.
    for (int i = 0; i < 4; ++i) s->countdownTick();
    QCOMPARE(text("label_q"), QString::fromStdU16String(list.front()));
    h->type(QString::fromStdU16String(list.front()));
    QCOMPARE(text("label_n"), QStringLiteral("1"));
  }

  void weakCharactersWithoutHistoryAreTheAdvancedListEvenly() {
    QVERIFY(openFromMenu("o_type3_b"));
    QCOMPARE(h->fakes.messages.shown, std::vector<std::u16string>{u"記録がまだないため、全体から出題します。"});
    QCOMPARE(h->state.problems.count, 51 * 4);
  }

  // Enter is a miss while the clock runs; once time is up it presses 次の画面へ.
  void enterLeadsOnOnlyAfterTimeIsUp() {
    h->fakes.random.sequence = {0.0};  // "a" every time
    OneCharDrillScreen* s = openFromMenu("otype_b");
    QVERIFY(s);
    for (int i = 0; i < 4; ++i) s->countdownTick();
    h->type(QStringLiteral("a\r"));
    QCOMPARE(h->currentId(), ScreenId::o_type);
    QCOMPARE(text("label_m"), QStringLiteral("1"));
    for (int i = 0; i < 60; ++i) s->clockTick();
    QVERIFY(visible("kekka_b"));
    h->type(QStringLiteral("\r"));
    QCOMPARE(h->currentId(), ScreenId::o_kekka);
    QCOMPARE(text("label_n"), QStringLiteral("1文字"));
    QCOMPARE(text("label_m"), QStringLiteral("1文字"));
  }

  void returnAbandonsTheDrill() {
    OneCharDrillScreen* s = openFromMenu("otype_b");
    for (int i = 0; i < 4; ++i) s->countdownTick();
    QVERIFY(h->click(QStringLiteral("re_b")));
    QCOMPARE(h->currentId(), ScreenId::t_menu);
  }
};

QTEST_MAIN(TstOneChar)
#include "tst_one_char.moc"
