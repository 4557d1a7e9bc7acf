#pragma once

// settei and settei2: the two pages of the key settings. Lists are copied
// into KeySettings only when the page is turned or stored; the sound switch
// takes effect the moment it is clicked.

#include <QVector>

#include "shell/screens/screen.h"

class QComboBox;

namespace lk {

class SettingsPage : public Screen {
  Q_OBJECT

 public:
  // page 0 = settei (rows 0..41 and the two fixed settings), 1 = settei2.
  SettingsPage(int page, ScreenHost& host);

  // Selects the current KeySettings values in every list of the page.
  void load() override;

 private:
  void buildFirstPageTop(QWidget* c);
  QWidget* buildGrid(QWidget* c, int firstRow, const QVector<int>& rowsPerLine, int x, int y);
  void addButtons(QWidget* c, int y);
  // Copies the page's lists (and saidai on page 1) into KeySettings.
  void copyPage();
  void store();

  int page_;
  int firstRow_;
  int rowCount_;
  QVector<QComboBox*> lists_;  // in option-table row order
  QComboBox* saidai_ = nullptr;
};

class SetteiScreen : public SettingsPage {
  Q_OBJECT

 public:
  explicit SetteiScreen(ScreenHost& host) : SettingsPage(0, host) {}
};

class Settei2Screen : public SettingsPage {
  Q_OBJECT

 public:
  explicit Settei2Screen(ScreenHost& host) : SettingsPage(1, host) {}
};

}  // namespace lk
