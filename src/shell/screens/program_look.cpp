#include "shell/screens/program_look.h"

#include <QApplication>
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

bool applyProgramLook(QApplication& app) {
  // Decoding the pictures costs more than the rest of the start-up's own
  // work, so it runs once the event loop turns: by then the first screen
  // has asked to be mapped, and setting the icon updates open windows too.
  QTimer::singleShot(0, &app, [] { QApplication::setWindowIcon(programIcon()); });
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
