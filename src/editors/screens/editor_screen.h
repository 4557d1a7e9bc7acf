#pragma once

// What both editor screens share: the command buttons, each run between
// reading the boxes into the editor's view and showing the view again; the
// fills Ctrl+Z can take back; and leaving (戻る, 終了, closing the window)
// with work not saved asks first.

#include <memory>
#include <string>

#include "editors/screens/editor_widgets.h"
#include <QAbstractButton>

#include "shell/screens/screen.h"

class QLineEdit;

namespace lk {

inline constexpr std::u16string_view kDiscardChangesQuestion = u"保存されていない変更があります。破棄しますか？";

class EditorScreen : public Screen {
  Q_OBJECT

 public:
  using Screen::Screen;

 protected:
  // The buttons both editors have, by what they do.
  struct CommandButtons {
    QAbstractButton* nextPage;
    QAbstractButton* previousPage;
    QAbstractButton* fillReading;
    QAbstractButton* load;
    QAbstractButton* save;
    QAbstractButton* clear;
    QAbstractButton* back;
  };

  // Connects the buttons to `editor`'s commands; `fill` is its reading fill,
  // whose changes stay undoable in the boxes.
  template <class Editor>
  void connectCommands(const CommandButtons& b, std::unique_ptr<Editor>& editor, void (Editor::*fill)(),
                       editors::FileStatusLine* status);

  // Runs one command of the editor between reading and refreshing the boxes.
  // With `undoable`, the boxes the command changes keep their undo history.
  template <class Editor, class Fn>
  void command(std::unique_ptr<Editor>& editor, Fn fn, bool undoable = false) {
    if (!editor) return;
    beforeCommand();
    readBoxes();
    fn(*editor);
    showEditor(undoable);
  }

  // Puts `text` in `box`; an unchanged box keeps its cursor, and with
  // `undoable` Ctrl+Z brings the old text back.
  static void showText(QLineEdit* box, const std::u16string& text, bool undoable);

  virtual void beforeCommand() {}
  virtual void readBoxes() = 0;
  virtual void showEditor(bool undoable = false) = 0;
  // True when the boxes and the editor hold work no file has.
  virtual bool hasUnsavedChanges() = 0;
  // The back button: asks first, then hands over to `target`.
  void leaveTo(ScreenId target);
  void closeEvent(QCloseEvent* event) override;

 private:
  // True when nothing is lost or the user agreed to lose it.
  bool mayLeave();

  bool leaveConfirmed_ = false;
};

template <class Editor>
void EditorScreen::connectCommands(const CommandButtons& b, std::unique_ptr<Editor>& editor, void (Editor::*fill)(),
                                   editors::FileStatusLine* status) {
  auto* self = this;
  auto* ed = &editor;
  connect(b.nextPage, &QAbstractButton::clicked, this, [self, ed] { self->command(*ed, [](Editor& e) { e.nextPage(); }); });
  connect(b.previousPage, &QAbstractButton::clicked, this,
          [self, ed] { self->command(*ed, [](Editor& e) { e.previousPage(); }); });
  connect(b.fillReading, &QAbstractButton::clicked, this,
          [self, ed, fill] { self->command(*ed, [fill](Editor& e) { (e.*fill)(); }, true); });
  connect(b.load, &QAbstractButton::clicked, this, [self, ed] { self->command(*ed, [](Editor& e) { e.load(); }); });
  connect(b.save, &QAbstractButton::clicked, this, [self, ed, status] {
    const int before = *ed ? (*ed)->savedCount() : 0;
    self->command(*ed, [](Editor& e) { e.save(); });
    if (*ed && (*ed)->savedCount() != before) status->showSaved();
  });
  connect(b.clear, &QAbstractButton::clicked, this, [self, ed] { self->command(*ed, [](Editor& e) { e.clear(); }); });
  connect(b.back, &QAbstractButton::clicked, this, [self] { self->leaveTo(ScreenId::m_menu); });
}

}  // namespace lk
