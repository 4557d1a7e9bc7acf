#include "editors/screens/sakusei_a.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

#include "editors/screens/editor_widgets.h"
#include "editors/screens/qt_text.h"
#include "shell/screens/screen_widgets.h"
#include "shell/app_state.h"

namespace lk {

using ui::addButton;
using ui::addLabel;
using ui::addTextBox;

using editors::qs;
using editors::u16;

TypingEditorScreen::TypingEditorScreen(ScreenHost& host) : EditorScreen(ScreenId::sakusei_a, host) {
  QWidget* c = client();
  setClientSize(780, 540);

  // Two columns of five rows: number, problem box, reading box below it.
  for (int p = 0; p < TypingEditor::kRowsPerPage; ++p) {
    const int x = p < 5 ? 16 : 400;
    const int y = 16 + (p % 5) * 66;
    num_l_[p] = addLabel(c, QStringLiteral("num_l_%1").arg(p), QString(), QRect(x, y, 36, 26), 0, Qt::AlignRight | Qt::AlignVCenter);
    q_n_[p] = addTextBox(c, QStringLiteral("q_n_%1").arg(p), QRect(x + 44, y, 316, 26));
    q2_n_[p] = addTextBox(c, QStringLiteral("q2_n_%1").arg(p), QRect(x + 44, y + 28, 316, 26));
  }
  // Focus runs through the ten problem boxes, then the ten reading boxes.
  for (int p = 0; p + 1 < TypingEditor::kRowsPerPage; ++p) setTabOrder(q_n_[p], q_n_[p + 1]);
  setTabOrder(q_n_[TypingEditor::kRowsPerPage - 1], q2_n_[0]);
  for (int p = 0; p + 1 < TypingEditor::kRowsPerPage; ++p) setTabOrder(q2_n_[p], q2_n_[p + 1]);

  const int line = 356;
  addLabel(c, QStringLiteral("Label1"), QStringLiteral("TITLE:"), QRect(16, line, 56, 26));
  title_n_ = addTextBox(c, QStringLiteral("title_n"), QRect(76, line, 250, 26));
  title_n_->setAccessibleName(QStringLiteral("TITLE"));
  auto* pager_b = addButton(c, QStringLiteral("pager_b"), QStringLiteral("←"), QRect(340, line, 40, 26));
  p_n_ = addLabel(c, QStringLiteral("p_n"), QStringLiteral("1"), QRect(384, line, 36, 26), 0, Qt::AlignCenter);
  auto* pagen_b = addButton(c, QStringLiteral("pagen_b"), QStringLiteral("→"), QRect(424, line, 40, 26));

  const int bottom = 400;
  auto* re_b = addButton(c, QStringLiteral("re_b"), QStringLiteral("戻る"), QRect(16, bottom, 80, 34));
  const char* notices[] = {
      "＊上段には問題を、下段にはその読みを入力して下さい。",
      "＊下段にアルファベットで入力した場合、その文字列は英単語と認識します。(ローマ字変換の対象となりません。)",
      "＊ダブルクォーテーション「\"」やアスタリスク「*」は使用できません。",
  };
  int noticeY = bottom - 4;
  for (int i = 0; i < 3; ++i) {
    auto* l = addLabel(c, QStringLiteral("Label%1").arg(i + 2), QString::fromUtf8(notices[i]),
                       QRect(108, noticeY, 430, i == 1 ? 52 : 34), 0, Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    noticeY += i == 1 ? 54 : 36;
  }
  auto* hurigana_b = addButton(c, QStringLiteral("hurigana_b"), QStringLiteral("ふりがな入力"), QRect(552, bottom, 104, 34));
  auto* yomikomi_b = addButton(c, QStringLiteral("yomikomi_b"), QStringLiteral("読み込み"), QRect(664, bottom, 100, 34));
  auto* cl_b = addButton(c, QStringLiteral("cl_b"), QStringLiteral("クリア"), QRect(552, bottom + 44, 104, 34));
  auto* sakusei_b = addButton(c, QStringLiteral("sakusei_b"), QStringLiteral("作成"), QRect(664, bottom + 44, 100, 34));
  status_ = new editors::FileStatusLine(c, QRect(552, bottom + 86, 212, 30));

  connectCommands({pagen_b, pager_b, hurigana_b, yomikomi_b, sakusei_b, cl_b, re_b}, editor_,
                  &TypingEditor::fillReadings, status_);
}

TypingEditorScreen::~TypingEditorScreen() = default;

void TypingEditorScreen::load() {
  editor_ = std::make_unique<TypingEditor>(state().problems, services());
  showEditor();
}

bool TypingEditorScreen::hasUnsavedChanges() {
  if (!editor_) return false;
  readBoxes();
  return editor_->hasUnsavedChanges();
}

void TypingEditorScreen::readBoxes() {
  for (int p = 0; p < TypingEditor::kRowsPerPage; ++p) {
    editor_->view.problems[p] = u16(q_n_[p]->text());
    editor_->view.readings[p] = u16(q2_n_[p]->text());
  }
  editor_->view.title = u16(title_n_->text());
}

void TypingEditorScreen::showEditor(bool undoable) {
  if (!editor_) return;
  auto set = [undoable](QLineEdit* box, const std::u16string& text) { showText(box, text, undoable); };
  for (int p = 0; p < TypingEditor::kRowsPerPage; ++p) {
    set(q_n_[p], editor_->view.problems[p]);
    set(q2_n_[p], editor_->view.readings[p]);
    const QString number = QString::number(editor_->rowNumber(p));
    num_l_[p]->setText(number);
    // A screen reader names the boxes by the row number the page shows.
    q_n_[p]->setAccessibleName(QStringLiteral("問題 ") + number);
    q2_n_[p]->setAccessibleName(QStringLiteral("読み ") + number);
  }
  set(title_n_, editor_->view.title);
  p_n_->setText(qs(editor_->pageLabel()));
  status_->showFile(editor_->currentFile());
}

}  // namespace lk
