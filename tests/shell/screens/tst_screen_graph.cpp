// Every arrow of the screen graph from its real button: the screen is
// reached the way a user reaches it (drills from their menus), moved on the
// desktop, the button clicked; the target must open, at the old place where
// it takes the position. The common menu is on every screen but the editor
// choice and the version screen.

#include <QAbstractButton>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QtTest>
#include <functional>

#include "editors/screens/editor_screens.h"
#include "fakes/fake_midi.h"
#include "music/screens/music_screens.h"
#include "practice/screens/o_type.h"
#include "practice/screens/practice_screens.h"
#include "practice/screens/t_original.h"
#include "progress/screens/progress_screens.h"
#include "shell/screens/gui_test_support.h"

using lk::ScreenId;
using lk::test::GuiHarness;

namespace {

// Types the keys each screen asks for in label_q until it has none left.
void typeThrough(GuiHarness& h) {
  for (int guard = 0; guard < 200; ++guard) {
    auto* keys = h.find<QLabel>(QStringLiteral("label_q"));
    if (!keys || keys->text().isEmpty()) return;
    h.type(keys->text());
  }
}

// A drill that has come to its end, so that its result button shows.
void finishWordDrill(GuiHarness& h) {
  auto* s = qobject_cast<lk::WordDrillScreen*>(h.current());
  for (int i = 0; i < 4; ++i) s->countdownTick();
  typeThrough(h);
}
void finishOneCharDrill(GuiHarness& h) {
  auto* s = qobject_cast<lk::OneCharDrillScreen*>(h.current());
  for (int i = 0; i < 4; ++i) s->countdownTick();
  for (int i = 0; i < 60; ++i) s->clockTick();
}

struct Arrow {
  ScreenId from;
  std::vector<const char*> route;  // buttons from `start` (opened directly) to `from`
  ScreenId start;
  const char* button;
  ScreenId to;
  std::function<void(GuiHarness&)> prepare = nullptr;
};

std::vector<Arrow> arrows() {
  using S = ScreenId;
  return {
      {S::start, {}, S::start, "start_b", S::m_menu},
      {S::m_menu, {}, S::m_menu, "tra_b", S::t_menu},
      {S::m_menu, {}, S::m_menu, "midimenu_b", S::midi_menu},
      {S::m_menu, {}, S::m_menu, "set_b", S::settei},
      {S::m_menu, {}, S::m_menu, "ed_b", S::ed_select},
      {S::ed_select, {"ed_b"}, S::m_menu, "Command1", S::sakusei_a},
      {S::ed_select, {"ed_b"}, S::m_menu, "Command1", S::sakuseib,
       [](GuiHarness& h) { QTest::mouseClick(h.find<QAbstractButton>("edselect_o_1"), Qt::LeftButton); }},
      {S::ed_select, {"ed_b"}, S::m_menu, "Command2", S::m_menu},
      {S::t_menu, {}, S::t_menu, "tra1_b", S::t_original},
      {S::t_menu, {}, S::t_menu, "tra2_b", S::t_original},
      {S::t_menu, {}, S::t_menu, "tra3_b", S::t_original},
      {S::t_menu, {}, S::t_menu, "otype_b", S::o_type},
      {S::t_menu, {}, S::t_menu, "o_type2_b", S::o_type},
      {S::t_menu, {}, S::t_menu, "rank_b", S::ranking},
      {S::t_menu, {}, S::t_menu, "kiroku_b", S::bunseki},
      {S::t_menu, {}, S::t_menu, "re_b", S::m_menu},
      {S::t_menu, {}, S::t_menu, "text_b", S::text_practice},
      {S::text_practice, {"text_b"}, S::t_menu, "re_b", S::t_menu},
      {S::t_original, {"tra1_b"}, S::t_menu, "kekka_b", S::t_kekka, finishWordDrill},
      {S::t_original, {"tra1_b"}, S::t_menu, "re_b", S::t_menu},
      {S::t_kekka, {"tra1_b", "kekka_b"}, S::t_menu, "Command1", S::t_menu, nullptr},
      {S::t_kekka, {"tra1_b", "kekka_b"}, S::t_menu, "bunseki_b", S::bunseki, nullptr},
      {S::o_type, {"otype_b"}, S::t_menu, "kekka_b", S::o_kekka, finishOneCharDrill},
      {S::o_type, {"otype_b"}, S::t_menu, "re_b", S::t_menu},
      {S::o_kekka, {}, S::o_kekka, "Command1", S::t_menu},
      {S::o_kekka, {}, S::o_kekka, "bunseki_b", S::bunseki},
      {S::ranking, {"rank_b"}, S::t_menu, "re_b", S::t_menu},
      {S::midi_menu, {}, S::midi_menu, "m1_b", S::midi_tra},
      {S::midi_menu, {}, S::midi_menu, "m2_b", S::midi_tra},
      {S::midi_menu, {}, S::midi_menu, "m3_b", S::midi_tra},
      {S::midi_menu, {}, S::midi_menu, "re_b", S::m_menu},
      {S::midi_tra, {"m3_b"}, S::midi_menu, "kekka_b", S::midi_menu, typeThrough},
      {S::midi_tra, {"m3_b"}, S::midi_menu, "re_b", S::midi_menu},
      {S::midi_tra, {"m3_b"}, S::midi_menu, "bunseki_b", S::bunseki, typeThrough},
      {S::bunseki, {"kiroku_b"}, S::t_menu, "re_b", S::t_menu},
      {S::settei, {}, S::settei, "next_b", S::settei2},
      {S::settei, {}, S::settei, "set_b", S::m_menu},
      {S::settei, {}, S::settei, "re_b", S::m_menu},
      {S::settei2, {}, S::settei2, "prv_b", S::settei},
      {S::settei2, {}, S::settei2, "set_b", S::m_menu},
      {S::settei2, {}, S::settei2, "re_b", S::m_menu},
      {S::sakusei_a, {}, S::sakusei_a, "re_b", S::m_menu},
      {S::sakuseib, {}, S::sakuseib, "re_b", S::m_menu},
  };
}

}  // namespace

