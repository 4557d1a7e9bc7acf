#include "practice/screens/keyboard_guide.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <array>

#include "shell/app_state.h"
#include "shell/screens/screen.h"
#include "shell/screens/screen_host.h"
#include "shell/screens/screen_widgets.h"

namespace lk {
namespace {

constexpr int kMargin = 10;
constexpr int kMaxUnit = 34;
constexpr int kRows = 5;
constexpr int kStripGap = 8;
constexpr int kStripHeight = 28;

// Each finger's own tint, mirrored between the hands, so the zones read at a glance.
const std::array<QColor, kFingerCount> kFingerTint = {
    QColor(0xf6, 0xd5, 0xe0), QColor(0xfb, 0xe6, 0xc4), QColor(0xd8, 0xef, 0xcf), QColor(0xcf, 0xe2, 0xf6),
    QColor(0xcf, 0xe2, 0xf6), QColor(0xd8, 0xef, 0xcf), QColor(0xfb, 0xe6, 0xc4), QColor(0xf6, 0xd5, 0xe0),
    QColor(0xe5, 0xdf, 0xf4)};
const QColor kLit(0xff, 0x8a, 0x1a);
const QColor kBorder(0x6b, 0x7f, 0x93);

// The finger strip, left hand to right hand, thumb in the middle.
constexpr std::array<Finger, kFingerCount> kStrip = {Finger::LeftPinky,  Finger::LeftRing,   Finger::LeftMiddle,
                                                     Finger::LeftIndex,  Finger::Thumb,      Finger::RightIndex,
                                                     Finger::RightMiddle, Finger::RightRing, Finger::RightPinky};
constexpr std::array<char16_t, kFingerCount> kStripMark = {u'小', u'薬', u'中', u'人', u'親', u'人', u'中', u'薬', u'小'};

double unitFor(int width) { return std::min<double>(kMaxUnit, (width - 2.0 * kMargin) / 15.0); }

QString legend(const GuideKey& k) {
  switch (k.role) {
    case KeyRole::LeftShift:
    case KeyRole::RightShift:
      return QStringLiteral("Shift");
    case KeyRole::Space:
      return QString();
    case KeyRole::Character:
      break;
  }
  return QString(QChar(k.legend));
}

}  // namespace

KeyboardGuideWidget::KeyboardGuideWidget(KeyboardLayout layout, std::function<std::u16string()> next,
                                         QWidget* parent)
    : QWidget(parent), layout_(layout), next_(std::move(next)) {
  setObjectName(QStringLiteral("keyboard_guide"));
  setAccessibleName(QStringLiteral("キーボードガイド"));
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
}

int KeyboardGuideWidget::heightFor(int width) {
  return static_cast<int>(2 * kMargin + kRows * unitFor(width) + kStripGap + kStripHeight + 0.5);
}

void KeyboardGuideWidget::setKeyboardLayout(KeyboardLayout layout) {
  layout_ = layout;
  follow();
}

std::optional<GuideStroke> KeyboardGuideWidget::stroke() const {
  const std::u16string text = next_ ? next_() : std::u16string();
  if (text.empty()) return std::nullopt;
  return strokeFor(layout_, text.front());
}

QString KeyboardGuideWidget::describe() const {
  const auto s = stroke();
  if (!s) return QString();
  const QString key = s->key->role == KeyRole::Space
                          ? QStringLiteral("スペース")
                          : QStringLiteral("「%1」").arg(QChar(s->shift ? s->key->shiftedLegend : s->key->legend));
  return key + QStringLiteral("キー　") + fingerText();
}

void KeyboardGuideWidget::follow() {
  update();
  const QString text = describe();
  if (accessibleDescription() != text) setAccessibleDescription(text);
}

QString KeyboardGuideWidget::fingerText() const {
  const auto s = stroke();
  if (!s) return QString();
  QString text = ui::qs(fingerName(s->key->finger));
  if (s->shift) text += QStringLiteral(" ＋ Shift: ") + ui::qs(fingerName(s->shift->finger));
  return text;
}

double KeyboardGuideWidget::unit() const { return unitFor(width()); }

QPointF KeyboardGuideWidget::origin() const {
  return {(width() - 15.0 * unit()) / 2.0, static_cast<double>(kMargin)};
}

QRect KeyboardGuideWidget::keyRect(const GuideKey& key) const {
  const double u = unit();
  const QPointF o = origin();
  const QRectF r(o.x() + key.x * u, o.y() + key.row * u, key.width * u, u);
  return r.adjusted(1.5, 1.5, -1.5, -1.5).toRect();
}

void KeyboardGuideWidget::paintEvent(QPaintEvent*) {
  // What is painted is what is described, however the repaint came about.
  const QString description = describe();
  if (accessibleDescription() != description) setAccessibleDescription(description);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), QColor(0xee, 0xf3, 0xf8));
  const auto lit = stroke();
  const double u = unit();

  QFont keyFont = font();
  keyFont.setPixelSize(std::max(9, static_cast<int>(u * 0.36)));
  QFont smallFont = font();
  smallFont.setPixelSize(std::max(8, static_cast<int>(u * 0.26)));

  for (const GuideKey& k : guideKeys(layout_)) {
    const bool on = lit && (&k == lit->key || &k == lit->shift);
    const QRect r = keyRect(k);
    p.setPen(QPen(on ? kLit.darker(130) : kBorder, on ? 2 : 1));
    p.setBrush(on ? kLit : kFingerTint[static_cast<std::size_t>(k.finger)]);
    p.drawRoundedRect(r, 4, 4);
    p.setPen(on ? Qt::white : QColor(0x22, 0x2a, 0x33));
    if (k.role == KeyRole::Character && k.shifted && !(k.base >= u'a' && k.base <= u'z')) {
      // Signs show both characters, Shift's on top, as the keycaps do.
      p.setFont(smallFont);
      p.drawText(r.adjusted(4, 1, -2, -r.height() / 2), Qt::AlignLeft | Qt::AlignVCenter,
                 QString(QChar(k.shiftedLegend)));
      p.drawText(r.adjusted(4, r.height() / 2 - 1, -2, -1), Qt::AlignLeft | Qt::AlignVCenter, QString(QChar(k.legend)));
    } else {
      p.setFont(k.role == KeyRole::Character ? keyFont : smallFont);
      p.drawText(r, Qt::AlignCenter, legend(k));
    }
    // The home position bumps on F and J.
    if (k.base == u'f' || k.base == u'j') p.drawLine(r.center().x() - 4, r.bottom() - 5, r.center().x() + 4, r.bottom() - 5);
  }

  // The finger strip: which finger (and which for Shift) types the next key.
  const int y = static_cast<int>(origin().y() + kRows * u) + kStripGap;
  const int box = static_cast<int>(u * 0.9);
  int x = static_cast<int>(origin().x());
  p.setFont(keyFont);
  for (std::size_t i = 0; i < kStrip.size(); ++i) {
    const Finger f = kStrip[i];
    const bool on = lit && (lit->key->finger == f || (lit->shift && lit->shift->finger == f));
    const QRect r(x, y, box, kStripHeight);
    p.setPen(QPen(on ? kLit.darker(130) : kBorder, on ? 2 : 1));
    p.setBrush(on ? kLit : kFingerTint[static_cast<std::size_t>(f)]);
    p.drawRoundedRect(r, 6, 6);
    p.setPen(on ? Qt::white : QColor(0x22, 0x2a, 0x33));
    p.drawText(r, Qt::AlignCenter, QString(QChar(kStripMark[i])));
    x += box + (i == 3 || i == 4 ? box / 2 : 3);
  }
  p.setPen(QColor(0x1d, 0x4f, 0x91));
  p.drawText(QRect(x + box / 2, y, width() - x - box / 2 - kMargin, kStripHeight), Qt::AlignLeft | Qt::AlignVCenter,
             fingerText());
}

