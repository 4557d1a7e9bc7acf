// What assistive technology sees of every screen: each window's name is its
// caption, every button, list, option button and text box has a name,
// every label exposes its text, and the picture buttons carry the captions
// they show as pictures.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QtTest>

#include "editors/screens/editor_screens.h"
#include "fakes/fake_midi.h"
#include "music/screens/music_screens.h"
#include "practice/screens/practice_screens.h"
#include "progress/screens/progress_screens.h"
#include "engine/key_settings.h"
#include "shell/screens/gui_test_support.h"
#include "shell/screens/screen_id.h"

using lk::ScreenId;
using lk::test::GuiHarness;

namespace {

QString caption(ScreenId id) { return QString::fromUtf8(lk::screenInfo(id).caption.data(), lk::screenInfo(id).caption.size()); }

QString accessibleName(QObject* o) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(o);
  return iface ? iface->text(QAccessible::Name) : QString();
}

// How each screen is reached: directly, or from a menu so that the drill
// has its problem set, or through the common menu for the version screen.
struct Route {
  ScreenId id;
  ScreenId from;
  const char* button;  // nullptr: open `id` directly
};

const Route kRoutes[] = {
    {ScreenId::start, ScreenId::start, nullptr},
    {ScreenId::m_menu, ScreenId::m_menu, nullptr},
    {ScreenId::t_menu, ScreenId::t_menu, nullptr},
    {ScreenId::t_original, ScreenId::t_menu, "tra1_b"},
    {ScreenId::t_kekka, ScreenId::t_kekka, nullptr},
    {ScreenId::o_type, ScreenId::t_menu, "otype_b"},
    {ScreenId::o_kekka, ScreenId::o_kekka, nullptr},
    {ScreenId::ranking, ScreenId::ranking, nullptr},
    {ScreenId::midi_menu, ScreenId::midi_menu, nullptr},
    {ScreenId::midi_tra, ScreenId::midi_menu, "m2_b"},
    {ScreenId::settei, ScreenId::settei, nullptr},
    {ScreenId::settei2, ScreenId::settei2, nullptr},
    {ScreenId::ed_select, ScreenId::ed_select, nullptr},
    {ScreenId::sakusei_a, ScreenId::sakusei_a, nullptr},
    {ScreenId::sakuseib, ScreenId::sakuseib, nullptr},
    {ScreenId::ver, ScreenId::m_menu, nullptr},
    {ScreenId::options, ScreenId::m_menu, nullptr},
    {ScreenId::bunseki, ScreenId::t_menu, "kiroku_b"},
};

// The captions the picture buttons show as pictures.
struct PictureName {
  ScreenId screen;
  const char* button;
  const char* name;
};

const PictureName kPictures[] = {
    {ScreenId::start, "start_b", "START"},
    {ScreenId::m_menu, "tra_b", "Training"},
    {ScreenId::m_menu, "midimenu_b", "Music"},
    {ScreenId::m_menu, "set_b", "Setting"},
    {ScreenId::m_menu, "ed_b", "Editor"},
    {ScreenId::t_menu, "tra1_b", "初 級"},
    {ScreenId::t_menu, "tra2_b", "中 級"},
    {ScreenId::t_menu, "tra3_b", "上 級"},
    {ScreenId::t_menu, "otype_b", "初 級"},
    {ScreenId::t_menu, "o_type2_b", "上 級"},
    {ScreenId::t_menu, "orikaisi_b", "開 始"},
    {ScreenId::t_menu, "rank_b", "Ranking"},
    {ScreenId::t_menu, "kiroku_b", "記録"},
    {ScreenId::t_menu, "re_b", "Return"},
    {ScreenId::t_original, "re_b", "Return"},
    {ScreenId::o_type, "re_b", "Return"},
    {ScreenId::ranking, "re_b", "Return"},
    {ScreenId::midi_menu, "m1_b", "大きな古時計"},
    {ScreenId::midi_menu, "m2_b", "アルプス一万尺"},
    {ScreenId::midi_menu, "m3_b", "チューリップ"},
    {ScreenId::midi_menu, "orikaisi_b", "開始"},
    {ScreenId::midi_menu, "re_b", "Return"},
    {ScreenId::midi_tra, "re_b", "Return"},
    {ScreenId::settei, "re_b", "Return"},
    {ScreenId::settei2, "re_b", "Return"},
};