class ScreenGraphTest : public QObject {
  Q_OBJECT

 private slots:
  void everyArrowFromItsButton_data() {
    QTest::addColumn<int>("arrow");
    const auto all = arrows();
    for (int i = 0; i < int(all.size()); ++i) {
      const Arrow& a = all[i];
      QTest::addRow("%s %s -> %s", lk::screenInfo(a.from).name.data(), a.button, lk::screenInfo(a.to).name.data())
          << i;
    }
  }

  void everyArrowFromItsButton() {
    QFETCH(int, arrow);
    const Arrow a = arrows()[arrow];
    lk::test::FakeMidi midi;  // outlives the screens that close it
    GuiHarness h({lk::registerPracticeScreens, lk::registerMusicScreens, lk::registerEditorScreens,
                   lk::registerProgressScreens});
    h.fakes.midi = &midi;
    h.rewire();
    h.open(a.start);
    if (a.start == ScreenId::t_menu && !a.route.empty() && std::string_view(a.route.back()) == "kekka_b") {
      // t_kekka is reached through a finished drill
      QVERIFY(h.click(a.route.front()));
      finishWordDrill(h);
      QVERIFY(h.click("kekka_b"));
    } else {
      for (const char* step : a.route) QVERIFY2(h.click(step), step);
    }
    QCOMPARE(h.currentId(), a.from);
    if (a.prepare) a.prepare(h);
    QCOMPARE(h.currentId(), a.from);

    const bool choice = a.from == ScreenId::ed_select;
    const QPoint before = h.state.position.left || h.state.position.top
                              ? QPoint(int(h.state.position.left), int(h.state.position.top))
                              : QPoint();
    h.window()->move(137, 91);
    GuiHarness::settle();
    h.fakes.messages.shown.clear();
    QVERIFY2(h.click(a.button), "button missing, hidden or disabled");
    QCOMPARE(h.currentId(), a.to);
    // Only the result screen has something to say (the ranking).
    if (a.to != ScreenId::t_kekka) QVERIFY2(h.fakes.messages.shown.empty(), "the hand-over showed a message");
    if (choice) {
      // The editor choice leaves the stored position alone.
      QCOMPARE(QPoint(int(h.state.position.left), int(h.state.position.top)), before);
    } else {
      QCOMPARE(QPoint(int(h.state.position.left), int(h.state.position.top)), QPoint(137, 91));
      if (lk::screenInfo(a.to).takesPosition) QCOMPARE(h.window()->pos(), QPoint(137, 91));
    }
  }

