// The program with the keyboard alone: Tab reaches every control of the
// menus, settings and editors, Enter presses the focused button (or the
// screen's default button), the editor choice works with the arrow keys,
// and on the drill screens no button can take the focus at all.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QtTest>
#include <set>

#include "editors/screens/editor_screens.h"
#include "engine/key_settings.h"
#include "fakes/fake_midi.h"
#include "music/screens/music_screens.h"
#include "practice/screens/practice_screens.h"
#include "shell/screens/gui_test_support.h"

using lk::ScreenId;
using lk::test::GuiHarness;

namespace {

// Controls a keyboard user must be able to reach with Tab. Of a group of
// option buttons only the checked one is a Tab stop; the arrows move inside.
bool isTabStop(QWidget* w) {
  if (!w->isVisibleTo(w->window()) || !w->isEnabled()) return false;
  // The melody's piano is a mouse shortcut: the melody box takes the same notes as text.
  if (w->parentWidget() && w->parentWidget()->inherits("lk::PianoKeyboard")) return false;
  if (auto* radio = qobject_cast<QRadioButton*>(w)) return radio->isChecked();
  return qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
         (qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parentWidget())) ||
         qobject_cast<QListWidget*>(w);
}

}  // namespace

class KeyboardTest : public QObject {
  Q_OBJECT

  std::unique_ptr<GuiHarness> h;
  lk::test::FakeMidi midi;

