#include "music/screens/midi_menu.h"

#include <QPushButton>

#include "shell/screens/screen_widgets.h"
#include "shell/app_state.h"
#include "shell/screens/picture_button.h"

namespace lk {

using ui::addLabel;
using ui::addPanel;
using ui::qs;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

}  // namespace

MusicMenuScreen::MusicMenuScreen(ScreenHost& host) : Screen(ScreenId::midi_menu, host) {
  QWidget* c = client();
  c->setStyleSheet(QStringLiteral("QWidget#client { background: #f4efe3; }"));
  setClientSize(kWidth, kHeight);

  addLabel(c, QStringLiteral("Label1"), QStringLiteral("Music Menu"), QRect(40, 30, 360, 56), 30,
           Qt::AlignLeft | Qt::AlignVCenter, true);
  auto* re_b = makeBackButton(c);
  re_b->setGeometry(456, 40, 120, 40);
  connect(re_b, &QPushButton::clicked, this, [this] { handOver(ScreenId::m_menu); });

  // The song buttons, top to bottom as the menu was laid out.
  struct SongButton {
    const char* name;
    BuiltInSong song;
    int top;
    QColor color;
  };
  const SongButton songs[] = {
      {"m3_b", BuiltInSong::M3, 120, QColor(0xc8, 0x4f, 0x6e)},
      {"m2_b", BuiltInSong::M2, 204, QColor(0x3f, 0x8a, 0x5c)},
      {"m1_b", BuiltInSong::M1, 288, QColor(0x8c, 0x6a, 0x4a)},
  };
  for (const auto& s : songs) {
    auto* b = new PictureButton(qs(builtInSong(s.song).title), c);
    b->setObjectName(QString::fromLatin1(s.name));
    b->setGeometry(200, s.top, 240, 64);
    b->setColor(s.color);
    const BuiltInSong song = s.song;
    connect(b, &QPushButton::clicked, this, [this, song] { startSong(song); });
  }

  // The file row along the bottom.
  addPanel(c, QStringLiteral("file_panel"), QRect(20, 392, 600, 72),
           QStringLiteral("background: #e9dfcb; border: 1px solid #a08a6a; border-radius: 8px;"));
  auto* ori_b = new QPushButton(QStringLiteral("問題ファイルの読み込み"), c);
  ori_b->setObjectName(QStringLiteral("ori_b"));
  ori_b->setGeometry(36, 408, 180, 40);
  connect(ori_b, &QPushButton::clicked, this, &MusicMenuScreen::readProblemFile);
  addLabel(c, QStringLiteral("Label5"), QStringLiteral(" TITLE"), QRect(228, 404, 60, 20), 11);
  title_l_ = addLabel(c, QStringLiteral("title_l"), QString(), QRect(228, 426, 260, 26), 11,
                      Qt::AlignLeft | Qt::AlignVCenter, true);
  auto* orikaisi_b = new PictureButton(QStringLiteral("開始"), c);
  orikaisi_b->setObjectName(QStringLiteral("orikaisi_b"));
  orikaisi_b->setGeometry(500, 404, 106, 48);
  orikaisi_b->setColor(QColor(0xd0, 0x6a, 0x1f));
  connect(orikaisi_b, &QPushButton::clicked, this, &MusicMenuScreen::startFile);
}

MusicMenuScreen::~MusicMenuScreen() = default;

void MusicMenuScreen::load() { state().problems.title.clear(); }

void MusicMenuScreen::startSong(BuiltInSong song) {
  fillWithSong(state().problems, song);
  handOver(ScreenId::midi_tra);
}

void MusicMenuScreen::readProblemFile() {
  if (!services().files) return;
  const auto chosen = services().files->openProblemFile();
  if (!chosen) return;  // cancelled: the last read stays as it was
  const MusicMenuFile::ReadOutcome out = file_.read(state().problems, *chosen);
  if (out.titleLabel) ui::setElidedText(title_l_, qs(*out.titleLabel));
  if (!out.message.empty() && services().messages) services().messages->show(out.message);
}

void MusicMenuScreen::startFile() {
  const std::u16string_view refusal = file_.startRefusal(state().problems);
  if (!refusal.empty()) {
    if (services().messages) services().messages->show(refusal);
    return;
  }
  handOver(ScreenId::midi_tra);
}

}  // namespace lk
