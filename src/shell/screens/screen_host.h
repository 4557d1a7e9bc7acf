#pragma once

// The registry of screen factories and the host that runs the screen chain:
// one window for the whole run showing the current screen, plus at most one
// version screen beside it, and the end of the program when the last of
// them closes.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <vector>

#include "shell/screens/screen_id.h"

namespace lk {

struct AppState;
class Screen;
class ScreenHost;
class ScreenWindow;

// Each subsystem registers its screens from its own function (e.g.
// registerPracticeScreens(ScreenRegistry&)); the app calls them all.
class ScreenRegistry {
 public:
  // Returns a new screen (no parent); the host puts it in its window and owns it.
  using Factory = std::function<Screen*(ScreenHost&)>;

  void add(ScreenId id, Factory factory);
  template <class T>
  void add(ScreenId id) {
    add(id, [](ScreenHost& host) -> Screen* { return new T(host); });
  }
  bool has(ScreenId id) const;
  // A screen of `id`; an unregistered id gives a placeholder with the right
  // caption and menu, so the chain can be walked before every screen exists.
  Screen* create(ScreenId id, ScreenHost& host) const;

 private:
  std::array<Factory, kScreenCount> factories_;
};

class ScreenHost : public QObject {
  Q_OBJECT

 public:
  ScreenHost(AppState& state, const ScreenRegistry& registry, QObject* parent = nullptr);
  ~ScreenHost() override;

  AppState& state() const { return state_; }

  // The program's one top-level window: it shows the current screen, takes
  // its caption as title and its fixed size. Message boxes and file dialogs
  // come up over it. Exists for the whole life of the host.
  QWidget* window() const;

  // Creates `id` anew, puts it in the window, places the window
  // (ScreenPosition when the screen's row says so; the first screen is
  // centred, any other stays where the window is), runs its load, shows it
  // and gives it the keyboard focus. Used for the first screen and by the
  // hand-over. The version screen opens as a window of its own.
  Screen* open(ScreenId id);

  // The hand-over: optionally stores the window's position, closes `from`,
  // opens `target`. Ignored when `from` is not the current screen. While a
  // dialog runs, the dialogs are closed first and the hand-over follows
  // once they are gone.
  void handOver(Screen& from, ScreenId target, bool storePosition);

  // Opens the version screen as a window of its own over the window that
  // shows `over`, or raises the one already open.
  void showVersion(Screen& over);

  // Opens the options screen the same way, modal: `over` stays open and is
  // where the user is when it closes. Raises the one already open.
  void showOptions(Screen& over);
  // The options screen calls this after it has put new values in force.
  void announceOptionsChanged() { emit optionsChanged(); }

  Screen* current() const { return current_; }
  Screen* versionScreen() const { return version_; }
  Screen* optionsScreen() const { return options_; }
  // False once the last screen has closed.
  bool running() const { return current_ || version_; }

  // Called by Screen::closeEvent.
  void screenClosed(Screen& screen);

  // Sizes the window to the current screen again (after setClientSize).
  void fitWindow(Screen& screen);

  // True while a message box or file dialog runs: the screen that opened it
  // is still inside the dialog's call and must not be destroyed. Then this
  // closes the dialogs, runs `action` once they are all gone and returns
  // true; else it returns false and the caller goes on at once.
  bool afterDialogs(std::function<void()> action);

 signals:
  // A new current screen is shown.
  void screenShown(lk::Screen* screen);
  // The last screen has closed: the program ends (the app connects quit).
  void finished();
  // AppOptions has new values; open screens that show an option follow it.
  void optionsChanged();

 private:
  // The version and options screens: windows of their own over the window.
  void openBeside(Screen& screen, Qt::WindowModality modality);
  void embed(Screen& screen);
  void placeWindow(const Screen& screen);
  void centre(QWidget& window, const QRect& area);
  void runAfterDialogs();

  AppState& state_;
  const ScreenRegistry& registry_;
  ScreenWindow* window_;
  QPointer<Screen> current_;
  QPointer<Screen> version_;
  QPointer<Screen> options_;
  bool handingOver_ = false;
  std::vector<std::function<void()>> afterDialogs_;
  QTimer dialogWatch_;
};

}  // namespace lk
