// The hand-over, the common menu, the version screen, the end of the
// program and the key preview of drill screens, on small test screens.

#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "shell/screens/gui_test_support.h"
#include "shell/screens/picture_button.h"

using lk::Screen;
using lk::ScreenHost;
using lk::ScreenId;
using lk::test::GuiHarness;

namespace {

// A screen with one button per way of leaving it.
class RouteScreen : public Screen {
 public:
  RouteScreen(ScreenId id, ScreenHost& host, ScreenId target) : Screen(id, host) {
    setClientSize(300, 200);
    auto* go = new QPushButton(QStringLiteral("go"), client());
    go->setObjectName(QStringLiteral("go_b"));
    connect(go, &QPushButton::clicked, this, [this, target] { handOver(target); });
    auto* keep = new QPushButton(QStringLiteral("keep"), client());
    keep->setObjectName(QStringLiteral("keep_b"));
    keep->move(0, 40);
    connect(keep, &QPushButton::clicked, this, [this, target] { handOverKeepingPosition(target); });
  }
  void load() override { ++loads; }
  void unload() override { ++unloads; }
  static inline int loads = 0;
  static inline int unloads = 0;
};

class TypingScreen : public lk::DrillScreen {
 public:
  explicit TypingScreen(ScreenHost& host) : DrillScreen(ScreenId::t_original, host) {
    setClientSize(300, 200);
    auto* b = new QPushButton(QStringLiteral("btn"), client());
    b->setObjectName(QStringLiteral("kekka_b"));
    connect(b, &QPushButton::clicked, this, [this] { ++clicks; });
    auto* r = lk::makeBackButton(client());
    r->move(0, 50);
    connect(r, &QPushButton::clicked, this, [this] { handOver(ScreenId::t_menu); });
  }
  QString typedText;
  int clicks = 0;

 protected:
  void typed(char16_t ch) override {
    typedText.append(QChar(ch));
    if (ch == u'q') handOver(ScreenId::t_menu);
  }
};

void registerRoutes(lk::ScreenRegistry& r) {
  r.add(ScreenId::m_menu, [](ScreenHost& h) { return new RouteScreen(ScreenId::m_menu, h, ScreenId::settei); });
  r.add(ScreenId::settei, [](ScreenHost& h) { return new RouteScreen(ScreenId::settei, h, ScreenId::m_menu); });
  r.add(ScreenId::ed_select, [](ScreenHost& h) { return new RouteScreen(ScreenId::ed_select, h, ScreenId::m_menu); });
  r.add<TypingScreen>(ScreenId::t_original);
}

}  // namespace

class ScreenHostTest : public QObject {
  Q_OBJECT

