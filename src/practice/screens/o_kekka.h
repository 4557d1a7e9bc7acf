#pragma once

// The one-character drill's result screen `o_kekka`.

#include "shell/screens/screen.h"

class QLabel;

namespace lk {

class OneCharResultScreen : public Screen {
  Q_OBJECT

 public:
  explicit OneCharResultScreen(ScreenHost& host);
  void load() override;

 private:
  QLabel* title_l_;
  QLabel* label_n_;
  QLabel* label_m_;
};

}  // namespace lk
