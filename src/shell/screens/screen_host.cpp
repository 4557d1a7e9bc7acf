#include "shell/screens/screen_host.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>

#include "shell/app_state.h"
#include "shell/screens/screen.h"

namespace lk {
namespace {

// Stands in for a screen whose subsystem has not registered it.
class PlaceholderScreen : public Screen {
 public:
  PlaceholderScreen(ScreenId id, ScreenHost& host) : Screen(id, host) {
    auto* layout = new QVBoxLayout(client());
    auto* label = new QLabel(windowTitle(), client());
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    setClientSize(480, 320);
  }
};

// Fixed size on every platform: no maximize button (Qt's own Wayland title
// bar draws one unless the flags leave it out).
constexpr Qt::WindowFlags kFixedWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

}  // namespace

// The one top-level window. A main window, so that assistive technology
// sees a frame named by its title.
class ScreenWindow : public QMainWindow {
 public:
  explicit ScreenWindow(ScreenHost& host) : host_(host) {
    setObjectName(QStringLiteral("luminakey"));
    setWindowFlags(kFixedWindowFlags | Qt::WindowMinimizeButtonHint);
  }

 protected:
  // The title bar's close button closes the current screen, which may keep
  // itself open (an editor with unsaved work, a running dialog).
  void closeEvent(QCloseEvent* event) override {
    if (Screen* s = host_.current()) s->close();
    if (host_.current()) event->ignore();
  }

