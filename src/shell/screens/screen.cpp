#include "shell/screens/screen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPointer>
#include <QRadioButton>

#include "shell/app_state.h"
#include "shell/screens/screen_host.h"

namespace lk {

Screen::Screen(ScreenId id, ScreenHost& host) : id_(id), host_(host), client_(new QWidget(this)) {
  const ScreenInfo& info = screenInfo(id);
  setObjectName(QString::fromUtf8(info.name.data(), static_cast<qsizetype>(info.name.size())));
  setWindowTitle(QString::fromUtf8(info.caption.data(), static_cast<qsizetype>(info.caption.size())));
  client_->setObjectName(QStringLiteral("client"));
  setCentralWidget(client_);
  if (info.commonMenu) buildCommonMenu();
}

Screen::~Screen() = default;

AppState& Screen::state() const { return host_.state(); }

Services& Screen::services() const { return host_.state().services; }

void Screen::setClientSize(int w, int h) {
  client_->setFixedSize(w, h);
  // The main window's own layout then sizes the screen to menu bar + client.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  host_.fitWindow(*this);
}

bool Screen::contains(const QWidget* widget) const {
  // isAncestorOf stops at window borders: popups and dialogs are outside.
  return widget == this || isAncestorOf(widget);
}

void Screen::takeFocus() {
  QWidget* chosen = focusWidget();
  if (chosen && chosen != this && isAncestorOf(chosen) && chosen->isVisibleTo(this) && chosen->isEnabled()) {
    chosen->setFocus(Qt::OtherFocusReason);
    return;
  }
  // The first control in tab order, as a newly opened window would pick.
  for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
    if (!isAncestorOf(w)) continue;
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(this) && w->isEnabled()) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
  setFocus(Qt::OtherFocusReason);
}

void Screen::handOver(ScreenId target) { host_.handOver(*this, target, true); }

void Screen::handOverKeepingPosition(ScreenId target) { host_.handOver(*this, target, false); }

void Screen::closeEvent(QCloseEvent* event) {
  // A screen inside a dialog's call (its file dialog, a message) is closed
  // only after that dialog; the version screen opens none.
  if (!closed_ && id_ != ScreenId::ver &&
      host_.afterDialogs([screen = QPointer<Screen>(this)] {
        if (screen) screen->close();
      })) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
  if (!event->isAccepted() || closed_) return;
  closed_ = true;
  unload();
  host_.screenClosed(*this);
}

void Screen::setDefaultButton(QPushButton* button) {
  if (default_) default_->setDefault(false);
  default_ = button;
  if (button) button->setDefault(true);
}

void Screen::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!enter || (event->modifiers() & ~Qt::KeypadModifier)) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  // Buttons outside a dialog leave Enter to their window; a text box or a
  // list that has no use for it passes it on too.
  QAbstractButton* target = qobject_cast<QAbstractButton*>(focusWidget());
  if (!target || qobject_cast<QRadioButton*>(target) || qobject_cast<QCheckBox*>(target)) target = default_;
  if (target && target->isEnabled() && target->isVisible()) {
    event->accept();
    target->click();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void Screen::buildCommonMenu() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("ﾒﾆｭｰ(&M)"));
  menu->setObjectName(QStringLiteral("menu_m"));
  QAction* options = menu->addAction(QStringLiteral("ｵﾌﾟｼｮﾝ"));
  options->setObjectName(QStringLiteral("opt_m"));
  connect(options, &QAction::triggered, this, [this] { host_.showOptions(*this); });
  QAction* version = menu->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
  version->setObjectName(QStringLiteral("ver_m"));
  connect(version, &QAction::triggered, this, [this] { host_.showVersion(*this); });
  QAction* quit = menu->addAction(QStringLiteral("終了"));
  quit->setObjectName(QStringLiteral("end_m"));
  connect(quit, &QAction::triggered, this, &QWidget::close);
}

DrillScreen::DrillScreen(ScreenId id, ScreenHost& host) : Screen(id, host) {
  // An application-wide filter sees the key before the focus widget does,
  // whichever control that is.
  qApp->installEventFilter(this);
}

DrillScreen::~DrillScreen() {
  if (qApp) qApp->removeEventFilter(this);
}

void DrillScreen::applyInputRules() {
  const Qt::InputMethodHints hints = Qt::ImhLatinOnly | Qt::ImhPreferLatin | Qt::ImhNoPredictiveText |
                                     Qt::ImhNoAutoUppercase | Qt::ImhSensitiveData;
  auto apply = [hints](QWidget* w) {
    w->setAttribute(Qt::WA_InputMethodEnabled, false);
    w->setInputMethodHints(hints);
  };
  apply(this);
  for (QWidget* w : findChildren<QWidget*>()) {
    apply(w);
    if (qobject_cast<QAbstractButton*>(w)) w->setFocusPolicy(Qt::NoFocus);
  }
  setFocusPolicy(Qt::StrongFocus);
}

void DrillScreen::takeFocus() { setFocus(Qt::OtherFocusReason); }

bool DrillScreen::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  // Keys reach the window itself when no control has the focus.
  if ((!contains(widget) && widget != window()) || !isVisible()) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QString text = key->text();
  if (text.isEmpty()) return false;
  for (QChar c : text) {
    if (isClosed()) break;  // a key that handed over ends this screen's input
    typed(c.unicode());
  }
  return true;
}

}  // namespace lk
