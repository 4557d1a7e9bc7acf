#include "editors/screens/editor_screen.h"

#include <QCloseEvent>

#include "shell/services.h"

namespace lk {

bool EditorScreen::mayLeave() {
  if (leaveConfirmed_ || !hasUnsavedChanges()) return true;
  MessageBoxes* messages = services().messages;
  // Without a way to ask, the work is kept rather than thrown away silently.
  leaveConfirmed_ = messages && messages->askYesNo(kDiscardChangesQuestion, kProgramName);
  return leaveConfirmed_;
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
