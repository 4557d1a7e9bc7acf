#pragma once

// The registry of screen factories and the host that runs the screen chain:
// one current screen at a time, plus at most one version screen, and the
// end of the program when the last of them closes.

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>

#include "shell/screens/screen_id.h"

namespace lk {

struct AppState;
class Screen;
class ScreenHost;

// Each subsystem registers its screens from its own function (e.g.
// registerPracticeScreens(ScreenRegistry&)); the app calls them all.
class ScreenRegistry {
 public:
  // Returns a new top-level screen (no parent); the host owns it.
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

  // Creates `id` anew, places it (ScreenPosition when its row says so, else
  // its own place), runs its load and shows it. Used for the first screen
  // and by the hand-over.
  Screen* open(ScreenId id);

  // The hand-over: optionally stores from's position, closes `from`, opens
  // `target`. Ignored when `from` is not the current screen.
  void handOver(Screen& from, ScreenId target, bool storePosition);

  // Opens the version screen over `over`, or raises the one already open.
  void showVersion(Screen& over);

  // Opens the options screen over `over`, modal: `over` stays open and is
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

 signals:
  // A new current screen is shown.
  void screenShown(lk::Screen* screen);
  // The last screen has closed: the program ends (the app connects quit).
  void finished();
  // AppOptions has new values; open screens that show an option follow it.
  void optionsChanged();

 private:
  void place(Screen& screen, const Screen* over);

  AppState& state_;
  const ScreenRegistry& registry_;
  QPointer<Screen> current_;
  QPointer<Screen> version_;
  QPointer<Screen> options_;
  bool handingOver_ = false;
};

}  // namespace lk
