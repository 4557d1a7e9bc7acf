#include "editors/screens/sakuseib.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <limits>

#include "editors/melody_conversion.h"
#include "editors/screens/piano_keyboard.h"
#include "editors/screens/qt_text.h"
#include "shell/screens/screen_widgets.h"
#include "shell/app_state.h"

namespace lk {

using ui::addButton;
using ui::addLabel;
using ui::addTextBox;

using editors::px;
using editors::qs;
using editors::u16;

namespace {

// Positions below are the layout's twips (top-left corners).
QRect twips(int left, int top, int width, int height) { return QRect(px(left), px(top), px(width), px(height)); }

}  // namespace

MusicEditorScreen::MusicEditorScreen(ScreenHost& host) : EditorScreen(ScreenId::sakuseib, host) {
  QWidget* c = client();
  setClientSize(px(12000), px(8500));

  list1_ = new QListWidget(c);
  list1_->setObjectName(QStringLiteral("List1"));
  list1_->setGeometry(twips(240, 480, 3975, 6300));
  list1_->setSelectionMode(QAbstractItemView::SingleSelection);
  list1_->setAccessibleName(QStringLiteral("問題一覧"));

  addLabel(c, QStringLiteral("Label2"), QStringLiteral("問題文"), twips(4680, 480, 1500, 330));
  q_n_ = addTextBox(c, QStringLiteral("q_n"), twips(4560, 840, 5880, 400));
  q_n_->setAccessibleName(QStringLiteral("問題文"));
  addLabel(c, QStringLiteral("Label3"), QStringLiteral("ふりがな"), twips(4680, 1440, 1500, 240));
  q2_n_ = addTextBox(c, QStringLiteral("q2_n"), twips(4560, 1680, 5880, 400));
  q2_n_->setAccessibleName(QStringLiteral("ふりがな"));
  auto* hurigana_b = addButton(c, QStringLiteral("hurigana_b"), QStringLiteral("ふりがな"), twips(10560, 1680, 1200, 400));
  addLabel(c, QStringLiteral("Label4"), QStringLiteral("メロディー"), twips(4680, 2280, 1500, 240));
  q3_n_ = addTextBox(c, QStringLiteral("q3_n"), twips(4560, 2520, 7200, 400));
  q3_n_->setAccessibleName(QStringLiteral("メロディー"));

  keyboard_ = new PianoKeyboard(c);
  keyboard_->move(px(keyboardKey(0).left), px(keyboardKey(0).top));

  auto* pager_b = addButton(c, QStringLiteral("pager_b"), QStringLiteral("←"), twips(4800, 6360, 600, 400));
  p_n_ = addLabel(c, QStringLiteral("p_n"), QStringLiteral("1"), twips(5520, 6360, 600, 400), 0, Qt::AlignCenter);
  auto* pagen_b = addButton(c, QStringLiteral("pagen_b"), QStringLiteral("→"), twips(6000, 6360, 600, 400));

  addLabel(c, QStringLiteral("Label1"), QStringLiteral("TITLE:"), twips(3000, 7800, 1100, 400));
  title_n_ = addTextBox(c, QStringLiteral("title_n"), twips(4200, 7800, 3400, 400));
  title_n_->setAccessibleName(QStringLiteral("TITLE"));
  auto* yomikomi_b = addButton(c, QStringLiteral("yomikomi_b"), QStringLiteral("読み込み"), twips(9600, 6720, 1800, 600));
  auto* sakusei_b = addButton(c, QStringLiteral("sakusei_b"), QStringLiteral("作成"), twips(9600, 7680, 1800, 600));
  auto* cl_b = addButton(c, QStringLiteral("cl_b"), QStringLiteral("クリア"), twips(7800, 7800, 1500, 400));
  auto* re_b = addButton(c, QStringLiteral("re_b"), QStringLiteral("戻る"), twips(360, 7800, 1400, 400));

  connect(pagen_b, &QPushButton::clicked, this, [this] { command([](MusicEditor& e) { e.nextPage(); }); });
  connect(pager_b, &QPushButton::clicked, this, [this] { command([](MusicEditor& e) { e.previousPage(); }); });
  connect(hurigana_b, &QPushButton::clicked, this, [this] { command([](MusicEditor& e) { e.fillReading(); }); });
  connect(yomikomi_b, &QPushButton::clicked, this, [this] { command([](MusicEditor& e) { e.load(); }); });
  connect(sakusei_b, &QPushButton::clicked, this, [this] { command([](MusicEditor& e) { e.save(); }); });
  connect(cl_b, &QPushButton::clicked, this, [this] { command([](MusicEditor& e) { e.clear(); }); });
  connect(keyboard_, &PianoKeyboard::keyClicked, this,
          [this](int i) { command([i](MusicEditor& e) { e.pressKey(i); }); });
  // Mouse and keyboard alike: whatever makes an entry current shows its page.
  connect(list1_, &QListWidget::currentRowChanged, this, &MusicEditorScreen::listChosen);
  connect(list1_, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) { listChosen(list1_->row(item)); });
  connect(re_b, &QPushButton::clicked, this, [this] { leaveTo(ScreenId::m_menu); });
}

MusicEditorScreen::~MusicEditorScreen() = default;

void MusicEditorScreen::load() {
  editor_ = std::make_unique<MusicEditor>(state().problems, services());
  showEditor();
}

void MusicEditorScreen::listChosen(int row) {
  if (showing_ || row < 0) return;
  command([row](MusicEditor& e) { e.selectPage(row); });
}

bool MusicEditorScreen::hasUnsavedChanges() {
  if (!editor_) return false;
  readBoxes();
  return editor_->hasUnsavedChanges();
}

template <class Fn>
void MusicEditorScreen::command(Fn fn) {
  if (!editor_) return;
  readBoxes();
  fn(*editor_);
  showEditor();
}

void MusicEditorScreen::readBoxes() {
  editor_->view.lyric = u16(q_n_->text());
  editor_->view.reading = u16(q2_n_->text());
  editor_->view.notes = u16(q3_n_->text());
  editor_->view.title = u16(title_n_->text());
}

void MusicEditorScreen::showEditor() {
  if (!editor_) return;
  showing_ = true;
  auto set = [](QLineEdit* box, const std::u16string& text) {
    const QString t = qs(text);
    if (box->text() != t) box->setText(t);
  };
  set(q_n_, editor_->view.lyric);
  set(q2_n_, editor_->view.reading);
  set(q3_n_, editor_->view.notes);
  set(title_n_, editor_->view.title);
  p_n_->setText(qs(editor_->pageLabel()));

  const auto& entries = editor_->listEntries();
  while (list1_->count() < static_cast<int>(entries.size())) list1_->addItem(QString());
  for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
    QListWidgetItem* item = list1_->item(i);
    const QString t = qs(entries[i]);
    if (item->text() != t) item->setText(t);
  }
  if (list1_->currentRow() != editor_->selectedEntry()) list1_->setCurrentRow(editor_->selectedEntry());
  showing_ = false;
}

}  // namespace lk