 private slots:
  void everyScreenHasItsCaptionNameAndMenu_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("menu");
    const struct {
      ScreenId id;
      const char* caption;
      bool menu;
    } rows[] = {
        {ScreenId::start, "スタート画面", true},        {ScreenId::m_menu, "メニュー", true},
        {ScreenId::t_menu, "トレーニングメニュー", true}, {ScreenId::t_original, "Form1", true},
        {ScreenId::t_kekka, "練習結果", true},           {ScreenId::o_type, "一文字トレーニング", true},
        {ScreenId::o_kekka, "一文字タイピング結果", true}, {ScreenId::ranking, "ランキング", true},
        {ScreenId::midi_menu, "ミュージックメニュー", true}, {ScreenId::midi_tra, "ミュージック", true},
        {ScreenId::settei, "セッティング", true},         {ScreenId::settei2, "セッティング", true},
        {ScreenId::ed_select, "作成選択", false},         {ScreenId::sakusei_a, "トレーニング問題作成", true},
        {ScreenId::sakuseib, "ミュージック問題作成", true}, {ScreenId::ver, "バージョン情報", false},
        {ScreenId::options, "オプション", false},         {ScreenId::bunseki, "分析", true},
    };
    for (const auto& r : rows) {
      const auto name = lk::screenInfo(r.id).name;
      QTest::newRow(std::string(name).c_str()) << static_cast<int>(r.id) << QString::fromUtf8(r.caption) << r.menu;
    }
  }

  // Placeholders stand in for unregistered screens and must already carry
  // the caption and menu of the real ones.
  void everyScreenHasItsCaptionNameAndMenu() {
    QFETCH(int, id);
    QFETCH(QString, caption);
    QFETCH(bool, menu);
    GuiHarness h;
    Screen* s = h.host->open(static_cast<ScreenId>(id));
    QCOMPARE(s->windowTitle(), caption);
    QCOMPARE(s->objectName().toStdString(), std::string(lk::screenInfo(static_cast<ScreenId>(id)).name));
    auto* bar = s->findChild<QMenuBar*>();
    const bool hasMenu = bar && !bar->actions().isEmpty();
    QCOMPARE(hasMenu, menu);
    if (menu) {
      QCOMPARE(bar->actions().size(), 1);
      QCOMPARE(bar->actions()[0]->text(), QStringLiteral("ﾒﾆｭｰ(&M)"));
      QMenu* m = bar->actions()[0]->menu();
      QCOMPARE(m->actions().size(), 3);
      QCOMPARE(m->actions()[0]->text(), QStringLiteral("ｵﾌﾟｼｮﾝ"));
      QCOMPARE(m->actions()[1]->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
      QCOMPARE(m->actions()[2]->text(), QStringLiteral("終了"));
    }
  }

  void handOverCarriesPositionAndCreatesTheTargetAnew() {
    GuiHarness h({registerRoutes});
    RouteScreen::loads = RouteScreen::unloads = 0;
    Screen* first = h.open(ScreenId::m_menu);
    h.window()->move(123, 77);
    const QPoint placed = h.window()->pos();
    QPointer<Screen> old = first;
    QVERIFY(h.click("go_b"));
    QVERIFY(old.isNull());  // destroyed on leaving
    QCOMPARE(RouteScreen::unloads, 1);
    QCOMPARE(h.currentId(), ScreenId::settei);
    QCOMPARE(h.state.position.left, float(placed.x()));
    QCOMPARE(h.state.position.top, float(placed.y()));
    QCOMPARE(h.window()->pos(), placed);

    // Going back shows the first screen, a new object, at the second's place.
    h.window()->move(300, 200);
    const QPoint second = h.window()->pos();
    QVERIFY(h.click("go_b"));
    QCOMPARE(h.currentId(), ScreenId::m_menu);
    QCOMPARE(h.window()->pos(), second);
    QCOMPARE(RouteScreen::loads, 3);
    QCOMPARE(h.finishedCount, 0);
  }

  // ed_select leaves by steps 2-4 only: the main menu comes back where it was left.
  void editorChoiceKeepsThePositionOfTheMainMenu() {
    GuiHarness h({registerRoutes});
    h.open(ScreenId::m_menu);
    h.window()->move(150, 90);
    const QPoint menuPlace = h.window()->pos();
    h.host->handOver(*h.current(), ScreenId::ed_select, true);
    h.settle();
    QCOMPARE(h.currentId(), ScreenId::ed_select);
    QCOMPARE(h.window()->pos(), menuPlace);  // the choice opens where the window is
    h.window()->move(400, 300);
    QVERIFY(h.click("keep_b"));
    QCOMPARE(h.currentId(), ScreenId::m_menu);
    QCOMPARE(h.window()->pos(), menuPlace);
  }

  void versionScreenOpensOnceAndKeepsTheProgramAlive() {
    GuiHarness h({registerRoutes});
    h.open(ScreenId::m_menu);
    QVERIFY(h.triggerMenu("ver_m"));
    QPointer<Screen> ver = h.version();
    QVERIFY(ver);
    QVERIFY(ver->isVisible());
    QCOMPARE(ver->findChild<QLabel*>("ver_l")->text(), QStringLiteral("ルミナキー　Ver.1.0"));
    QVERIFY(h.triggerMenu("ver_m"));
    QCOMPARE(h.version(), ver.data());
    int versions = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "ver" && w->isVisible()) ++versions;
    QCOMPARE(versions, 1);

    // The current screen stays usable while the version screen is open.
    QVERIFY(h.click("go_b"));
    QCOMPARE(h.currentId(), ScreenId::settei);

    QVERIFY(h.triggerMenu("end_m"));
    QVERIFY(!h.current());
    QCOMPARE(h.finishedCount, 0);  // the version screen is still open
    QVERIFY(ver->isVisible());      // though the window it came up over is gone
    QVERIFY(!h.window()->isVisible());
    QTest::mouseClick(ver->findChild<QPushButton*>("close_b"), Qt::LeftButton);
    h.settle();
    QVERIFY(ver.isNull());
    QCOMPARE(h.finishedCount, 1);
  }

  void quitEndsTheProgramAndClosingAnyOtherWayToo() {
    GuiHarness h({registerRoutes});
    h.open(ScreenId::m_menu);
    QVERIFY(h.triggerMenu("end_m"));
    QCOMPARE(h.finishedCount, 1);
    QVERIFY(!h.host->running());

    GuiHarness h2({registerRoutes});
    h2.open(ScreenId::settei);
    QVERIFY(h2.window()->close());  // the title bar's close button
    h2.settle();
    QCOMPARE(h2.finishedCount, 1);
    QVERIFY(!h2.window()->isVisible());
  }

  // Space, Enter and Backspace are characters of the drill, never clicks.
  void drillScreenTakesEveryCharacterBeforeTheControls() {
    GuiHarness h({registerRoutes});
    auto* drill = static_cast<TypingScreen*>(h.open(ScreenId::t_original));
    auto* button = drill->findChild<QPushButton*>("kekka_b");
    QCOMPARE(button->focusPolicy(), Qt::NoFocus);
    QVERIFY(!drill->testAttribute(Qt::WA_InputMethodEnabled));
    button->setFocus();  // even a focused button must not see the keys
    QTest::keyClick(button, Qt::Key_Space);
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(drill, 'A');
    QTest::keyClick(drill, 'b');
    QTest::keyClick(drill, Qt::Key_Backspace);
    QCOMPARE(drill->typedText, QString(QStringLiteral(" \rAb\b")));
    QCOMPARE(drill->clicks, 0);
    // Picture buttons are named for assistive tools by their caption.
    QCOMPARE(drill->findChild<lk::PictureButton*>("re_b")->accessibleName(), QStringLiteral("Return"));
    // A key that hands over ends the drill's input at once.
    QPointer<Screen> old = drill;
    h.type(QStringLiteral("qz"));
    QVERIFY(old.isNull());
    QCOMPARE(h.currentId(), ScreenId::t_menu);
  }
};

QTEST_MAIN(ScreenHostTest)
#include "tst_screen_host.moc"
