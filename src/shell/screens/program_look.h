#pragma once

// What makes every window look like this program's: its icon on each
// window and message box, and Qt's own dialogs (file dialogs, the overwrite
// question, Yes/No buttons) in Japanese like the rest of the program.

#include <QIcon>

class QApplication;

namespace lk {

// The program's icon in the sizes window managers ask for.
QIcon programIcon();

// Sets the app id / desktop file name `luminakey`, installs Qt's Japanese
// translation (qtbase_ja from Qt's translations folder; without it Qt keeps
// English) and, once the first window is on
// screen, the icon of every window. Call once, after the QApplication exists
// and before the first screen. True when the translation was found.
bool applyProgramLook(QApplication& app);

}  // namespace lk
