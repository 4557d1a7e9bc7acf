#include "shell/screens/options_screen.h"

#include <QAbstractButton>
#include <QRadioButton>
#include <algorithm>

#include "shell/app_state.h"
#include "shell/screens/options_store.h"
#include "shell/screens/picture_button.h"
#include "shell/screens/screen_host.h"
#include "shell/screens/screen_widgets.h"

namespace lk {

using ui::addLabel;

namespace {

constexpr int kWidth = 440;
constexpr int kHeight = 340;
constexpr int kTop = 64;
constexpr int kLineHeight = 40;

void check(QButtonGroup* group, bool second) {
  if (QAbstractButton* b = group->button(second ? 1 : 0)) b->setChecked(true);
}

bool secondChecked(const QButtonGroup* group) { return group->checkedId() == 1; }

}  // namespace

OptionsScreen::OptionsScreen(ScreenHost& host) : Screen(ScreenId::options, host) {
  setClientSize(kWidth, kHeight);
  QWidget* c = client();
  addLabel(c, QStringLiteral("option_l"), QStringLiteral("オプション"), QRect(16, 12, 300, 36), 18,
           Qt::AlignLeft | Qt::AlignVCenter, true);

  hantei_ = addChoice(0, QStringLiteral("hantei"), QStringLiteral("入力判定"), QStringLiteral("設定どおり"),
                      QStringLiteral("どの綴りでも"));
  guide_ = addChoice(1, QStringLiteral("guide"), QStringLiteral("キーボードガイド"), QStringLiteral("On"),
                     QStringLiteral("Off"));
  layout_ = addChoice(2, QStringLiteral("layout"), QStringLiteral("キー配列"), QStringLiteral("JIS"),
                      QStringLiteral("US"));
  cue_ = addChoice(3, QStringLiteral("cue"), QStringLiteral("ミスの合図"), QStringLiteral("On"), QStringLiteral("Off"));
  ghost_ = addChoice(4, QStringLiteral("ghost"), QStringLiteral("ゴースト"), QStringLiteral("On"), QStringLiteral("Off"));

  auto* set = ui::addButton(c, QStringLiteral("set_b"), QStringLiteral("変 更"), QRect(170, 280, 100, 34));
  connect(set, &QPushButton::clicked, this, &OptionsScreen::store);
  setDefaultButton(set);
  auto* back = makeBackButton(c);
  back->setGeometry(kWidth - 156, 278, 140, 38);
  connect(back, &QPushButton::clicked, this, &QWidget::close);
}

QButtonGroup* OptionsScreen::addChoice(int line, const QString& name, const QString& caption, const QString& first,
                                       const QString& second) {
  QWidget* c = client();
  const int y = kTop + line * kLineHeight;
  QLabel* label = addLabel(c, name + QStringLiteral("_l"), caption, QRect(16, y, 140, 28), 0,
                           Qt::AlignLeft | Qt::AlignVCenter, true);
  auto* group = new QButtonGroup(this);
  int x = 170;
  for (int i = 0; i < 2; ++i) {
    auto* option = new QRadioButton(i == 0 ? first : second, c);
    option->setObjectName(QStringLiteral("%1_o_%2").arg(name).arg(i));
    option->move(x, y + 2);
    option->resize(option->sizeHint());
    x += std::max(option->width(), 80) + 20;
    group->addButton(option, i);
    if (i == 0) label->setBuddy(option);
  }
  return group;
}

void OptionsScreen::load() {
  const AppOptions& o = state().options;
  check(hantei_, o.flexibleRomaji);
  check(guide_, !o.keyboardGuide);
  check(layout_, o.layout == KeyboardLayout::Us);
  check(cue_, !o.missCue);
  check(ghost_, !o.ghost);
}

void OptionsScreen::store() {
  AppOptions& o = state().options;
  o.flexibleRomaji = secondChecked(hantei_);
  o.keyboardGuide = !secondChecked(guide_);
  o.layout = secondChecked(layout_) ? KeyboardLayout::Us : KeyboardLayout::Jis;
  o.missCue = !secondChecked(cue_);
  o.ghost = !secondChecked(ghost_);
  // The choices are in force for this run whether or not the file takes them.
  host().announceOptionsChanged();
  if (!saveOptions(o, services().folder->dataFolder())) {
    services().messages->show(u"オプションの保存に失敗しました。現在の設定はアプリケーションを終了させると失われます。");
    return;
  }
  close();
}

}  // namespace lk
