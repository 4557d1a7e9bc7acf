#include "practice/screens/t_menu.h"

#include <QPushButton>

#include "practice/one_char_drill.h"
#include "shell/screens/screen_widgets.h"
#include "practice/word_lists.h"
#include "progress/run_keeping.h"
#include "practice/weak_drill.h"
#include "shell/app_state.h"
#include "shell/screens/picture_button.h"

namespace lk {

using ui::addLabel;
using ui::addPanel;
using ui::qs;

TrainingMenuScreen::TrainingMenuScreen(ScreenHost& host) : Screen(ScreenId::t_menu, host) {
  QWidget* c = client();
  c->setStyleSheet(QStringLiteral("QWidget#client { background: #eef3f8; }"));
  setClientSize(640, 480);

  addLabel(c, QStringLiteral("Label1"), QStringLiteral("Training Menu"), QRect(24, 16, 320, 44), 22,
           Qt::AlignLeft | Qt::AlignVCenter, true);
  auto* rank_b = new PictureButton(QStringLiteral("Ranking"), c);
  rank_b->setObjectName(QStringLiteral("rank_b"));
  rank_b->setGeometry(400, 18, 110, 40);
  rank_b->setColor(QColor(0xc0, 0x8a, 0x2e));
  connect(rank_b, &QPushButton::clicked, this, [this] { handOver(ScreenId::ranking); });
  auto* kiroku_b = new PictureButton(QStringLiteral("記録"), c);
  kiroku_b->setObjectName(QStringLiteral("kiroku_b"));
  kiroku_b->setGeometry(280, 18, 110, 40);
  kiroku_b->setColor(QColor(0x3e, 0x7d, 0x5a));
  connect(kiroku_b, &QPushButton::clicked, this, [this] {
    state().progress.openOnHistory = true;
    state().progress.backToMusicMenu = false;
    handOver(ScreenId::bunseki);
  });
  auto* re_b = makeBackButton(c);
  re_b->setGeometry(520, 18, 100, 40);
  connect(re_b, &QPushButton::clicked, this, [this] { handOver(ScreenId::m_menu); });

  addLabel(c, QStringLiteral("Label2"), QStringLiteral("最大出題数："), QRect(40, 72, 130, 28), 12);
  saidai_l_ = addLabel(c, QStringLiteral("saidai_l"), QString(), QRect(170, 72, 80, 28), 12,
                       Qt::AlignLeft | Qt::AlignVCenter, true);

  // The drill of the learner's weak units asks saidai problems, so it sits by that count.
  auto* nigate_b = new PictureButton(QStringLiteral("苦手克服"), c);
  nigate_b->setObjectName(QStringLiteral("nigate_b"));
  nigate_b->setGeometry(440, 66, 170, 34);
  nigate_b->setColor(QColor(0x7a, 0x4f, 0xa8));
  connect(nigate_b, &QPushButton::clicked, this, &TrainingMenuScreen::startWeakDrill);

  // Any text the learner brings; the screen lives with the editors, reached by id.
  auto* text_b = new PictureButton(QStringLiteral("テキストで練習"), c);
  text_b->setObjectName(QStringLiteral("text_b"));
  text_b->setGeometry(262, 66, 168, 34);
  text_b->setColor(QColor(0x2f, 0x8a, 0x8a));
  connect(text_b, &QPushButton::clicked, this, [this] { handOver(ScreenId::text_practice); });

  // Word lists on the left, one-character drills on the right.
  addPanel(c, QStringLiteral("word_panel"), QRect(30, 106, 270, 250),
           QStringLiteral("background: #ffffff; border: 2px solid #9fb6cc; border-radius: 10px;"));
  addLabel(c, QStringLiteral("Label3"), QStringLiteral("単 語 練 習"), QRect(40, 114, 250, 32), 15, Qt::AlignCenter, true);
  const char* levelNames[] = {"tra1_b", "tra2_b", "tra3_b"};
  const char* levelCaptions[] = {"初 級", "中 級", "上 級"};
  const QColor levelColors[] = {QColor(0x3f, 0x8f, 0x5a), QColor(0x2f, 0x6c, 0xb0), QColor(0xb0, 0x3f, 0x3f)};
  QWidget* levels[3] = {};
  for (int i = 0; i < 3; ++i) {
    auto* b = new PictureButton(QString::fromUtf8(levelCaptions[i]), c);
    b->setObjectName(QString::fromLatin1(levelNames[i]));
    b->setGeometry(85, 156 + i * 64, 160, 50);
    b->setColor(levelColors[i]);
    connect(b, &QPushButton::clicked, this, [this, i] { startBuiltIn(i + 1); });
    levels[i] = b;
  }

  addPanel(c, QStringLiteral("onechar_panel"), QRect(340, 106, 270, 250),
           QStringLiteral("background: #ffffff; border: 2px solid #9fb6cc; border-radius: 10px;"));
  addLabel(c, QStringLiteral("Label4"), QStringLiteral("一文字タイピング"), QRect(350, 114, 250, 32), 15,
           Qt::AlignCenter, true);
  auto* otype_b = new PictureButton(QStringLiteral("初 級"), c);
  otype_b->setObjectName(QStringLiteral("otype_b"));
  otype_b->setGeometry(395, 170, 160, 50);
  otype_b->setColor(QColor(0x3f, 0x8f, 0x5a));
  connect(otype_b, &QPushButton::clicked, this, [this] { startOneChar(false); });
  auto* o_type2_b = new PictureButton(QStringLiteral("上 級"), c);
  o_type2_b->setObjectName(QStringLiteral("o_type2_b"));
  o_type2_b->setGeometry(395, 250, 160, 50);
  o_type2_b->setColor(QColor(0xb0, 0x3f, 0x3f));
  connect(o_type2_b, &QPushButton::clicked, this, [this] { startOneChar(true); });
  auto* o_type3_b = new PictureButton(QStringLiteral("苦 手"), c);
  o_type3_b->setObjectName(QStringLiteral("o_type3_b"));
  o_type3_b->setGeometry(410, 310, 130, 36);
  o_type3_b->setColor(QColor(0x7a, 0x4f, 0xa8));
  connect(o_type3_b, &QPushButton::clicked, this, &TrainingMenuScreen::startWeakChars);

  // The file row along the bottom.
  addPanel(c, QStringLiteral("file_panel"), QRect(20, 376, 600, 88),
           QStringLiteral("background: #dde6ef; border: 1px solid #7d93a8; border-radius: 8px;"));
  auto* ori_b = new QPushButton(QStringLiteral("問題ファイルの読み込み"), c);
  ori_b->setObjectName(QStringLiteral("ori_b"));
  ori_b->setGeometry(32, 400, 180, 40);
  connect(ori_b, &QPushButton::clicked, this, &TrainingMenuScreen::readProblemFile);
  addLabel(c, QStringLiteral("Label5"), QStringLiteral(" TITLE"), QRect(222, 388, 60, 28), 11);
  title_l_ = addLabel(c, QStringLiteral("title_l"), QString(), QRect(282, 388, 200, 28), 11,
                      Qt::AlignLeft | Qt::AlignVCenter, true);
  addLabel(c, QStringLiteral("Label6"), QStringLiteral("登録数"), QRect(222, 424, 60, 28), 11);
  mkazu_l_ = addLabel(c, QStringLiteral("mkazu_l"), QString(), QRect(282, 424, 200, 28), 11,
                      Qt::AlignLeft | Qt::AlignVCenter, true);
  auto* orikaisi_b = new PictureButton(QStringLiteral("開 始"), c);
  orikaisi_b->setObjectName(QStringLiteral("orikaisi_b"));
  orikaisi_b->setGeometry(500, 398, 106, 44);
  orikaisi_b->setColor(QColor(0xd0, 0x6a, 0x1f));
  connect(orikaisi_b, &QPushButton::clicked, this, &TrainingMenuScreen::startFile);

  // Tab walks the choices in reading order: the drills first, the way out last.
  QWidget* const order[] = {levels[0], levels[1], levels[2], nigate_b, text_b, otype_b, o_type2_b, o_type3_b, ori_b, orikaisi_b, kiroku_b, rank_b, re_b};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  levels[0]->setFocus();
}

void TrainingMenuScreen::load() {
  state().problems.title.clear();
  fileProblems_.reset();
  saidai_l_->setText(QString::number(state().settings.saidai) + QStringLiteral("問"));
}

void TrainingMenuScreen::startBuiltIn(int level) {
  fillBuiltIn(state().problems, level);
  handOver(ScreenId::t_original);
}

void TrainingMenuScreen::startOneChar(bool advanced) {
  fillOneCharList(state().problems, advanced ? OneCharList::Advanced : OneCharList::Beginner);
  handOver(ScreenId::o_type);
}

void TrainingMenuScreen::readProblemFile() {
  if (!services().files) return;
  const auto chosen = services().files->openProblemFile();
  if (!chosen) return;  // cancelled: the last read stays as it was
  const TrainingMenuFile::ReadOutcome out = file_.read(state().problems, *chosen);
  if (file_.ready()) fileProblems_ = state().problems;
  if (out.countLabel) mkazu_l_->setText(qs(*out.countLabel));
  if (out.titleLabel) ui::setElidedText(title_l_, qs(*out.titleLabel));
  if (!out.message.empty() && services().messages) services().messages->show(out.message);
}

void TrainingMenuScreen::startFile() {
  const std::u16string_view refusal = file_.startRefusal(state().problems);
  if (refusal.empty()) {
    handOver(ScreenId::t_original);
  } else if (services().messages) {
    services().messages->show(refusal);
  }
}

void TrainingMenuScreen::startWeakDrill() {
  Services& sv = services();
  if (!sv.random) return;
  std::vector<RunRecord> runs;
  HistoryStore::Status status;
  if (sv.folder) {
    if (auto store = openHistoryToRead(*sv.folder, status)) runs = recentRuns(*store);
  }
  const WeaknessModel model(runs);
  if (model.empty() && sv.messages) sv.messages->show(kNoHistoryYet);
  const ProblemSet pool = weakDrillPool(fileProblems_ ? &*fileProblems_ : nullptr);
  fillWeakDrill(state().problems, pool, model, state().settings, *sv.random);
  handOver(ScreenId::t_original);
}

void TrainingMenuScreen::startWeakChars() {
  Services& sv = services();
  std::vector<RunRecord> runs;
  HistoryStore::Status status;
  if (sv.folder) {
    if (auto store = openHistoryToRead(*sv.folder, status)) runs = recentRuns(*store, DrillMode::Char);
  }
  const WeaknessModel model(runs, true);
  if (model.empty() && sv.messages) sv.messages->show(kNoHistoryYet);
  fillWeakCharList(state().problems, model);
  handOver(ScreenId::o_type);
}

}  // namespace lk
