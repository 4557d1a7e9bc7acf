#pragma once

// The routing screens: start (loads set.dat and rank.dat), m_menu, ed_select.

#include "shell/screens/screen.h"

class QRadioButton;

namespace lk {

class StartScreen : public Screen {
  Q_OBJECT

 public:
  explicit StartScreen(ScreenHost& host);
  // Settings first, then the ranking; each failure message in that order.
  void load() override;
};

class MainMenuScreen : public Screen {
  Q_OBJECT

 public:
  explicit MainMenuScreen(ScreenHost& host);
};

class EditorChoiceScreen : public Screen {
  Q_OBJECT

 public:
  explicit EditorChoiceScreen(ScreenHost& host);

  // Index of the last clicked option button (0 when the screen opens).
  int choice() const { return choice_; }

 private:
  int choice_ = 0;
};

// A painted title: the program name over a row of key caps.
class TitleBanner : public QWidget {
  Q_OBJECT

 public:
  TitleBanner(const QString& title, const QString& subtitle, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_;
  QString subtitle_;
};

}  // namespace lk
