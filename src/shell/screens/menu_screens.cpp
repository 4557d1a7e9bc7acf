#include "shell/screens/menu_screens.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <system_error>

#include "records/ranking_file.h"
#include "shell/app_state.h"
#include "records/data_files.h"
#include "shell/screens/options_store.h"
#include "shell/screens/picture_button.h"
#include "records/settings_file.h"
#include "records/text_file.h"

namespace lk {
namespace {

// Shared backdrop of the start screen and the main menu.
void paintBackdrop(QWidget* w) {
  w->setAutoFillBackground(true);
  QPalette pal = w->palette();
  QLinearGradient g(0, 0, 0, w->height());
  g.setColorAt(0, QColor(0xf4, 0xf8, 0xff));
  g.setColorAt(1, QColor(0xd6, 0xe4, 0xf7));
  pal.setBrush(QPalette::Window, QBrush(g));
  w->setPalette(pal);
}

}  // namespace

// --- title banner ---------------------------------------------------------

TitleBanner::TitleBanner(const QString& title, const QString& subtitle, QWidget* parent)
    : QWidget(parent), title_(title), subtitle_(subtitle) {
  setAccessibleName(title);
}

void TitleBanner::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = rect();

  // A row of key caps along the bottom, the glowing middle one lit.
  const QString keys = QStringLiteral("LUMINA");
  const qreal cap = qMin(r.height() * 0.28, r.width() / (keys.size() + 2.0));
  const qreal gap = cap * 0.18;
  const qreal rowWidth = keys.size() * cap + (keys.size() - 1) * gap;
  qreal x = r.center().x() - rowWidth / 2;
  const qreal y = r.bottom() - cap - 2;
  QFont capFont = font();
  capFont.setBold(true);
  capFont.setPixelSize(static_cast<int>(cap * 0.5));
  p.setFont(capFont);
  for (int i = 0; i < keys.size(); ++i, x += cap + gap) {
    const QRectF k(x, y, cap, cap);
    const bool lit = i == 2;
    QLinearGradient g(k.topLeft(), k.bottomLeft());
    g.setColorAt(0, lit ? QColor(0xff, 0xe0, 0x80) : QColor(0xff, 0xff, 0xff));
    g.setColorAt(1, lit ? QColor(0xf0, 0xa8, 0x30) : QColor(0xc8, 0xd2, 0xe0));
    p.setPen(QPen(QColor(0x60, 0x70, 0x88), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(k, cap * 0.15, cap * 0.15);
    p.setPen(QColor(0x30, 0x3a, 0x50));
    p.drawText(k, Qt::AlignCenter, keys.mid(i, 1));
  }

  QFont titleFont = font();
  titleFont.setBold(true);
  titleFont.setPixelSize(static_cast<int>(r.height() * 0.32));
  QPainterPath path;
  const QFontMetricsF fm(titleFont);
  const qreal tw = fm.horizontalAdvance(title_);
  const qreal baseline = r.top() + fm.ascent() + 4;
  path.addText(QPointF(r.center().x() - tw / 2, baseline), titleFont, title_);
  QLinearGradient tg(0, r.top(), 0, baseline);
  tg.setColorAt(0, QColor(0x4a, 0x8c, 0xe8));
  tg.setColorAt(1, QColor(0x1c, 0x3c, 0x8c));
  p.setPen(QPen(QColor(255, 255, 255, 200), 3));
  p.drawPath(path);
  p.fillPath(path, tg);

  QFont subFont = font();
  subFont.setPixelSize(static_cast<int>(r.height() * 0.09));
  subFont.setLetterSpacing(QFont::PercentageSpacing, 130);
  p.setFont(subFont);
  p.setPen(QColor(0x40, 0x50, 0x70));
  p.drawText(QRectF(r.left(), baseline + fm.descent(), r.width(), y - baseline - fm.descent()), Qt::AlignCenter,
             subtitle_);
}

// --- start ----------------------------------------------------------------

StartScreen::StartScreen(ScreenHost& host) : Screen(ScreenId::start, host) {
  setClientSize(560, 400);
  paintBackdrop(client());
  auto* banner = new TitleBanner(QStringLiteral("ルミナキー"), QStringLiteral("ROMAJI TYPING TRAINER"), client());
  banner->setObjectName(QStringLiteral("title_p"));
  banner->setGeometry(30, 30, 500, 230);
  auto* start = new PictureButton(QStringLiteral("START"), client());
  start->setObjectName(QStringLiteral("start_b"));
  start->setGeometry(190, 300, 180, 56);
  QFont f = start->font();
  f.setPointSizeF(f.pointSizeF() * 1.5);
  f.setBold(true);
  start->setFont(f);
  start->setColor(QColor(0xe0, 0x7a, 0x20));
  connect(start, &QPushButton::clicked, this, [this] { handOver(ScreenId::m_menu); });
  setDefaultButton(start);
}

void StartScreen::load() {
  Services& s = services();
  // Every later file name is relative to the program folder.
  std::error_code ec;
  std::filesystem::current_path(s.folder->programFolder(), ec);
  const std::filesystem::path data = s.folder->dataFolder();
  const std::filesystem::path program = s.folder->programFolder();
  // Saves cut short by a kill leave their temporaries behind. Only the data
  // folder: an installed program folder is not ours to clean.
  removeStaleSaveTemporaries(data);
  const SettingsFileResult settings = loadSettings(state().settings, fileToLoad(data, program, "set.dat"));
  state().settingsOnFile = state().settings;
  if (!settings.ok) s.messages->show(settings.message);
  const RankingFileResult ranking = loadRanking(state().ranking, fileToLoad(data, program, "rank.dat"));
  if (!ranking.ok) s.messages->show(ranking.message);
  // Silent: a missing luminakey.ini is the normal first start.
  state().options = loadOptions(data);
}

// --- m_menu ---------------------------------------------------------------

MainMenuScreen::MainMenuScreen(ScreenHost& host) : Screen(ScreenId::m_menu, host) {
  setClientSize(560, 400);
  paintBackdrop(client());
  auto* heading = new QLabel(QStringLiteral("M E N U"), client());
  heading->setObjectName(QStringLiteral("menu_l"));
  heading->setAlignment(Qt::AlignCenter);
  heading->setGeometry(0, 24, 560, 60);
  QFont hf = heading->font();
  hf.setPointSizeF(hf.pointSizeF() * 2.6);
  hf.setBold(true);
  heading->setFont(hf);
  heading->setStyleSheet(QStringLiteral("color: #1c3c8c;"));

  const struct {
    const char* name;
    const char* caption;
    QColor color;
    ScreenId target;
  } buttons[] = {
      {"tra_b", "Training", QColor(0x2f, 0x6f, 0xb7), ScreenId::t_menu},
      {"midimenu_b", "Music", QColor(0x8a, 0x4f, 0xb7), ScreenId::midi_menu},
      {"set_b", "Setting", QColor(0x3f, 0x8f, 0x5f), ScreenId::settei},
      {"ed_b", "Editor", QColor(0xc0, 0x6a, 0x2a), ScreenId::ed_select},
  };
  int i = 0;
  for (const auto& b : buttons) {
    auto* button = new PictureButton(QString::fromLatin1(b.caption), client());
    button->setObjectName(QString::fromLatin1(b.name));
    button->setColor(b.color);
    QFont f = button->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    button->setFont(f);
    button->setGeometry(70 + (i % 2) * 220, 120 + (i / 2) * 120, 200, 90);
    const ScreenId target = b.target;
    connect(button, &QPushButton::clicked, this, [this, target] { handOver(target); });
    ++i;
  }
}

// --- ed_select ------------------------------------------------------------

EditorChoiceScreen::EditorChoiceScreen(ScreenHost& host) : Screen(ScreenId::ed_select, host) {
  setClientSize(380, 170);
  auto* question = new QLabel(QStringLiteral("どちらのモードの問題を作成しますか？"), client());
  question->setObjectName(QStringLiteral("Label1"));
  question->setGeometry(20, 16, 340, 24);

  auto* group = new QButtonGroup(this);
  const char* captions[] = {"Training", "Music"};
  for (int i = 0; i < 2; ++i) {
    auto* option = new QRadioButton(QString::fromLatin1(captions[i]), client());
    option->setObjectName(QStringLiteral("edselect_o_%1").arg(i));
    option->move(60 + i * 140, 58);
    option->resize(option->sizeHint());  // a click beside the caption would miss it
    group->addButton(option, i);
  }
  group->button(0)->setChecked(true);
  connect(group, &QButtonGroup::idClicked, this, [this](int id) { choice_ = id; });

  auto* go = new QPushButton(QStringLiteral("作成画面へ"), client());
  go->setObjectName(QStringLiteral("Command1"));
  go->setGeometry(60, 110, 120, 34);
  connect(go, &QPushButton::clicked, this,
          [this] { handOverKeepingPosition(choice_ == 1 ? ScreenId::sakuseib : ScreenId::sakusei_a); });
  setDefaultButton(go);
  auto* back = new QPushButton(QStringLiteral("戻る"), client());
  back->setObjectName(QStringLiteral("Command2"));
  back->setGeometry(200, 110, 120, 34);
  connect(back, &QPushButton::clicked, this, [this] { handOverKeepingPosition(ScreenId::m_menu); });
}

}  // namespace lk