// The controls of `screen` that a screen reader names, with what is wrong
// with each one's name ("" when nothing is).
QStringList nameFaults(QWidget* screen) {
  QStringList faults;
  for (QWidget* w : screen->findChildren<QWidget*>()) {
    const QString where = w->metaObject()->className() + QStringLiteral(" ") + w->objectName();
    const QString name = accessibleName(w);
    if (auto* label = qobject_cast<QLabel*>(w)) {
      // A label names itself by its text; one showing a picture needs a name.
      if (!label->text().isEmpty() && name != label->text())
        faults << where + QStringLiteral(": name '%1' instead of its text '%2'").arg(name, label->text());
      if (label->text().isEmpty() && !label->pixmap().isNull() && name.isEmpty()) faults << where + ": picture without a name";
      continue;
    }
    const bool named = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                       qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
                       qobject_cast<QPlainTextEdit*>(w) ||
                       (qobject_cast<QAbstractItemView*>(w) && !qobject_cast<QComboBox*>(w->parentWidget()) &&
                        !w->inherits("QComboBoxListView"));
    // Parts of composite controls (a combo box's popup, a scroll bar's
    // buttons) are named by the control they belong to.
    if (!named || w->window() != screen->window() || qobject_cast<QMenuBar*>(w->parentWidget())) continue;
    if (qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parentWidget())) continue;
    if (name.trimmed().isEmpty()) faults << where + ": no accessible name";
  }
  return faults;
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

  std::unique_ptr<GuiHarness> h;
  lk::test::FakeMidi midi;

  // Opens `route`'s screen; returns it (the version screen for ver).
  QWidget* reach(const Route& route) {
    h->open(route.from);
    if (route.id == ScreenId::ver) {
      if (!h->triggerMenu(QStringLiteral("ver_m"))) return nullptr;
      return h->version();
    }
    if (route.id == ScreenId::options) {
      if (!h->triggerMenu(QStringLiteral("opt_m"))) return nullptr;
      return h->host->optionsScreen();
    }
    if (route.button && !h->click(QString::fromLatin1(route.button))) return nullptr;
    return h->currentId() == route.id ? h->current() : nullptr;
  }

 private slots:
  void init() {
    h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{
        lk::registerPracticeScreens, lk::registerMusicScreens, lk::registerEditorScreens, lk::registerProgressScreens});
    midi = lk::test::FakeMidi{};
    h->fakes.midi = &midi;
    h->rewire();
  }
  void cleanup() { h.reset(); }

  void everyControlHasAName_data() {
    QTest::addColumn<int>("route");
    for (int i = 0; i < int(std::size(kRoutes)); ++i)
      QTest::newRow(lk::screenInfo(kRoutes[i].id).name.data()) << i;
  }

  void everyControlHasAName() {
    QFETCH(int, route);
    const Route& r = kRoutes[route];
    QWidget* screen = reach(r);
    QVERIFY2(screen, "screen not reached");
    // The window announces the screen it shows.
    QCOMPARE(accessibleName(screen->window()), caption(r.id));
    const QStringList faults = nameFaults(screen);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("\n"))));
  }

  void pictureButtonsAreNamedByTheirCaptions() {
    for (const PictureName& p : kPictures) {
      const Route* route = std::find_if(std::begin(kRoutes), std::end(kRoutes),
                                        [&](const Route& r) { return r.id == p.screen; });
      QWidget* screen = reach(*route);
      QVERIFY2(screen, lk::screenInfo(p.screen).name.data());
      auto* button = screen->findChild<QAbstractButton*>(QString::fromLatin1(p.button));
      QVERIFY2(button, p.button);
      QCOMPARE(accessibleName(button), QString::fromUtf8(p.name));
      QCOMPARE(QAccessible::queryAccessibleInterface(button)->role(), QAccessible::Button);
    }
  }

  // Each key-setting list carries its kana as accessible name and is
  // labelled by the kana label, so a screen reader says "し: shi", not a
  // bare "shi" (on Linux Qt reports a list's value as its name and the
  // label through the labelled-by relation).
  void keySettingListsAreNamedByTheirKana() {
    const auto table = lk::keyOptionTable();
    int checked = 0;
    for (ScreenId page : {ScreenId::settei, ScreenId::settei2}) {
      h->open(page);
      for (const lk::KeyOption& o : table) {
        const QString field = QString::fromLatin1(o.field.data(), static_cast<qsizetype>(o.field.size()));
        auto* list = h->find<QComboBox>(field + QStringLiteral("_c"));
        if (!list) continue;
        const QString kana = QString::fromUtf16(o.kanaLabel.data(), static_cast<qsizetype>(o.kanaLabel.size()));
        QCOMPARE(list->accessibleName(), kana);
        QStringList labels;
        for (const auto& [label, relation] : QAccessible::queryAccessibleInterface(list)->relations(QAccessible::Label))
          labels << label->text(QAccessible::Name);
        QCOMPARE(labels, QStringList{kana});
        ++checked;
      }
    }
    QCOMPARE(checked, lk::kKeySettingCount);
  }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