 private:
  ScreenHost& host_;
};

void ScreenRegistry::add(ScreenId id, Factory factory) {
  factories_[static_cast<std::size_t>(id)] = std::move(factory);
}

bool ScreenRegistry::has(ScreenId id) const { return static_cast<bool>(factories_[static_cast<std::size_t>(id)]); }

Screen* ScreenRegistry::create(ScreenId id, ScreenHost& host) const {
  const Factory& f = factories_[static_cast<std::size_t>(id)];
  if (f) return f(host);
  return new PlaceholderScreen(id, host);
}

ScreenHost::ScreenHost(AppState& state, const ScreenRegistry& registry, QObject* parent)
    : QObject(parent), state_(state), registry_(registry), window_(new ScreenWindow(*this)) {
  dialogWatch_.setInterval(10);
  connect(&dialogWatch_, &QTimer::timeout, this, &ScreenHost::runAfterDialogs);
}

ScreenHost::~ScreenHost() {
  // Screens left open when the host goes (tests, app exit) are not closed:
  // deleting them is enough and keeps finished() from firing again.
  delete options_.data();
  delete version_.data();
  delete current_.data();
  delete window_;
}

QWidget* ScreenHost::window() const { return window_; }

Screen* ScreenHost::open(ScreenId id) {
  Screen* screen = registry_.create(id, *this);
  screen->setAttribute(Qt::WA_DeleteOnClose);
  if (id == ScreenId::ver) {
    version_ = screen;
    openBeside(*screen, Qt::NonModal);
    return screen;
  }
  current_ = screen;
  embed(*screen);
  placeWindow(*screen);
  screen->load();
  if (auto* drill = qobject_cast<DrillScreen*>(screen)) drill->applyInputRules();
  // The load may already have left this screen (it handed over or closed).
  if (screen->isClosed()) return screen;
  screen->show();
  const bool first = !window_->isVisible();
  window_->show();
  // A new window is activated by the desktop; later screens only change
  // what the active window shows, so the focus moves within it.
  if (first) window_->activateWindow();
  screen->takeFocus();
  emit screenShown(screen);
  return screen;
}

void ScreenHost::embed(Screen& screen) {
  // The screen left before is closed and hidden, its deletion pending: only
  // take it out of the layout.
  window_->takeCentralWidget();
  // Reparenting forgets the control the screen gave the focus to.
  const QPointer<QWidget> chosen = screen.focusWidget();
  screen.setParent(window_);
  window_->setCentralWidget(&screen);
  if (chosen && chosen != &screen) chosen->setFocus(Qt::OtherFocusReason);
  screen.setAccessibleName(screen.windowTitle());
  window_->setWindowTitle(screen.windowTitle());
  fitWindow(screen);
}

void ScreenHost::fitWindow(Screen& screen) {
  if (&screen != current_.data() || screen.isWindow()) return;
  screen.adjustSize();
  window_->setFixedSize(screen.size());
}

void ScreenHost::handOver(Screen& from, ScreenId target, bool storePosition) {
  if (&from != current_.data() || from.isClosed()) return;
  if (afterDialogs([this, screen = QPointer<Screen>(&from), target, storePosition] {
        if (screen) handOver(*screen, target, storePosition);
      }))
    return;
  if (storePosition) {
    const QPoint p = window_->pos();
    state_.position.top = static_cast<float>(p.y());
    state_.position.left = static_cast<float>(p.x());
  }
  handingOver_ = true;
  from.close();
  handingOver_ = false;
  if (!from.isClosed()) return;  // it kept itself open
  open(target);
}

void ScreenHost::showVersion(Screen& /*over*/) {
  if (version_) {
    version_->raise();
    version_->activateWindow();
    return;
  }
  Screen* screen = registry_.create(ScreenId::ver, *this);
  screen->setAttribute(Qt::WA_DeleteOnClose);
  version_ = screen;
  openBeside(*screen, Qt::NonModal);
}

void ScreenHost::showOptions(Screen& /*over*/) {
  if (options_) {
    options_->raise();
    options_->activateWindow();
    return;
  }
  Screen* screen = registry_.create(ScreenId::options, *this);
  screen->setAttribute(Qt::WA_DeleteOnClose);
  options_ = screen;
  // Modal, so the screen below cannot hand over or end the program while
  // the options are open: closing them always returns to it.
  openBeside(*screen, Qt::ApplicationModal);
}

void ScreenHost::openBeside(Screen& screen, Qt::WindowModality modality) {
  // A child window of the program's window: it comes up over it, also on
  // desktops where the program cannot place its windows.
  screen.setParent(window_, kFixedWindowFlags);
  screen.setWindowModality(modality);
  screen.adjustSize();
  centre(screen, window_->isVisible() ? window_->frameGeometry() : QRect());
  screen.load();
  if (screen.isClosed()) return;
  screen.show();
  screen.activateWindow();
}

void ScreenHost::screenClosed(Screen& screen) {
  if (&screen == version_.data()) {
    version_ = nullptr;
  } else if (&screen == current_.data()) {
    current_ = nullptr;
    if (handingOver_) return;
    window_->hide();
  } else {
    return;
  }
  if (!current_ && !version_) emit finished();
}

void ScreenHost::placeWindow(const Screen& screen) {
  if (screenInfo(screen.id()).takesPosition) {
    window_->move(static_cast<int>(std::lround(state_.position.left)),
                  static_cast<int>(std::lround(state_.position.top)));
    return;
  }
  // Screens with a place of their own: the first is centred on the desktop,
  // later ones (the editor choice) leave the window where it is.
  if (!window_->isVisible()) centre(*window_, QRect());
}

void ScreenHost::centre(QWidget& window, const QRect& over) {
  QRect area = over;
  if (area.isEmpty())
    if (QScreen* s = QGuiApplication::primaryScreen()) area = s->availableGeometry();
  const QSize size = window.frameGeometry().size();
  window.move(area.center().x() - size.width() / 2, area.center().y() - size.height() / 2);
}

namespace {

// Message boxes and file dialogs live on the stack of the call that runs
// them, so a dialog object exists exactly as long as that call (hidden
// ones included: closed, but the call has not returned yet).
QList<QDialog*> runningDialogs() {
  QList<QDialog*> dialogs;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = qobject_cast<QDialog*>(w)) dialogs << d;
  return dialogs;
}

}  // namespace

bool ScreenHost::afterDialogs(std::function<void()> action) {
  if (runningDialogs().isEmpty()) return false;
  afterDialogs_.push_back(std::move(action));
  runAfterDialogs();
  return true;
}

void ScreenHost::runAfterDialogs() {
  // Wait until the dialogs are gone, not only hidden: the screen's code
  // after the dialog has then finished.
  const QList<QDialog*> dialogs = runningDialogs();
  if (!dialogs.isEmpty()) {
    for (QDialog* d : dialogs)
      if (d->isVisible()) d->reject();
    if (!dialogWatch_.isActive()) dialogWatch_.start();
    return;
  }
  dialogWatch_.stop();
  std::vector<std::function<void()>> actions;
  actions.swap(afterDialogs_);
  for (auto& a : actions) a();
}

}  // namespace lk
