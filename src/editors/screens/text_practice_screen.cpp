#include "editors/screens/text_practice_screen.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QTimer>

#include "editors/screens/qt_text.h"
#include "engine/input_text.h"
#include "shell/app_state.h"
#include "shell/screens/picture_button.h"
#include "records/text_file.h"

namespace lk {

using editors::qs;
using editors::u16;
using ui::addLabel;

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 560;
constexpr int kTextColumn = 0;
constexpr int kReadingColumn = 1;
const QColor kUnknownColor(0xd0, 0x20, 0x20);
const QColor kUnknownBackground(0xfb, 0xe3, 0xe3);
constexpr int kSavedNoticeMs = 3000;

// Stands in when the build has no dictionary: every reading is unknown.
class NoLookup : public ReadingLookup {
 public:
  std::u16string hurigana(std::u16string_view) override { return {}; }
};

}  // namespace

TextPracticeScreen::TextPracticeScreen(ScreenHost& host) : Screen(ScreenId::text_practice, host) {
  QWidget* c = client();
  c->setObjectName(QStringLiteral("client"));
  c->setStyleSheet(QStringLiteral("QWidget#client { background: #eef3f8; }"));
  setClientSize(kWidth, kHeight);

  addLabel(c, QStringLiteral("Label1"), QStringLiteral("テキスト練習"), QRect(20, 10, 300, 40), 20,
           Qt::AlignLeft | Qt::AlignVCenter, true);
  auto* re_b = makeBackButton(c);
  re_b->setGeometry(600, 12, 100, 36);
  connect(re_b, &QPushButton::clicked, this, [this] { handOver(ScreenId::t_menu); });

  honbun_n_ = new QPlainTextEdit(c);
  honbun_n_->setObjectName(QStringLiteral("honbun_n"));
  honbun_n_->setGeometry(20, 56, 680, 150);
  honbun_n_->setAccessibleName(QStringLiteral("本文"));
  honbun_n_->setPlaceholderText(QStringLiteral("練習したい文章を貼り付けてください"));

  auto* hiraku_b = new QPushButton(QStringLiteral("ファイルを開く"), c);
  hiraku_b->setObjectName(QStringLiteral("hiraku_b"));
  hiraku_b->setGeometry(20, 214, 140, 34);
  connect(hiraku_b, &QPushButton::clicked, this, &TextPracticeScreen::openFile);
  yomi_b_ = new QPushButton(QStringLiteral("読みを付ける"), c);
  yomi_b_->setObjectName(QStringLiteral("yomi_b"));
  yomi_b_->setGeometry(170, 214, 140, 34);
  connect(yomi_b_, &QPushButton::clicked, this, &TextPracticeScreen::startReading);
  shinkou_p_ = new QProgressBar(c);
  shinkou_p_->setObjectName(QStringLiteral("shinkou_p"));
  shinkou_p_->setGeometry(330, 220, 370, 22);
  shinkou_p_->setRange(0, 100);
  shinkou_p_->hide();

  mondai_l_ = new QTableWidget(0, 2, c);
  mondai_l_->setObjectName(QStringLiteral("mondai_l"));
  mondai_l_->setGeometry(20, 256, 680, 222);
  mondai_l_->setHorizontalHeaderLabels({QStringLiteral("問題"), QStringLiteral("読み")});
  mondai_l_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  mondai_l_->setSelectionBehavior(QAbstractItemView::SelectRows);
  mondai_l_->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(mondai_l_, &QTableWidget::cellChanged, this, &TextPracticeScreen::readingEdited);

  auto* sakujo_b = new QPushButton(QStringLiteral("削除"), c);
  sakujo_b->setObjectName(QStringLiteral("sakujo_b"));
  sakujo_b->setGeometry(20, 490, 80, 34);
  connect(sakujo_b, &QPushButton::clicked, this, &TextPracticeScreen::removeRow);
  addLabel(c, QStringLiteral("Label2"), QStringLiteral("タイトル"), QRect(112, 492, 70, 30), 11);
  title_n_ = new QLineEdit(c);
  title_n_->setObjectName(QStringLiteral("title_n"));
  title_n_->setGeometry(182, 492, 270, 30);
  status_l_ = addLabel(c, QStringLiteral("status_l"), QString(), QRect(20, 528, 440, 26), 10);

  auto* hozon_b = new QPushButton(QStringLiteral("保存"), c);
  hozon_b->setObjectName(QStringLiteral("hozon_b"));
  hozon_b->setGeometry(470, 490, 100, 34);
  connect(hozon_b, &QPushButton::clicked, this, &TextPracticeScreen::save);
  auto* kaisi_b = new PictureButton(QStringLiteral("開 始"), c);
  kaisi_b->setObjectName(QStringLiteral("kaisi_b"));
  kaisi_b->setGeometry(590, 484, 110, 44);
  kaisi_b->setColor(QColor(0xd0, 0x6a, 0x1f));
  connect(kaisi_b, &QPushButton::clicked, this, &TextPracticeScreen::start);

  honbun_n_->setFocus();
}

TextPracticeScreen::~TextPracticeScreen() { stopWorker(); }

void TextPracticeScreen::load() { title_n_->setPlaceholderText(QStringLiteral("(文章の最初の20文字)")); }

void TextPracticeScreen::unload() { stopWorker(); }

void TextPracticeScreen::stopWorker() {
  if (!worker_) return;
  job_->cancel = true;
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  job_.reset();
}