  // One window for the whole walk: every screen is shown inside it, which
  // takes the screen's caption and size, never offers maximize, and gives
  // the keyboard focus to the new screen; the old screen is destroyed. The
  // options and version screens open as windows of their own over it.
  void oneWindowThroughAWalkOfTheGraph() {
    lk::test::FakeMidi midi;
    GuiHarness h({lk::registerPracticeScreens, lk::registerMusicScreens, lk::registerEditorScreens,
                 lk::registerProgressScreens});
    h.fakes.midi = &midi;
    h.rewire();
    QWidget* const window = h.window();
    auto programWindows = [] {
      QList<QWidget*> shown;
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !qobject_cast<QMenu*>(w) && w->windowType() != Qt::ToolTip) shown << w;
      return shown;
    };
    auto fixedWithoutMaximize = [](QWidget* w) {
      return w->minimumSize() == w->maximumSize() && !(w->windowFlags() & Qt::WindowMaximizeButtonHint) &&
             (w->windowFlags() & Qt::CustomizeWindowHint);
    };
    QPointer<lk::Screen> previous;
    auto check = [&](ScreenId id) {
      QCOMPARE(h.currentId(), id);
      lk::Screen* s = h.current();
      QVERIFY(previous.isNull());
      previous = s;
      QCOMPARE(s->window(), window);
      QList<QWidget*> shown = programWindows();
      shown.removeOne(h.version());  // beside the window when it was opened
      QCOMPARE(shown, QList<QWidget*>{window});
      QCOMPARE(window->windowTitle(), s->windowTitle());
      QCOMPARE(window->size(), s->size());
      QVERIFY(s->client()->minimumSize() == s->client()->maximumSize());
      QVERIFY(window->rect().contains(QRect(s->client()->mapTo(window, QPoint()), s->client()->size())));
      const bool menuShown = s->menuWidget() && s->menuWidget()->isVisible();
      QCOMPARE(menuShown, lk::screenInfo(id).commonMenu);
      QVERIFY(fixedWithoutMaximize(window));
      QTRY_VERIFY(QApplication::focusWidget() && s->contains(QApplication::focusWidget()));
      if (qobject_cast<lk::DrillScreen*>(s)) QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(s));
    };
    auto go = [&](const char* button, ScreenId id) {
      QVERIFY2(h.click(QString::fromLatin1(button)), button);
      check(id);
    };

    h.open(ScreenId::start);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    check(ScreenId::start);
    go("start_b", ScreenId::m_menu);
    go("tra_b", ScreenId::t_menu);
    go("tra1_b", ScreenId::t_original);
    finishWordDrill(h);
    go("kekka_b", ScreenId::t_kekka);
    go("Command1", ScreenId::t_menu);
    go("re_b", ScreenId::m_menu);
    go("midimenu_b", ScreenId::midi_menu);
    go("m1_b", ScreenId::midi_tra);
    go("re_b", ScreenId::midi_menu);
    go("re_b", ScreenId::m_menu);
    go("set_b", ScreenId::settei);
    go("next_b", ScreenId::settei2);
    go("re_b", ScreenId::m_menu);
    go("ed_b", ScreenId::ed_select);
    go("Command1", ScreenId::sakusei_a);
    go("re_b", ScreenId::m_menu);
    go("ed_b", ScreenId::ed_select);
    QTest::mouseClick(h.find<QAbstractButton>("edselect_o_1"), Qt::LeftButton);
    go("Command1", ScreenId::sakuseib);
    go("re_b", ScreenId::m_menu);

    QVERIFY(h.triggerMenu("opt_m"));
    lk::Screen* options = h.host->optionsScreen();
    QVERIFY(options && options->isWindow() && options->isVisible());
    QCOMPARE(options->parentWidget(), window);  // comes up over the window, modal
    QVERIFY(options->isModal());
    QVERIFY(fixedWithoutMaximize(options));
    QTest::mouseClick(options->findChild<QAbstractButton*>("re_b"), Qt::LeftButton);
    h.settle();
    QVERIFY(!h.host->optionsScreen());
    QCOMPARE(h.current(), previous.data());  // the menu stayed open below

    QVERIFY(h.triggerMenu("ver_m"));
    lk::Screen* ver = h.version();
    QVERIFY(ver && ver->isWindow() && ver->isVisible() && !ver->isModal());
    QCOMPARE(ver->windowTitle(), QStringLiteral("バージョン情報"));
    QVERIFY(fixedWithoutMaximize(ver));
    QCOMPARE(programWindows().size(), 2);
    window->activateWindow();  // the click on the window below activates it
    QVERIFY(QTest::qWaitForWindowActive(window));
    go("tra_b", ScreenId::t_menu);  // the version screen stays beside the window
    QVERIFY(h.version() == ver && ver->isVisible());
  }

  // Every arrow of the graph starts at a screen of the table, and every
  // screen but the two that open over another one has at least one way out.
  void everyScreenHasAWayOut() {
    for (const lk::ScreenInfo& info : lk::screenTable()) {
      if (info.id == ScreenId::ver || info.id == ScreenId::options) continue;
      bool found = false;
      for (const Arrow& a : arrows()) found = found || a.from == info.id;
      QVERIFY2(found, info.name.data());
    }
  }

  void commonMenuWhereTheScreenCarriesIt() {
    for (const lk::ScreenInfo& info : lk::screenTable()) {
      lk::test::FakeMidi midi;
      GuiHarness h({lk::registerPracticeScreens, lk::registerMusicScreens, lk::registerEditorScreens,
                   lk::registerProgressScreens});
      h.fakes.midi = &midi;
      h.rewire();
      // The version and options screens open over another screen, from its menu.
      const bool over = info.id == ScreenId::ver || info.id == ScreenId::options;
      h.open(over ? ScreenId::m_menu : info.id);
      lk::Screen* s = over ? nullptr : h.current();
      if (info.id == ScreenId::ver) {
        QVERIFY(h.triggerMenu("ver_m"));
        s = h.version();
      } else if (info.id == ScreenId::options) {
        QVERIFY(h.triggerMenu("opt_m"));
        s = h.host->optionsScreen();
      }
      QVERIFY2(s, info.name.data());
      auto* opt = s->findChild<QAction*>(QStringLiteral("opt_m"));
      auto* ver = s->findChild<QAction*>(QStringLiteral("ver_m"));
      auto* end = s->findChild<QAction*>(QStringLiteral("end_m"));
      QCOMPARE(opt != nullptr, info.commonMenu);
      QCOMPARE(ver != nullptr, info.commonMenu);
      QCOMPARE(end != nullptr, info.commonMenu);
      if (info.commonMenu) {
        const QList<QAction*> menus = s->menuBar()->actions();
        QCOMPARE(menus.size(), 1);
        QCOMPARE(menus[0]->text(), QStringLiteral("ﾒﾆｭｰ(&M)"));
        QCOMPARE(menus[0]->menu()->actions(), QList<QAction*>({opt, ver, end}));
        QCOMPARE(opt->text(), QStringLiteral("ｵﾌﾟｼｮﾝ"));
        QCOMPARE(ver->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(end->text(), QStringLiteral("終了"));
      } else {
        QVERIFY(!s->menuWidget() || s->menuBar()->actions().isEmpty());
      }
    }
  }
};

QTEST_MAIN(ScreenGraphTest)
#include "tst_screen_graph.moc"
