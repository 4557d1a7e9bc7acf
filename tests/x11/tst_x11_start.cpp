// The start screen on a real X server (xcb platform, run under xvfb-run):
// in-process with fake services, and the real program from a folder of its
// own, including a first start with its two load messages. With
// LUMINAKEY_INSTALLED_PROGRAM set (e.g. /usr/bin/luminakey) the real program
// is that installed copy, run in place, its files in a scratch data folder.

#include <xcb/xcb.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "practice/ranking_table.h"
#include "shell/screens/gui_test_support.h"
#include "records/settings_file.h"

using lk::ScreenId;
using lk::test::GuiHarness;

namespace {

struct XWindow {
  QString title;
  QRect geometry;
  xcb_window_t id = 0;
};

// Viewable top-level windows as the X server sees them.
QList<XWindow> viewableWindows() {
  QList<XWindow> out;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return out;
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  auto internAtom = [c](const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
  };
  const xcb_atom_t netWmName = internAtom("_NET_WM_NAME");
  const xcb_atom_t utf8 = internAtom("UTF8_STRING");
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, screen->root), nullptr);
  if (tree) {
    xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
      xcb_get_window_attributes_reply_t* attr =
          xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
      const bool viewable = attr && attr->map_state == XCB_MAP_STATE_VIEWABLE;
      free(attr);
      if (!viewable) continue;
      XWindow w;
      w.id = children[i];
      if (auto* p = xcb_get_property_reply(c, xcb_get_property(c, 0, children[i], netWmName, utf8, 0, 256), nullptr)) {
        w.title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(p)), xcb_get_property_value_length(p));
        free(p);
      }
      if (auto* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, children[i]), nullptr)) {
        w.geometry = QRect(g->x, g->y, g->width, g->height);
        free(g);
      }
      out << w;
    }
    free(tree);
  }
  xcb_disconnect(c);
  return out;
}

// 32-bit words of a window property; empty when it is not set.
QList<quint32> windowProperty(xcb_window_t window, const char* name) {
  QList<quint32> out;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return out;
  xcb_intern_atom_reply_t* a = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
  if (a) {
    if (auto* p = xcb_get_property_reply(c, xcb_get_property(c, 0, window, a->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                                         nullptr)) {
      const auto* words = static_cast<const quint32*>(xcb_get_property_value(p));
      if (p->format == 32)
        for (int i = 0; i < xcb_get_property_value_length(p) / 4; ++i) out << words[i];
      free(p);
    }
    free(a);
  }
  xcb_disconnect(c);
  return out;
}

std::optional<XWindow> viewable(const QString& title) {
  for (const XWindow& w : viewableWindows())
    if (w.title == title) return w;
  return std::nullopt;
}

// Waits until `done` holds, for at most `ms`.
template <class F>
bool waitFor(F done, int ms = 15000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QTest::qWait(20);
  }
  return true;
}

QString installedProgram() { return qEnvironmentVariable("LUMINAKEY_INSTALLED_PROGRAM"); }

// The program to start and the folder where it keeps set.dat and rank.dat,
// optionally holding both files: a copy of the built program in a folder of
// its own (files beside it), or the installed program (files in the user's
// data folder, here a scratch XDG_DATA_HOME).
struct ProgramCopy {
  QTemporaryDir dir;
  QProcess process;

  explicit ProgramCopy(bool withFiles) {
    if (installedProgram().isEmpty()) QFile::copy(QStringLiteral(LK_LUMINAKEY_BIN), program());
    QDir().mkpath(dataFolder());
    if (withFiles) {
      const std::filesystem::path root = dataFolder().toStdString();
      lk::saveSettings(lk::KeySettings(), root / "set.dat");
      lk::saveRanking(lk::RankingTable(), root / "rank.dat");
    }
  }
  ~ProgramCopy() {
    process.kill();
    process.waitForFinished(5000);
  }
  QString program() const {
    return installedProgram().isEmpty() ? dir.path() + QStringLiteral("/luminakey") : installedProgram();
  }
  QString dataFolder() const {
    return installedProgram().isEmpty() ? dir.path() : dir.path() + QStringLiteral("/data/luminakey");
  }
  void start() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path() + QStringLiteral("/data"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program(), {});
  }
};

}  // namespace

