#pragma once

// Support for the Qt Test files of the screens: one program run with fake
// services (state, registry, host), opening a screen by id, finding
// controls of the current screen and clicking them.
//
//   lk::test::GuiHarness h({lk::registerPracticeScreens});
//   h.open(lk::ScreenId::t_menu);
//   QVERIFY(h.click("tra1_b"));
//   QCOMPARE(h.currentId(), lk::ScreenId::t_original);

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <functional>
#include <initializer_list>
#include <memory>

#include "fakes/fake_services.h"
#include "shell/app_state.h"
#include "shell/screens/screen.h"
#include "shell/screens/screen_host.h"
#include "shell/screens/shell_screens.h"

namespace lk::test {

class GuiHarness {
 public:
  using Registration = void (*)(ScreenRegistry&);

  // The shell's screens are always registered; pass the other subsystems'
  // registration functions as needed.
  explicit GuiHarness(std::initializer_list<Registration> registrations = {}) {
    state.services = fakes.services();
    registerShellScreens(registry);
    for (Registration r : registrations) r(registry);
    host = std::make_unique<ScreenHost>(state, registry);
    QObject::connect(host.get(), &ScreenHost::finished, [this] { ++finishedCount; });
  }

  ~GuiHarness() {
    host.reset();
    settle();
  }

  // Re-reads the fakes into state.services (after setting fakes.midi etc.).
  void rewire() { state.services = fakes.services(); }

  // Opens `id` as the first screen (no hand-over; placed like any screen).
  Screen* open(ScreenId id) {
    Screen* s = host->open(id);
    settle();
    return s;
  }

  Screen* current() const { return host->current(); }
  // The program's one window, which shows the current screen; the user moves it.
  QWidget* window() const { return host->window(); }
  ScreenId currentId() const { return host->current() ? host->current()->id() : ScreenId::ver; }
  Screen* version() const { return host->versionScreen(); }

  // A control of the current screen by objectName, or nullptr.
  template <class T = QWidget>
  T* find(const QString& name) const {
    return current() ? current()->findChild<T*>(name) : nullptr;
  }

  // Clicks the button `name` of the current screen with the mouse, then lets
  // deferred deletions run. False when there is no such enabled, visible button.
  bool click(const QString& name) {
    auto* b = find<QAbstractButton>(name);
    if (!b || !b->isEnabled() || !b->isVisible()) return false;
    QTest::mouseClick(b, Qt::LeftButton);
    settle();
    return true;
  }

  // Triggers an item of the common menu of the current screen:
  // "opt_m" (ｵﾌﾟｼｮﾝ), "ver_m" (ﾊﾞｰｼﾞｮﾝ情報) or "end_m" (終了).
  bool triggerMenu(const QString& name) {
    auto* a = current() ? current()->findChild<QAction*>(name) : nullptr;
    if (!a) return false;
    a->trigger();
    settle();
    return true;
  }

  // Types text into the current screen as key presses (drill screens).
  void type(const QString& text) {
    for (QChar c : text) {
      if (!current()) return;
      QTest::keyClick(current(), c.toLatin1());
    }
    settle();
  }

  // The text a box, label or button of the current screen shows.
  QString textOf(const QString& name) const {
    if (auto* e = find<QLineEdit>(name)) return e->text();
    if (auto* l = find<QLabel>(name)) return l->text();
    if (auto* b = find<QAbstractButton>(name)) return b->text();
    return QStringLiteral("<missing>");
  }

  // Replaces what a text box holds, the text arriving as an input method
  // commits it (the way kana and kanji reach the editors' boxes). False when
  // the box is missing or did not take the text.
  bool commitInto(const QString& name, const QString& text) {
    auto* e = find<QLineEdit>(name);
    if (!e) return false;
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(e, &commit);
    return e->text() == text;
  }

  // Runs posted events, deferred deletions included.
  static void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  FakeServices fakes;
  AppState state;
  ScreenRegistry registry;
  std::unique_ptr<ScreenHost> host;
  int finishedCount = 0;  // times the host reported that the last screen closed
};

}  // namespace lk::test
