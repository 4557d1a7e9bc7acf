#pragma once

// The music problem editor `sakuseib` ("ミュージック問題作成"): the page list,
// the lyric, reading and melody boxes, the melody keyboard, the page buttons,
// the title and the commands. Every rule lives in MusicEditor. The screen
// also sounds the piano and the preview (試聴) through the drill's MIDI
// output, opened while the screen is open, and keeps the fit line of the
// melody against the reading up to date as the user types.

#include <memory>
#include <optional>
#include <vector>

#include "editors/music_editor.h"
#include "editors/screens/editor_screen.h"
#include "editors/screens/editor_widgets.h"
#include "editors/note_player.h"

class QAbstractButton;
class QLabel;
class QLineEdit;
class QListWidget;

namespace lk {

class PianoKeyboard;
namespace editors {
class FileStatusLine;
}

class MusicEditorScreen : public EditorScreen {
  Q_OBJECT

 public:
  // How long a piano key sounds, and one beat of the preview (120 bpm).
  static constexpr int kPianoNoteMs = 300;
  static constexpr int kPreviewBeatMs = 500;

  explicit MusicEditorScreen(ScreenHost& host);
  ~MusicEditorScreen() override;
  void load() override;

  MusicEditor& editor() { return *editor_; }
  bool isPreviewing() const { return previewTimer_.isActive(); }

 protected:
  void unload() override;

 protected:
  bool hasUnsavedChanges() override;

  void beforeCommand() override;
  void readBoxes() override;
  void showEditor(bool undoable = false) override;

 private:
  void listChosen(int row);
  void pianoKey(int index);
  void togglePreview();
  void previewStep();
  void stopPreview();
  void showFit();

  std::unique_ptr<MusicEditor> editor_;
  std::unique_ptr<NotePlayer> player_;
  QListWidget* list1_ = nullptr;
  QLineEdit* q_n_ = nullptr;
  QLineEdit* q2_n_ = nullptr;
  QLineEdit* q3_n_ = nullptr;
  QLineEdit* title_n_ = nullptr;
  QLabel* p_n_ = nullptr;
  QLabel* fit_l_ = nullptr;
  QAbstractButton* shichou_b_ = nullptr;
  editors::FileStatusLine* status_ = nullptr;
  PianoKeyboard* keyboard_ = nullptr;
  editors::ScreenTimer pianoTimer_;
  editors::ScreenTimer previewTimer_;
  std::vector<std::optional<int>> beats_;
  std::size_t nextBeat_ = 0;
  bool showing_ = false;  // the list is being refilled by us, not chosen by the user
};

}  // namespace lk
