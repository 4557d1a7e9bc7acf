// Leaving a screen while one of its dialogs runs. Screen readers press
// buttons through the accessibility interface, which modality does not
// block, so a hand-over (or 終了) can be asked for from inside the nested
// event loop of a real file dialog or message box. The screen must outlive
// the dialog's call: the dialog closes first, then the screen changes.

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QDialog>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <type_traits>

#include "editors/screens/editor_screens.h"
#include "fakes/fake_midi.h"
#include "music/screens/music_screens.h"
#include "practice/screens/practice_screens.h"
#include "progress/screens/progress_screens.h"
#include "shell/platform/qt_services.h"
#include "shell/screens/gui_test_support.h"

using lk::ScreenId;
using lk::test::GuiHarness;

namespace {

QList<QDialog*> dialogs() {
  QList<QDialog*> out;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) out << d;
  return out;
}

// The real Qt dialogs over the host's window; each call records whether
// the screen that made it was still alive when the dialog returned.
class WatchedServices : public lk::FileDialogs, public lk::MessageBoxes {
 public:
  explicit WatchedServices(GuiHarness& h) : h_(h) {
    files_.setWindow(h.window());
    messages_.setWindow(h.window());
    h.state.services.files = this;
    h.state.services.messages = this;
  }

  std::optional<std::filesystem::path> openProblemFile() override {
    return watch([this] { return files_.openProblemFile(); });
  }
  std::optional<std::filesystem::path> saveProblemFile(const std::filesystem::path& s) override {
    return watch([&] { return files_.saveProblemFile(s); });
  }
  std::optional<std::filesystem::path> saveCsvFile() override {
    return watch([this] { return files_.saveCsvFile(); });
  }
  void show(std::u16string_view text) override {
    watch([&] {
      messages_.show(text);
      return 0;
    });
  }
  bool askYesNo(std::u16string_view text, std::u16string_view title) override {
    return watch([&] { return messages_.askYesNo(text, title); });
  }

  int calls = 0;
  int callerGoneOnReturn = 0;

 private:
  template <class F>
  std::invoke_result_t<F> watch(F call) {
    QPointer<lk::Screen> caller = h_.current();
    ++calls;
    auto result = call();
    if (caller.isNull()) ++callerGoneOnReturn;
    return result;
  }

  GuiHarness& h_;
  lk::QtFileDialogs files_;
  lk::QtMessageBoxes messages_;
};

// What a screen reader does with a button: its press action.
void pressThroughAccessibility(QAbstractButton* button) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
  QVERIFY(iface && iface->actionInterface());
  iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

struct Case {
  const char* name;
  ScreenId screen;
  std::vector<const char*> route;  // buttons from m_menu to `screen`
  const char* opener;              // the button that runs the dialog
  const char* leave;               // re_b pressed, or "end_m" (終了) triggered
  ScreenId after;                  // where the program is once the dialog is gone
};

const Case kCases[] = {
    {"training menu open dialog, back", ScreenId::t_menu, {"tra_b"}, "ori_b", "re_b", ScreenId::m_menu},
    {"training menu message, back", ScreenId::t_menu, {"tra_b"}, "orikaisi_b", "re_b", ScreenId::m_menu},
    {"training menu open dialog, quit", ScreenId::t_menu, {"tra_b"}, "ori_b", "end_m", ScreenId::ver},
    {"analysis CSV dialog, back", ScreenId::bunseki, {"tra_b", "kiroku_b"}, "csv_b", "re_b", ScreenId::t_menu},
    {"music editor load dialog, back", ScreenId::sakuseib, {"ed_b", "edselect_o_1", "Command1"}, "yomikomi_b", "re_b",
     ScreenId::m_menu},
    {"music menu open dialog, back", ScreenId::midi_menu, {"midimenu_b"}, "ori_b", "re_b", ScreenId::m_menu},
};

}  // namespace

class DialogHandOverTest : public QObject {
  Q_OBJECT

 private slots:
  void leavingWhileItsDialogRuns_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kCases)); ++i) QTest::newRow(kCases[i].name) << i;
  }

  void leavingWhileItsDialogRuns() {
    QFETCH(int, row);
    const Case& c = kCases[row];
    lk::test::FakeMidi midi;
    GuiHarness h({lk::registerPracticeScreens, lk::registerMusicScreens, lk::registerEditorScreens,
                 lk::registerProgressScreens});
    h.fakes.midi = &midi;
    h.rewire();
    WatchedServices watched(h);
    h.open(ScreenId::m_menu);
    for (const char* step : c.route) QVERIFY2(h.click(QString::fromLatin1(step)), step);
    QCOMPARE(h.currentId(), c.screen);
    if (c.screen == ScreenId::bunseki) h.current()->findChild<QTabWidget*>()->setCurrentIndex(1);
    QPointer<lk::Screen> screen = h.current();
    auto* leave = h.find<QAbstractButton>(QString::fromLatin1(c.leave));
    auto* quit = screen->findChild<QAction*>(QString::fromLatin1(c.leave));
    QVERIFY(leave || quit);

    // Inside the dialog's loop: the dialog is up over the window, then the
    // screen is left the way assistive technology leaves it.
    bool dialogSeen = false;
    QTimer::singleShot(50, [&] {
      const QList<QDialog*> up = dialogs();
      dialogSeen = up.size() == 1 && up[0]->parentWidget() == h.window();
      if (leave) {
        pressThroughAccessibility(leave);
      } else {
        quit->trigger();
      }
    });
    // Without the hand-over waiting, nothing would close the dialog.
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, [] {
      for (QDialog* d : dialogs()) d->reject();
    });
    safety.start(5000);

    auto* opener = h.find<QAbstractButton>(QString::fromLatin1(c.opener));
    QVERIFY(opener);
    opener->click();  // returns when the dialog's call has returned
    QVERIFY(safety.isActive());  // the dialog was closed for the hand-over, not by the safety
    QVERIFY(dialogSeen);
    QCOMPARE(watched.calls, 1);
    QCOMPARE(watched.callerGoneOnReturn, 0);
    if (c.after == ScreenId::ver) {
      QTRY_COMPARE(h.finishedCount, 1);
      QVERIFY(!h.current());
    } else {
      QTRY_COMPARE(h.currentId(), c.after);
      QCOMPARE(h.finishedCount, 0);
    }
    GuiHarness::settle();
    QVERIFY(screen.isNull());
    QVERIFY(dialogs().isEmpty());
  }

  // The title bar's close button while a dialog runs ends the program once
  // the dialog is gone, not under it.
  void closingTheWindowWhileADialogRuns() {
    GuiHarness h({lk::registerPracticeScreens});
    WatchedServices watched(h);
    h.open(ScreenId::t_menu);
    QPointer<lk::Screen> screen = h.current();
    QTimer::singleShot(50, [&] { h.window()->close(); });
    h.find<QAbstractButton>(QStringLiteral("ori_b"))->click();
    QCOMPARE(watched.callerGoneOnReturn, 0);
    QTRY_COMPARE(h.finishedCount, 1);
    GuiHarness::settle();
    QVERIFY(screen.isNull());
  }
};

QTEST_MAIN(DialogHandOverTest)
#include "tst_dialog_hand_over.moc"
