#pragma once

// The typing problem editor `sakusei_a` ("トレーニング問題作成"): ten rows of
// problem and reading boxes, the page buttons, the title and the commands.
// Every rule lives in TypingEditor; this screen copies the boxes into it
// before a command and shows its state afterwards.

#include <array>
#include <memory>

#include "editors/typing_editor.h"
#include "editors/screens/editor_screen.h"

class QLabel;
class QLineEdit;

namespace lk {

namespace editors {
class FileStatusLine;
}

class TypingEditorScreen : public EditorScreen {
  Q_OBJECT

 public:
  explicit TypingEditorScreen(ScreenHost& host);
  ~TypingEditorScreen() override;
  void load() override;

  TypingEditor& editor() { return *editor_; }

 protected:
  bool hasUnsavedChanges() override;

  void readBoxes() override;
  void showEditor(bool undoable = false) override;

 private:

  std::unique_ptr<TypingEditor> editor_;
  std::array<QLineEdit*, TypingEditor::kRowsPerPage> q_n_{};
  std::array<QLineEdit*, TypingEditor::kRowsPerPage> q2_n_{};
  std::array<QLabel*, TypingEditor::kRowsPerPage> num_l_{};
  QLabel* p_n_ = nullptr;
  QLineEdit* title_n_ = nullptr;
  editors::FileStatusLine* status_ = nullptr;
};

}  // namespace lk
