#pragma once

// Base class of every screen: caption, objectName, the common menu, the
// placement on load and the hand-over to the next screen.
//
// A screen builds its controls in its constructor (inside client()), does
// its load work in load() and releases what it holds in unload(). The host
// creates a screen anew on every visit, shows it inside the program's one
// window (ScreenHost::window()) and deletes it after it closed.

#include <QMainWindow>
#include <QPointer>
#include <QPushButton>

#include "shell/screens/screen_id.h"

namespace lk {

struct AppState;
struct Services;
class ScreenHost;

class Screen : public QMainWindow {
  Q_OBJECT

 public:
  Screen(ScreenId id, ScreenHost& host);
  ~Screen() override;

  ScreenId id() const { return id_; }
  ScreenHost& host() const { return host_; }
  AppState& state() const;
  Services& services() const;

  // Where the controls go: the area below the menu bar.
  QWidget* client() const { return client_; }
  // Fixes the client area to w × h pixels; the window follows (menu bar included).
  void setClientSize(int w, int h);

  // True for the screen itself and the controls inside it (not for the
  // dialogs or popups it opens, which are windows of their own).
  bool contains(const QWidget* widget) const;

  // Gives the keyboard focus to the control the screen chose, else to the
  // first control that takes it; drills take it themselves. The host calls
  // it whenever the screen is shown.
  virtual void takeFocus();

  // Stores this screen's position, closes it and opens `target` (placed from
  // ScreenPosition when its row says so).
  void handOver(ScreenId target);
  // The same without storing the position (the buttons of ed_select).
  void handOverKeepingPosition(ScreenId target);

  // Load work, run by the host after the screen has been placed and before
  // it is shown (so message boxes of a load come before the screen).
  virtual void load() {}

  // True from the moment the screen starts closing.
  bool isClosed() const { return closed_; }

  // The button Enter presses when the keyboard focus is on no other button
  // (a list or an option button); shown with the default look.
  void setDefaultButton(QPushButton* button);
  QPushButton* defaultButton() const { return default_; }

 protected:
  // Runs when the screen closes, for every reason: stop timers, release devices.
  virtual void unload() {}
  void closeEvent(QCloseEvent* event) override;
  // Enter presses the focused button, else the default button.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildCommonMenu();

  ScreenId id_;
  ScreenHost& host_;
  QWidget* client_;
  bool closed_ = false;
  QPointer<QPushButton> default_;
};

// A screen that receives every typed character before any control (the
// drills). The input method is off on the whole window and no button takes
// keyboard focus, so space and Enter arrive as characters, never as clicks.
// Keys with Ctrl or Alt held pass on (the menu's Alt+M keeps working).
class DrillScreen : public Screen {
  Q_OBJECT

 public:
  DrillScreen(ScreenId id, ScreenHost& host);
  ~DrillScreen() override;

  // Applies the input rules to every control created so far; the host calls
  // it before showing the screen, call it again after adding controls later.
  void applyInputRules();

  // The drill itself takes the keys, whichever control was focused before.
  void takeFocus() override;

 protected:
  // One character as the key produced it (letter case kept; space, '\r',
  // '\b', '\t' and Escape included).
  virtual void typed(char16_t ch) = 0;

  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace lk
