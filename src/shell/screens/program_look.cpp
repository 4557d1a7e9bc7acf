#include "shell/screens/program_look.h"

#include <QApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

namespace lk {

QIcon programIcon() {
  // Drawn from data/luminakey.svg ahead of time: no SVG plugin has to load at start.
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128})
    icon.addFile(QStringLiteral(":/icons/luminakey-%1.png").arg(size), QSize(size, size));
  return icon;
}

namespace {

// Decoding the pictures (and finding the image readers) costs more than the
// rest of the start-up's own work, so the icon comes once the first window
// is on screen; setting it then updates every open window too.
class IconAfterFirstExpose : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Expose && !done_) {
      done_ = true;
      QTimer::singleShot(0, qApp, [] { QApplication::setWindowIcon(programIcon()); });
      deleteLater();
    }
    return false;
  }

 private:
  bool done_ = false;
};

}  // namespace

bool applyProgramLook(QApplication& app) {
  // The window's app id (Wayland) names the desktop entry, whose icon and
  // name the desktop then shows for the window.
  QGuiApplication::setDesktopFileName(QStringLiteral("luminakey"));
  app.installEventFilter(new IconAfterFirstExpose(&app));
  // The file is memory-mapped, not parsed: the first window does not wait for it.
  auto* qt = new QTranslator(&app);
  if (!qt->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete qt;
    return false;
  }
  QCoreApplication::installTranslator(qt);
  return true;
}

}  // namespace lk
