#include "editors/screens/editor_widgets.h"

#include <QLineEdit>

namespace lk::editors {

FileStatusLine::FileStatusLine(QWidget* parent, const QRect& geometry) : QLabel(parent) {
  setObjectName(QStringLiteral("status_l"));
  setGeometry(geometry);
  setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  noticeTimer_.setSingleShot(true);
  noticeTimer_.setInterval(kSavedNoticeMs);
  connect(&noticeTimer_, &QTimer::timeout, this, [this] { setText(fileName_); });
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
