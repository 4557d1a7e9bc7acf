#include "editors/screens/editor_screen.h"

#include <QCloseEvent>
#include <QLineEdit>

#include "editors/screens/qt_text.h"

#include "shell/services.h"

namespace lk {

bool EditorScreen::mayLeave() {
  if (leaveConfirmed_ || !hasUnsavedChanges()) return true;
  MessageBoxes* messages = services().messages;
  // Without a way to ask, the work is kept rather than thrown away silently.
  leaveConfirmed_ = messages && messages->askYesNo(kDiscardChangesQuestion, kProgramName);
  return leaveConfirmed_;
}

void EditorScreen::showText(QLineEdit* box, const std::u16string& text, bool undoable) {
  const QString t = editors::qs(text);
  if (box->text() == t) return;  // keeps the cursor where nothing changed
  if (undoable) {
    editors::setTextUndoable(box, t);
  } else {
    box->setText(t);
  }
}

void EditorScreen::leaveTo(ScreenId target) {
  if (mayLeave()) handOver(target);
}

void EditorScreen::closeEvent(QCloseEvent* event) {
  if (!isClosed() && !mayLeave()) {
    event->ignore();
    return;
  }
  Screen::closeEvent(event);
}

}  // namespace lk
