// The options screen: reached from the common menu of any screen, modal
// over it, and the values it puts in force and keeps in luminakey.ini.

#include <QAbstractButton>
#include <QAction>
#include <QSignalSpy>
#include <QtTest>
#include <fstream>
#include <memory>

#include "shell/screens/gui_test_support.h"
#include "shell/screens/options_store.h"

using lk::AppOptions;
using lk::KeyboardLayout;
using lk::ScreenId;
using lk::test::GuiHarness;


namespace {

std::string bytesOf(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

class TstOptions : public QObject {
  Q_OBJECT

  std::unique_ptr<GuiHarness> h;

  lk::Screen* options() const { return h->host->optionsScreen(); }
  QAbstractButton* button(const QString& name) const {
    return options() ? options()->findChild<QAbstractButton*>(name) : nullptr;
  }
  bool clickOption(const QString& name) {
    QAbstractButton* b = button(name);
    if (!b || !b->isVisible()) return false;
    QTest::mouseClick(b, Qt::LeftButton);
    GuiHarness::settle();
    return true;
  }
  bool checked(const QString& name) const { return button(name) && button(name)->isChecked(); }
  std::filesystem::path ini() const { return h->fakes.folder.root / lk::kOptionsFileName; }

 private slots:
  void init() { h = std::make_unique<GuiHarness>(); }
  void cleanup() { h.reset(); }

  // From any screen's menu: opens over it, modal, and closing it leaves the
  // user on that same screen (never a new one: a result screen would offer
  // its run to the ranking twice).
  void opensOverTheCallerAndReturnsToIt_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("leaveBy");
    QTest::newRow("m_menu, Return") << int(ScreenId::m_menu) << QStringLiteral("re_b");
    QTest::newRow("settei, 変 更") << int(ScreenId::settei) << QStringLiteral("set_b");
    QTest::newRow("start, Return") << int(ScreenId::start) << QStringLiteral("re_b");
  }
  void opensOverTheCallerAndReturnsToIt() {
    QFETCH(int, from);
    QFETCH(QString, leaveBy);
    lk::Screen* caller = h->open(static_cast<ScreenId>(from));
    QVERIFY(h->triggerMenu(QStringLiteral("opt_m")));
    QVERIFY(options());
    QCOMPARE(options()->windowTitle(), QStringLiteral("オプション"));
    // The heading says what the caption says.
    auto* heading = options()->findChild<QLabel*>(QStringLiteral("option_l"));
    QVERIFY(heading);
    QCOMPARE(heading->text(), options()->windowTitle());
    QVERIFY(options()->isVisible());
    QCOMPARE(options()->windowModality(), Qt::ApplicationModal);
    QCOMPARE(h->current(), caller);

    // A second request raises the open one.
    lk::Screen* first = options();
    QVERIFY(h->triggerMenu(QStringLiteral("opt_m")));
    QCOMPARE(options(), first);

    QVERIFY(clickOption(leaveBy));
    QVERIFY(!options());
    QCOMPARE(h->current(), caller);
    QVERIFY(caller->isVisible());
    QCOMPARE(h->finishedCount, 0);
  }

  void showsTheValuesInForce() {
    h->state.options = {true, true, KeyboardLayout::Us, false};
    h->open(ScreenId::m_menu);
    QVERIFY(h->triggerMenu(QStringLiteral("opt_m")));
    for (const char* on : {"hantei_o_1", "guide_o_0", "layout_o_1", "cue_o_1"}) QVERIFY2(checked(on), on);
    QCOMPARE(button("hantei_o_0")->text(), QStringLiteral("設定どおり"));
    QCOMPARE(button("hantei_o_1")->text(), QStringLiteral("どの綴りでも"));
    QVERIFY(clickOption("re_b"));

    h->state.options = {};
    QVERIFY(h->triggerMenu(QStringLiteral("opt_m")));
    for (const char* on : {"hantei_o_0", "guide_o_1", "layout_o_0", "cue_o_0"}) QVERIFY2(checked(on), on);
  }

  // "変 更" puts every choice in force, tells the open screens and writes
  // luminakey.ini beside set.dat, which stays byte for byte as it was;
  // Return drops the choices.
  void storeSavesAndReturnDropsTheChoices() {
    h->fakes.folder.write("set.dat", "not touched\r\n");
    const std::string setDat = bytesOf(h->fakes.folder.root / "set.dat");
    h->open(ScreenId::m_menu);
    QSignalSpy changed(h->host.get(), &lk::ScreenHost::optionsChanged);

    QVERIFY(h->triggerMenu(QStringLiteral("opt_m")));
    for (const char* c : {"hantei_o_1", "guide_o_0", "layout_o_1", "cue_o_1"}) QVERIFY(clickOption(c));
    QVERIFY(clickOption("re_b"));
    QCOMPARE(h->state.options, AppOptions{});
    QVERIFY(!std::filesystem::exists(ini()));
    QCOMPARE(changed.count(), 0);

    QVERIFY(h->triggerMenu(QStringLiteral("opt_m")));
    for (const char* c : {"hantei_o_1", "guide_o_0", "layout_o_1", "cue_o_1"}) QVERIFY(clickOption(c));
    QVERIFY(clickOption("set_b"));
    const AppOptions expected{true, true, KeyboardLayout::Us, false};
    QCOMPARE(h->state.options, expected);
    QCOMPARE(changed.count(), 1);
    QVERIFY(!options());
    QCOMPARE(lk::loadOptions(h->fakes.folder.root), expected);
    QCOMPARE(bytesOf(h->fakes.folder.root / "set.dat"), setDat);
    QVERIFY(h->fakes.messages.shown.empty());

    // And back to the defaults, which load as such.
    QVERIFY(h->triggerMenu(QStringLiteral("opt_m")));
    for (const char* c : {"hantei_o_0", "guide_o_1", "layout_o_0", "cue_o_0"}) QVERIFY(clickOption(c));
    QVERIFY(clickOption("set_b"));
    QCOMPARE(lk::loadOptions(h->fakes.folder.root), AppOptions{});
  }

  // A file that cannot be written: the choices stay in force for this run,
  // the user is told, and the screen stays open for another try.
  void failedSaveKeepsTheScreenOpen() {
    h->fakes.folder.write("blocker", "a file where the data folder should be");
    h->fakes.folder.data = h->fakes.folder.root / "blocker" / "data";
    h->open(ScreenId::m_menu);
    QVERIFY(h->triggerMenu(QStringLiteral("opt_m")));
    QVERIFY(clickOption("guide_o_0"));
    QVERIFY(clickOption("set_b"));
    QVERIFY(h->state.options.keyboardGuide);
    QCOMPARE(h->fakes.messages.shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdU16String(h->fakes.messages.shown[0]),
             QStringLiteral("オプションの保存に失敗しました。現在の設定はアプリケーションを終了させると失われます。"));
    QVERIFY(options());
  }
};

QTEST_MAIN(TstOptions)
#include "tst_options.moc"
