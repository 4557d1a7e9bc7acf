#include "shell/screens/screen_host.h"

#include <QGuiApplication>
#include <QLabel>
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

}  // namespace

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
    : QObject(parent), state_(state), registry_(registry) {}

ScreenHost::~ScreenHost() {
  // Screens left open when the host goes (tests, app exit) are not closed:
  // deleting them is enough and keeps finished() from firing again.
  delete options_.data();
  delete version_.data();
  delete current_.data();
}

Screen* ScreenHost::open(ScreenId id) {
  Screen* screen = registry_.create(id, *this);
  screen->setAttribute(Qt::WA_DeleteOnClose);
  const bool isVersion = id == ScreenId::ver;
  if (isVersion) {
    version_ = screen;
  } else {
    current_ = screen;
  }
  place(*screen, nullptr);
  screen->load();
  if (auto* drill = qobject_cast<DrillScreen*>(screen)) drill->applyInputRules();
  // The load may already have left this screen (it handed over or closed).
  if (screen->isClosed()) return screen;
  screen->show();
  if (!isVersion) emit screenShown(screen);
  return screen;
}

void ScreenHost::handOver(Screen& from, ScreenId target, bool storePosition) {
  if (&from != current_.data() || from.isClosed()) return;
  if (storePosition) {
    const QPoint p = from.pos();
    state_.position.top = static_cast<float>(p.y());
    state_.position.left = static_cast<float>(p.x());
  }
  handingOver_ = true;
  from.close();
  handingOver_ = false;
  open(target);
}

void ScreenHost::showVersion(Screen& over) {
  if (version_) {
    version_->raise();
    version_->activateWindow();
    return;
  }
  Screen* screen = registry_.create(ScreenId::ver, *this);
  screen->setAttribute(Qt::WA_DeleteOnClose);
  version_ = screen;
  place(*screen, &over);
  screen->load();
  screen->show();
}

void ScreenHost::showOptions(Screen& over) {
  if (options_) {
    options_->raise();
    options_->activateWindow();
    return;
  }
  Screen* screen = registry_.create(ScreenId::options, *this);
  screen->setAttribute(Qt::WA_DeleteOnClose);
  // Modal, so the screen below cannot hand over or end the program while
  // the options are open: closing them always returns to it.
  screen->setWindowModality(Qt::ApplicationModal);
  options_ = screen;
  place(*screen, &over);
  screen->load();
  screen->show();
}

void ScreenHost::screenClosed(Screen& screen) {
  if (&screen == version_.data()) {
    version_ = nullptr;
  } else if (&screen == current_.data()) {
    current_ = nullptr;
    if (handingOver_) return;
  } else {
    return;
  }
  if (!current_ && !version_) emit finished();
}

void ScreenHost::place(Screen& screen, const Screen* over) {
  if (screenInfo(screen.id()).takesPosition) {
    screen.move(static_cast<int>(std::lround(state_.position.left)), static_cast<int>(std::lround(state_.position.top)));
    return;
  }
  // Screens with a place of their own: centred over the screen they belong
  // to (the version screen), else on the desktop.
  screen.adjustSize();
  QRect area;
  if (over) {
    area = over->frameGeometry();
  } else if (QScreen* s = QGuiApplication::primaryScreen()) {
    area = s->availableGeometry();
  }
  const QSize size = screen.frameGeometry().size();
  screen.move(area.center().x() - size.width() / 2, area.center().y() - size.height() / 2);
}

}  // namespace lk
