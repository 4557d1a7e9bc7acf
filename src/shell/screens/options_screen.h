#pragma once

#include <QButtonGroup>

#include "shell/screens/screen.h"

namespace lk {

// `options` ("オプション"): the options kept in luminakey.ini. It opens
// over the screen whose menu asked for it; "変 更" puts the choices in
// force and stores them, `re_b` leaves without a change. Either way the
// user is back on that screen.
class OptionsScreen : public Screen {
  Q_OBJECT

 public:
  explicit OptionsScreen(ScreenHost& host);

  void load() override;

 private:
  // Two option buttons `<name>_o_0` and `<name>_o_1` under `caption` on line `line`.
  QButtonGroup* addChoice(int line, const QString& name, const QString& caption, const QString& first,
                          const QString& second);
  void store();

  QButtonGroup* hantei_;
  QButtonGroup* guide_;
  QButtonGroup* layout_;
  QButtonGroup* cue_;
  QButtonGroup* ghost_;
};

}  // namespace lk