  // Opens `id` as a shown, active window, so that it has keyboard focus.
  QWidget* openActive(ScreenId id, const char* button = nullptr) {
    h->open(id);
    if (button && !h->click(QString::fromLatin1(button))) return nullptr;
    QWidget* w = h->current();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w)) return nullptr;
    return w;
  }

  static void press(Qt::Key key) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : QApplication::activeWindow(), key);
    GuiHarness::settle();
  }

 private slots:
  void init() {
    h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{
        lk::registerPracticeScreens, lk::registerMusicScreens, lk::registerEditorScreens});
    midi = lk::test::FakeMidi{};
    h->fakes.midi = &midi;
    h->rewire();
  }
  void cleanup() { h.reset(); }

  void tabReachesEveryControl_data() {
    QTest::addColumn<ScreenId>("screen");
    for (ScreenId id : {ScreenId::start, ScreenId::m_menu, ScreenId::t_menu, ScreenId::midi_menu, ScreenId::ranking,
                        ScreenId::settei, ScreenId::settei2, ScreenId::ed_select, ScreenId::sakusei_a,
                        ScreenId::sakuseib, ScreenId::t_kekka, ScreenId::o_kekka})
      QTest::newRow(lk::screenInfo(id).name.data()) << id;
  }

  void tabReachesEveryControl() {
    QFETCH(ScreenId, screen);
    QWidget* w = openActive(screen);
    QVERIFY(w);
    std::set<QWidget*> wanted;
    for (QWidget* c : w->findChildren<QWidget*>())
      if (isTabStop(c)) wanted.insert(c);
    QVERIFY(!wanted.empty());
    QVERIFY2(QApplication::focusWidget(), "no control has the focus when the screen opens");

    std::set<QWidget*> reached;
    for (int i = 0; i < 4 * int(wanted.size()) + 8 && reached.size() < wanted.size(); ++i) {
      QWidget* f = QApplication::focusWidget();
      if (f && wanted.count(f)) reached.insert(f);
      press(Qt::Key_Tab);
      QCOMPARE(h->current(), w);  // Tab never leaves the screen
    }
    QStringList missing;
    for (QWidget* c : wanted)
      if (!reached.count(c)) missing << c->objectName();
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not reached with Tab: ") + missing.join(", ")));
  }

  // Enter on the focused button presses it, whatever the button looks like.
  void enterPressesTheFocusedButton_data() {
    QTest::addColumn<ScreenId>("screen");
    QTest::addColumn<QString>("button");
    QTest::addColumn<ScreenId>("target");
    QTest::newRow("m_menu tra_b") << ScreenId::m_menu << "tra_b" << ScreenId::t_menu;
    QTest::newRow("m_menu ed_b") << ScreenId::m_menu << "ed_b" << ScreenId::ed_select;
    QTest::newRow("t_menu rank_b") << ScreenId::t_menu << "rank_b" << ScreenId::ranking;
    QTest::newRow("t_menu tra2_b") << ScreenId::t_menu << "tra2_b" << ScreenId::t_original;
    QTest::newRow("midi_menu m1_b") << ScreenId::midi_menu << "m1_b" << ScreenId::midi_tra;
    QTest::newRow("midi_menu re_b") << ScreenId::midi_menu << "re_b" << ScreenId::m_menu;
    QTest::newRow("settei next_b") << ScreenId::settei << "next_b" << ScreenId::settei2;
    QTest::newRow("ed_select Command2") << ScreenId::ed_select << "Command2" << ScreenId::m_menu;
    QTest::newRow("sakusei_a re_b") << ScreenId::sakusei_a << "re_b" << ScreenId::m_menu;
  }

  void enterPressesTheFocusedButton() {
    QFETCH(ScreenId, screen);
    QFETCH(QString, button);
    QFETCH(ScreenId, target);
    QWidget* w = openActive(screen);
    QVERIFY(w);
    auto* b = h->find<QAbstractButton>(button);
    QVERIFY(b);
    b->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), b);
    press(Qt::Key_Return);
    QCOMPARE(h->currentId(), target);
  }

  // Where the focus is on no button, Enter presses the screen's default.
  void enterPressesTheDefaultButton() {
    // settings: Enter in a list stores the page and returns to the main menu
    QWidget* w = openActive(ScreenId::settei);
    QVERIFY(w);
    auto* list = w->findChild<QComboBox*>();
    QVERIFY(list);
    list->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), list);
    press(Qt::Key_Return);
    QCOMPARE(h->currentId(), ScreenId::m_menu);
    QVERIFY(h->fakes.folder.exists("set.dat"));

    // start: the only button
    QVERIFY(openActive(ScreenId::start));
    h->fakes.messages.shown.clear();
    QTest::keyClick(h->current(), Qt::Key_Return);
    GuiHarness::settle();
    QCOMPARE(h->currentId(), ScreenId::m_menu);
  }

  // The training menu starts on the first level and walks the drills before
  // the file row and the way out; Enter on the focus starts that level.
  void trainingMenuTabOrderPutsTheDrillsFirst() {
    QWidget* w = openActive(ScreenId::t_menu);
    QVERIFY(w);
    QStringList walked;
    for (int i = 0; i < 13; ++i) {
      walked << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
      press(Qt::Key_Tab);
    }
    QCOMPARE(walked, (QStringList{"tra1_b", "tra2_b", "tra3_b", "nigate_b", "text_b", "otype_b", "o_type2_b", "o_type3_b",
                                  "ori_b", "orikaisi_b", "kiroku_b", "rank_b", "re_b"}));
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("tra1_b"));
    press(Qt::Key_Return);
    QCOMPARE(h->currentId(), ScreenId::t_original);
  }

  // Settings page 1 opens on saidai_c, and Tab walks the key lists in the
  // order of the option table (the order of set.dat).
  void settingsTabOrderStartsAtTheQuestionLimit() {
    QWidget* w = openActive(ScreenId::settei);
    QVERIFY(w);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("saidai_c"));
    const auto table = lk::keyOptionTable();
    for (int row = 0; row < lk::kFirstPageKeySettingCount; ++row) {
      press(Qt::Key_Tab);
      const std::string_view field = table[static_cast<std::size_t>(row)].field;
      QCOMPARE(QApplication::focusWidget()->objectName(),
               QString::fromLatin1(field.data(), static_cast<qsizetype>(field.size())) + QStringLiteral("_c"));
    }
  }

  // The editor choice by keyboard: arrow to "Music", Enter opens its editor.
  void editorChoiceWithTheArrowKeys() {
    QWidget* w = openActive(ScreenId::ed_select);
    QVERIFY(w);
    auto* training = h->find<QRadioButton>(QStringLiteral("edselect_o_0"));
    auto* music = h->find<QRadioButton>(QStringLiteral("edselect_o_1"));
    QVERIFY(training && music);
    training->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), music);
    QVERIFY(music->isChecked());
    press(Qt::Key_Return);
    QCOMPARE(h->currentId(), ScreenId::sakuseib);
  }

  // The drill screens, reached from their menus: no button takes the focus,
  // so a space or an Enter can never leave the drill.
  void drillButtonsNeverTakeTheFocus_data() {
    QTest::addColumn<ScreenId>("menu");
    QTest::addColumn<QString>("button");
    QTest::addColumn<ScreenId>("drill");
    QTest::newRow("t_original") << ScreenId::t_menu << "tra1_b" << ScreenId::t_original;
    QTest::newRow("o_type") << ScreenId::t_menu << "otype_b" << ScreenId::o_type;
    QTest::newRow("midi_tra") << ScreenId::midi_menu << "m2_b" << ScreenId::midi_tra;
  }

  void drillButtonsNeverTakeTheFocus() {
    QFETCH(ScreenId, menu);
    QFETCH(QString, button);
    QFETCH(ScreenId, drill);
    QWidget* w = openActive(menu, qPrintable(button));
    QVERIFY(w);
    QCOMPARE(h->currentId(), drill);
    for (auto* b : w->findChildren<QAbstractButton*>())
      QVERIFY2(b->focusPolicy() == Qt::NoFocus, qPrintable(b->objectName()));
    for (int i = 0; i < 5; ++i) press(Qt::Key_Tab);
    QVERIFY(!qobject_cast<QAbstractButton*>(QApplication::focusWidget()));
    press(Qt::Key_Space);
    press(Qt::Key_Return);
    QCOMPARE(h->currentId(), drill);
  }
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
