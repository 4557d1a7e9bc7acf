#pragma once

// The music problem editor `sakuseib` ("ミュージック問題作成"): the page list,
// the lyric, reading and melody boxes, the melody keyboard, the page buttons,
// the title and the commands. Every rule lives in MusicEditor.

#include <memory>

#include "editors/music_editor.h"
#include "editors/screens/editor_screen.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace lk {

class PianoKeyboard;

class MusicEditorScreen : public EditorScreen {
  Q_OBJECT

 public:
  explicit MusicEditorScreen(ScreenHost& host);
  ~MusicEditorScreen() override;
  void load() override;

  MusicEditor& editor() { return *editor_; }

 protected:
  bool hasUnsavedChanges() override;

 private:
  template <class Fn>
  void command(Fn fn);
  void readBoxes();
  void showEditor();
  void listChosen(int row);

  std::unique_ptr<MusicEditor> editor_;
  QListWidget* list1_ = nullptr;
  QLineEdit* q_n_ = nullptr;
  QLineEdit* q2_n_ = nullptr;
  QLineEdit* q3_n_ = nullptr;
  QLineEdit* title_n_ = nullptr;
  QLabel* p_n_ = nullptr;
  PianoKeyboard* keyboard_ = nullptr;
  bool showing_ = false;  // the list is being refilled by us, not chosen by the user
};

}  // namespace lk
