#include "editors/screens/sakuseib.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <limits>

#include "editors/melody_conversion.h"
#include "editors/screens/editor_widgets.h"
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

  // Rhythm comes from the reading: say so where the reading is typed.
  addLabel(c, QStringLiteral("hint_l"), QStringLiteral("＊ふりがなを空白で区切ると、区切りごとに音符が1つ付きます。"),
           twips(6240, 2110, 5520, 300), 8);
  fit_l_ = addLabel(c, QStringLiteral("fit_l"), QString(), twips(7800, 3000, 2640, 400), 0,
                    Qt::AlignRight | Qt::AlignVCenter);
  shichou_b_ = addButton(c, QStringLiteral("shichou_b"), QStringLiteral("試聴"), twips(10560, 3000, 1200, 400));

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
  status_ = new editors::FileStatusLine(c, twips(360, 8220, 11400, 270));
  setTabOrder(q3_n_, keyboard_);

  // Parented so tests find them by name and step them.
  pianoTimer_.setParent(this);
  previewTimer_.setParent(this);
  pianoTimer_.setObjectName(QStringLiteral("pianoTimer"));
  previewTimer_.setObjectName(QStringLiteral("previewTimer"));
  pianoTimer_.setSingleShot(true);
  pianoTimer_.setInterval(kPianoNoteMs);
  connect(&pianoTimer_, &editors::ScreenTimer::timeout, this, [this] {
    if (player_ && !isPreviewing()) player_->stop();
  });
  previewTimer_.setInterval(kPreviewBeatMs);
  connect(&previewTimer_, &editors::ScreenTimer::timeout, this, &MusicEditorScreen::previewStep);
  connect(shichou_b_, &QAbstractButton::clicked, this, &MusicEditorScreen::togglePreview);
  connect(q2_n_, &QLineEdit::textChanged, this, &MusicEditorScreen::showFit);
  connect(q3_n_, &QLineEdit::textChanged, this, &MusicEditorScreen::showFit);

  connectCommands({pagen_b, pager_b, hurigana_b, yomikomi_b, sakusei_b, cl_b, re_b}, editor_,
                  &MusicEditor::fillReading, status_);
  connect(keyboard_, &PianoKeyboard::keyClicked, this, &MusicEditorScreen::pianoKey);
  // Mouse and keyboard alike: whatever makes an entry current shows its page.
  connect(list1_, &QListWidget::currentRowChanged, this, &MusicEditorScreen::listChosen);
  connect(list1_, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) { listChosen(list1_->row(item)); });
}

MusicEditorScreen::~MusicEditorScreen() = default;

void MusicEditorScreen::load() {
  editor_ = std::make_unique<MusicEditor>(state().problems, services());
  // The piano sounds through the drill's synthesizer; without one it stays silent.
  player_ = std::make_unique<NotePlayer>(services().midi);
  player_->open();
  showEditor();
}

void MusicEditorScreen::unload() {
  stopPreview();
  pianoTimer_.stop();
  if (player_) player_->close();
}

void MusicEditorScreen::pianoKey(int index) {
  command(editor_, [index](MusicEditor& e) { e.pressKey(index); }, true);
  if (!player_) return;
  player_->start(keyboardNoteValue(index));
  pianoTimer_.start();
}

void MusicEditorScreen::togglePreview() {
  if (!editor_ || isPreviewing()) {
    stopPreview();
    return;
  }
  pianoTimer_.stop();
  readBoxes();
  beats_ = previewBeats(editor_->view.reading, editor_->view.notes, state().settings);
  nextBeat_ = 0;
  if (beats_.empty()) {
    stopPreview();
    return;
  }
  previewTimer_.start();
  // The caption says what a second press does.
  shichou_b_->setText(QStringLiteral("停止"));
  previewStep();
}

void MusicEditorScreen::previewStep() {
  if (nextBeat_ >= beats_.size()) {
    stopPreview();
    return;
  }
  const std::optional<int> beat = beats_[nextBeat_++];
  if (beat && player_) player_->start(*beat);
}

void MusicEditorScreen::stopPreview() {
  const bool wasPlaying = isPreviewing();
  previewTimer_.stop();
  beats_.clear();
  nextBeat_ = 0;
  shichou_b_->setText(QStringLiteral("試聴"));
  if (wasPlaying && player_) player_->stop();
}

void MusicEditorScreen::showFit() {
  const MelodyFit fit = melodyFit(u16(q2_n_->text()), u16(q3_n_->text()));
  fit_l_->setText(QStringLiteral("音符 %1 / 区切り %2").arg(fit.notes).arg(fit.groups));
  QPalette pal = fit_l_->parentWidget()->palette();
  if (!fit.fits()) pal.setColor(QPalette::WindowText, Qt::red);
  fit_l_->setPalette(pal);
}

void MusicEditorScreen::listChosen(int row) {
  if (showing_ || row < 0) return;
  command(editor_, [row](MusicEditor& e) { e.selectPage(row); });
}

bool MusicEditorScreen::hasUnsavedChanges() {
  if (!editor_) return false;
  readBoxes();
  return editor_->hasUnsavedChanges();
}

void MusicEditorScreen::beforeCommand() {
  // Whatever the command does, the line being previewed is no longer the one on screen.
  stopPreview();
}

void MusicEditorScreen::readBoxes() {
  editor_->view.lyric = u16(q_n_->text());
  editor_->view.reading = u16(q2_n_->text());
  editor_->view.notes = u16(q3_n_->text());
  editor_->view.title = u16(title_n_->text());
}

void MusicEditorScreen::showEditor(bool undoable) {
  if (!editor_) return;
  showing_ = true;
  auto set = [undoable](QLineEdit* box, const std::u16string& text) { showText(box, text, undoable); };
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
  status_->showFile(editor_->currentFile());
  showFit();
  showing_ = false;
}

}  // namespace lk