void TextPracticeScreen::openFile() {
  if (!services().files) return;
  const auto chosen = services().files->openProblemFile();
  if (!chosen) return;
  const std::optional<std::string> bytes = readFileBytes(*chosen);
  const std::optional<DecodedText> decoded = bytes ? decodeText(*bytes) : std::nullopt;
  if (!decoded) {
    if (services().messages) services().messages->show(bytes ? kMsgFileNotReadable : kMsgMenuReadFailed);
    return;
  }
  honbun_n_->setPlainText(qs(decoded->text));
}

void TextPracticeScreen::startReading() {
  if (worker_) return;
  auto job = std::make_shared<Job>();
  job->text = foldInputVariants(u16(honbun_n_->toPlainText()));
  ReadingLookup* lookup = services().reading;
  job_ = job;
  yomi_b_->setEnabled(false);
  shinkou_p_->setValue(0);
  shinkou_p_->show();
  status_l_->setText(QStringLiteral("読みを付けています…"));
  // The worker owns nothing of the screen: it reads the job and posts its
  // progress; the screen waits for it before it goes.
  worker_ = QThread::create([bar = shinkou_p_, job, lookup] {
    static NoLookup none;
    int shown = -1;
    job->questions = readText(job->text, lookup ? *lookup : none, [&](std::size_t done, std::size_t total) {
      const int percent = total ? static_cast<int>(done * 100 / total) : 100;
      if (percent != shown) {
        shown = percent;
        QMetaObject::invokeMethod(bar, "setValue", Qt::QueuedConnection, Q_ARG(int, percent));
      }
      return !job->cancel.load();
    });
  });
  connect(worker_, &QThread::finished, this, &TextPracticeScreen::readingDone, Qt::QueuedConnection);
  worker_->start();
}

void TextPracticeScreen::readingDone() {
  if (!worker_) return;
  worker_->wait();
  delete worker_;
  worker_ = nullptr;
  std::shared_ptr<Job> job = std::move(job_);
  yomi_b_->setEnabled(true);
  shinkou_p_->hide();
  status_l_->clear();
  if (!job || job->cancel) return;
  questions_ = std::move(job->questions);
  readText_ = std::move(job->text);
  showQuestions();
  for (std::size_t i = 0; i < questions_.size(); ++i) {
    if (!questions_[i].known()) {
      mondai_l_->selectRow(static_cast<int>(i));
      if (services().messages) services().messages->show(numberedMessage(kMsgUnknownReading, static_cast<int>(i) + 1));
      break;
    }
  }
}

void TextPracticeScreen::showQuestions() {
  filling_ = true;
  mondai_l_->setRowCount(static_cast<int>(questions_.size()));
  for (int row = 0; row < static_cast<int>(questions_.size()); ++row) {
    const TextQuestion& q = questions_[static_cast<std::size_t>(row)];
    auto* text = new QTableWidgetItem(qs(q.text));
    text->setFlags(text->flags() & ~Qt::ItemIsEditable);
    mondai_l_->setItem(row, kTextColumn, text);
    mondai_l_->setItem(row, kReadingColumn, new QTableWidgetItem(qs(q.reading)));
    markRow(row);
  }
  filling_ = false;
}

void TextPracticeScreen::markRow(int row) {
  const bool known = questions_[static_cast<std::size_t>(row)].known();
  const bool was = filling_;
  filling_ = true;
  for (int column : {kTextColumn, kReadingColumn}) {
    QTableWidgetItem* item = mondai_l_->item(row, column);
    if (!item) continue;
    item->setForeground(known ? QBrush() : QBrush(kUnknownColor));
    item->setBackground(known ? QBrush() : QBrush(kUnknownBackground));
  }
  filling_ = was;
}

void TextPracticeScreen::readingEdited(int row, int column) {
  if (filling_ || column != kReadingColumn || row < 0 || row >= static_cast<int>(questions_.size())) return;
  std::u16string reading = foldedReading(u16(mondai_l_->item(row, column)->text()));
  if (reading.find_first_not_of(u" \u3000") == std::u16string::npos) reading.clear();
  questions_[static_cast<std::size_t>(row)].reading = std::move(reading);
  markRow(row);
}

void TextPracticeScreen::removeRow() {
  const int row = mondai_l_->currentRow();
  if (row < 0 || row >= static_cast<int>(questions_.size())) return;
  questions_.erase(questions_.begin() + row);
  filling_ = true;
  mondai_l_->removeRow(row);
  filling_ = false;
}

std::u16string TextPracticeScreen::title() const {
  const std::u16string typed = foldInputVariants(u16(title_n_->text()));
  if (typed.find_first_not_of(u" \u3000") != std::u16string::npos) return typed;
  return defaultTextTitle(readText_);
}

bool TextPracticeScreen::checkQuestions() {
  if (worker_) return false;
  const std::optional<QuestionFault> fault = firstFault(questions_);
  if (!fault) return true;
  if (fault->index >= 0) mondai_l_->selectRow(fault->index);
  if (services().messages) services().messages->show(fault->message);
  return false;
}

void TextPracticeScreen::start() {
  if (!checkQuestions()) return;
  fillProblemSet(state().problems, title(), questions_);
  handOver(ScreenId::t_original);
}

void TextPracticeScreen::save() {
  if (!checkQuestions() || !services().files) return;
  const auto chosen = services().files->saveProblemFile();
  if (!chosen) return;
  const ProblemFileWriteResult written = writeTypingProblemFile(*chosen, problemFileOf(title(), questions_));
  if (!written.ok) {
    if (services().messages) services().messages->show(written.message);
    return;
  }
  status_l_->setText(QStringLiteral("保存しました"));
  QTimer::singleShot(kSavedNoticeMs, status_l_, [label = status_l_] {
    if (label->text() == QStringLiteral("保存しました")) label->clear();
  });
}

}  // namespace lk