KeyboardGuide::KeyboardGuide(Screen& screen, std::function<std::u16string()> next)
    : QObject(&screen), screen_(screen), next_(std::move(next)), base_(screen.client()->size()) {
  // The next text changes only on the screen's keys and timer ticks.
  for (QTimer* t : screen.findChildren<QTimer*>()) connect(t, &QTimer::timeout, this, &KeyboardGuide::repaint);
  qApp->installEventFilter(this);
  connect(&screen.host(), &ScreenHost::optionsChanged, this, &KeyboardGuide::follow);
  follow();
}

bool KeyboardGuide::eventFilter(QObject* watched, QEvent* event) {
  // Seen before the screen handles the key; the repaint it asks for runs after.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      (screen_.contains(static_cast<QWidget*>(watched)) || watched == screen_.window())) {
    repaint();
  }
  return false;
}

void KeyboardGuide::repaint() {
  // Queued: a key is seen here before the screen has handled it.
  if (widget_) QMetaObject::invokeMethod(widget_.data(), &KeyboardGuideWidget::follow, Qt::QueuedConnection);
}

void KeyboardGuide::follow() {
  const AppOptions& o = screen_.state().options;
  if (!o.keyboardGuide) {
    if (!widget_) return;
    delete widget_.data();
    screen_.setClientSize(base_.width(), base_.height());
    return;
  }
  if (widget_) {
    widget_->setKeyboardLayout(o.layout);
    return;
  }
  const int h = KeyboardGuideWidget::heightFor(base_.width());
  widget_ = new KeyboardGuideWidget(o.layout, next_, screen_.client());
  widget_->setGeometry(0, base_.height(), base_.width(), h);
  widget_->show();
  widget_->follow();
  screen_.setClientSize(base_.width(), base_.height() + h);
}

}  // namespace lk