class X11StartTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }

  void startScreenIsMappedAndHandsOverInPlace() {
    GuiHarness h;
    h.fakes.folder.write("set.dat", "");  // short file: the load message, no window waits on it
    h.open(ScreenId::start);
    QVERIFY(QTest::qWaitForWindowExposed(h.window()));
    QVERIFY(waitFor([] { return viewable(QStringLiteral("スタート画面")).has_value(); }));
    const int before = viewableWindows().size();

    h.window()->move(200, 150);
    QTRY_COMPARE(viewable(QStringLiteral("スタート画面"))->geometry.topLeft(), QPoint(200, 150));
    QVERIFY(h.click("start_b"));
    // The same X window now shows the menu: retitled in place, never unmapped.
    QVERIFY(waitFor([] { return viewable(QStringLiteral("メニュー")).has_value(); }));
    QVERIFY(!viewable(QStringLiteral("スタート画面")));
    QCOMPARE(viewable(QStringLiteral("メニュー"))->geometry.topLeft(), QPoint(200, 150));
    QCOMPARE(viewableWindows().size(), before);
    QCOMPARE(viewable(QStringLiteral("メニュー"))->geometry.size(), h.window()->size());

    // Fixed size for the window manager (minimum = maximum) and no maximize
    // among the Motif functions (MWM_FUNC_MAXIMIZE, bit 4) when it names them.
    const xcb_window_t id = viewable(QStringLiteral("メニュー"))->id;
    const QList<quint32> hints = windowProperty(id, "WM_NORMAL_HINTS");  // flags, x, y, w, h, min w/h, max w/h
    QVERIFY(hints.size() >= 9);
    QVERIFY((hints[0] & 0x30) == 0x30);  // PMinSize | PMaxSize
    QCOMPARE(hints[5], hints[7]);
    QCOMPARE(hints[6], hints[8]);
    QCOMPARE(int(hints[5]), h.window()->width());
    const QList<quint32> motif = windowProperty(id, "_MOTIF_WM_HINTS");  // flags, functions, decorations, ...
    if (motif.size() >= 2 && (motif[0] & 1) && !(motif[1] & 1)) QVERIFY(!(motif[1] & 0x10));
  }

  void realProgramShowsItsStartScreen() {
    ProgramCopy copy(true);
    copy.start();
    QVERIFY(copy.process.waitForStarted());
    QVERIFY(waitFor([] { return viewable(QStringLiteral("スタート画面")).has_value(); }));
    QCOMPARE(copy.process.state(), QProcess::Running);
  }

  // First start without set.dat and rank.dat: two messages, then the start screen.
  void firstStartShowsTheMessagesFirst() {
    if (QString::fromUtf8(LK_XDOTOOL).isEmpty()) QSKIP("xdotool is not installed");
    ProgramCopy copy(false);
    copy.start();
    QVERIFY(copy.process.waitForStarted());
    for (int message = 0; message < 2; ++message) {
      // A message box is up, the start screen is not.
      QVERIFY2(waitFor([] {
                 for (const XWindow& w : viewableWindows())
                   if (w.title != QStringLiteral("スタート画面") && w.geometry.width() > 50) return true;
                 return false;
               }),
               "no message box");
      QVERIFY(!viewable(QStringLiteral("スタート画面")));
      const int before = viewableWindows().size();
      QProcess::execute(QStringLiteral(LK_XDOTOOL), {QStringLiteral("key"), QStringLiteral("Return")});
      if (message == 0) {
        // The second box replaces the first: wait for the first to go.
        waitFor([before] { return viewableWindows().size() < before; }, 2000);
      }
    }
    QVERIFY(waitFor([] { return viewable(QStringLiteral("スタート画面")).has_value(); }));
    QVERIFY(!QFile::exists(copy.dataFolder() + "/set.dat"));  // loading writes nothing
  }
};

QTEST_MAIN(X11StartTest)
#include "tst_x11_start.moc"
