#include "editors/screens/editor_widgets.h"

#include <QLineEdit>

namespace lk::editors {

ScreenTimer::ScreenTimer(QObject* parent) : QObject(parent) {
  connect(&timer_, &QTimer::timeout, this, &ScreenTimer::fire);
}

void ScreenTimer::setManual(bool manual) {
  manual_ = manual;
  if (manual_) timer_.stop();
  else if (active_) timer_.start();
}

void ScreenTimer::start() {
  active_ = true;
  if (!manual_) timer_.start();
}

void ScreenTimer::stop() {
  active_ = false;
  timer_.stop();
}

void ScreenTimer::fire() {
  if (!active_) return;
  if (single_) stop();
  emit timeout();
}

FileStatusLine::FileStatusLine(QWidget* parent, const QRect& geometry) : QLabel(parent) {
  setObjectName(QStringLiteral("status_l"));
  setGeometry(geometry);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  noticeTimer_.setSingleShot(true);
  noticeTimer_.setInterval(kSavedNoticeMs);
  // Parented so tests find it by name and step it.
  noticeTimer_.setParent(this);
  noticeTimer_.setObjectName(QStringLiteral("noticeTimer"));
  connect(&noticeTimer_, &ScreenTimer::timeout, this, [this] { setText(fileName_); });
}

void FileStatusLine::showFile(const std::filesystem::path& file) {
  fileName_ = file.empty() ? QString() : QString::fromStdU16String(file.filename().u16string());
  setToolTip(file.empty() ? QString() : QString::fromStdU16String(file.u16string()));
  if (!noticeTimer_.isActive()) setText(fileName_);
}

void FileStatusLine::showSaved() {
  setText(QStringLiteral("保存しました"));
  noticeTimer_.start();
}

void setTextUndoable(QLineEdit* box, const QString& text) {
  const QString old = box->text();
  if (old == text) return;
  if (text.startsWith(old)) {
    // Moving the cursor closes the edit before, so one Ctrl+Z takes back
    // this addition alone and not the typing it follows.
    box->setCursorPosition(0);
    box->end(false);
    box->insert(text.mid(old.size()));
  } else {
    box->selectAll();
    box->insert(text);
  }
}

}  // namespace lk::editors
