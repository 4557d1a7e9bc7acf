#pragma once

// What both editor screens share: leaving them (戻る, 終了, closing the
// window) with work not saved asks first.

#include "shell/screens/screen.h"

namespace lk {

inline constexpr std::u16string_view kDiscardChangesQuestion = u"保存されていない変更があります。破棄しますか？";

class EditorScreen : public Screen {
  Q_OBJECT

 public:
  using Screen::Screen;

 protected:
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

}  // namespace lk
