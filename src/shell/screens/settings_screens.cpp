#include "shell/screens/settings_screens.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "shell/app_state.h"
#include "shell/screens/picture_button.h"
#include "records/settings_file.h"

namespace lk {
namespace {

QString toQString(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }
QString toQString(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

// Lists per grid line of the detailed settings, in row order.
const QVector<int> kFirstPageLines = {5, 2, 5, 5, 5, 5, 4};
const QVector<int> kSecondPageLines = {2, 5, 4, 5, 4, 2, 5, 5, 4, 5, 4, 4};

constexpr int kEntryWidth = 122;  // label + list of one grid entry
constexpr int kLabelWidth = 40;
constexpr int kListWidth = 76;
constexpr int kLineHeight = 30;

QLabel* addLabel(QWidget* parent, const QString& text, const QRect& geometry, double scale = 1.0, bool bold = false) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(geometry);
  if (scale != 1.0 || bold) {
    QFont f = label->font();
    f.setPointSizeF(f.pointSizeF() * scale);
    f.setBold(bold);
    label->setFont(f);
  }
  return label;
}

}  // namespace

SettingsPage::SettingsPage(int page, ScreenHost& host)
    : Screen(page == 0 ? ScreenId::settei : ScreenId::settei2, host),
      page_(page),
      firstRow_(page == 0 ? 0 : kFirstPageKeySettingCount),
      rowCount_(page == 0 ? kFirstPageKeySettingCount : kKeySettingCount - kFirstPageKeySettingCount) {
  QWidget* c = client();
  auto* heading = addLabel(c, QStringLiteral("Setting"), QRect(16, 6, 200, 36), 2.0, true);
  heading->setObjectName(QStringLiteral("heading_l"));
  heading->setStyleSheet(QStringLiteral("color: #1c3c8c;"));

  if (page_ == 0) {
    setClientSize(920, 420);
    buildFirstPageTop(c);
    addLabel(c, QStringLiteral("詳細なキー設定"), QRect(300, 48, 300, 24), 1.15, true);
    addLabel(c, QStringLiteral("※こちらの設定より、左側の設定の方が優先されます。"), QRect(300, 74, 600, 20));
    addLabel(c, QStringLiteral("例）"), QRect(300, 96, 40, 20));
    auto* example = addLabel(c, QStringLiteral("\"ぁ\"が\"la\"で\"うぁ\"が\"uxa\"の場合→\"うぁ\"は\"ula\"に設定される"),
                             QRect(336, 96, 560, 20));
    example->setObjectName(QStringLiteral("rei_l"));
    buildGrid(c, kMainKeySettingCount, kFirstPageLines, 300, 126);
    addButtons(c, 360);
  } else {
    setClientSize(640, 470);
    buildGrid(c, kFirstPageKeySettingCount, kSecondPageLines, 16, 50);
    addButtons(c, 420);
  }

  // Tab order follows the option table, saidai_c first on page 1; the
  // sound switch comes after the lists, before the buttons.
  QWidget* previous = saidai_;
  for (QComboBox* list : lists_) {
    if (previous) setTabOrder(previous, list);
    previous = list;
  }
  for (int i = 0; page_ == 0 && i < 2; ++i) {
    auto* option = findChild<QRadioButton*>(QStringLiteral("se_o_%1").arg(i));
    if (option && previous) setTabOrder(previous, option);
    previous = option;
  }
  if (QWidget* first = saidai_ ? static_cast<QWidget*>(saidai_) : (lists_.empty() ? nullptr : lists_.front()))
    first->setFocus();
}

void SettingsPage::buildFirstPageTop(QWidget* c) {
  addLabel(c, QStringLiteral("効果音"), QRect(16, 50, 80, 24), 1.15, true);
  auto* group = new QButtonGroup(this);
  for (int i = 0; i < 2; ++i) {
    auto* option = new QRadioButton(toQString(kKoukaonChoices[static_cast<std::size_t>(i)]), c);
    option->setObjectName(QStringLiteral("se_o_%1").arg(i));
    option->move(100 + i * 70, 52);
    option->resize(option->sizeHint());
    group->addButton(option, i);
  }
  connect(group, &QButtonGroup::idClicked, this,
          [this](int id) { state().settings.koukaon = static_cast<std::int16_t>(id); });
  addLabel(c, QStringLiteral("※MUSICモードでは適用されません。"), QRect(16, 76, 270, 20));
  addLabel(c, QStringLiteral("最大出題数"), QRect(16, 102, 90, 26), 1.15, true);
  saidai_ = new QComboBox(c);
  saidai_->setObjectName(QStringLiteral("saidai_c"));
  for (std::int16_t n : kSaidaiChoices) saidai_->addItem(QString::number(n));
  saidai_->setGeometry(110, 102, 70, 26);

  addLabel(c, QStringLiteral("キー設定"), QRect(16, 140, 200, 24), 1.15, true);
  // Main settings in two columns: rows 0..5 and 6..10.
  const auto table = keyOptionTable();
  for (int row = 0; row < kMainKeySettingCount; ++row) {
    const int column = row < 6 ? 0 : 1;
    const int line = row < 6 ? row : row - 6;
    const KeyOption& o = table[static_cast<std::size_t>(row)];
    const int x = 16 + column * 134;
    const int y = 170 + line * kLineHeight;
    auto* label = addLabel(c, toQString(o.kanaLabel), QRect(x, y, 52, 26));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* list = new QComboBox(c);
    list->setObjectName(toQString(o.field) + QStringLiteral("_c"));
    for (std::u16string_view v : o.offered()) list->addItem(toQString(v));
    list->setGeometry(x + 56, y, 68, 26);
    label->setBuddy(list);
    // A screen reader then says "し: shi", not a bare "shi".
    list->setAccessibleName(toQString(o.kanaLabel));
    lists_.push_back(list);
  }
}

QWidget* SettingsPage::buildGrid(QWidget* c, int firstRow, const QVector<int>& rowsPerLine, int x, int y) {
  const auto table = keyOptionTable();
  int row = firstRow;
  for (int line = 0; line < rowsPerLine.size(); ++line) {
    for (int col = 0; col < rowsPerLine[line]; ++col, ++row) {
      const KeyOption& o = table[static_cast<std::size_t>(row)];
      const int ex = x + col * kEntryWidth;
      const int ey = y + line * kLineHeight;
      auto* label = addLabel(c, toQString(o.kanaLabel), QRect(ex, ey, kLabelWidth, 26));
      label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      auto* list = new QComboBox(c);
      list->setObjectName(toQString(o.field) + QStringLiteral("_c"));
      for (std::u16string_view v : o.offered()) list->addItem(toQString(v));
      list->setGeometry(ex + kLabelWidth + 4, ey, kListWidth, 26);
      label->setBuddy(list);
      list->setAccessibleName(toQString(o.kanaLabel));
      lists_.push_back(list);
    }
  }
  return c;
}

void SettingsPage::addButtons(QWidget* c, int y) {
  const int right = c->width() - 16;
  auto* turn = new QPushButton(page_ == 0 ? QStringLiteral("次のページへ") : QStringLiteral("前のページへ"), c);
  turn->setObjectName(page_ == 0 ? QStringLiteral("next_b") : QStringLiteral("prv_b"));
  turn->setGeometry(16, y, 130, 34);
  connect(turn, &QPushButton::clicked, this, [this] {
    copyPage();
    handOver(page_ == 0 ? ScreenId::settei2 : ScreenId::settei);
  });

  auto* hint = addLabel(c, QStringLiteral("※設定後、必ず押して下さい→"), QRect(right - 150 - 110 - 230, y, 226, 34));
  hint->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  hint->setStyleSheet(QStringLiteral("color: #b02020;"));
  auto* set = new QPushButton(QStringLiteral("変 更"), c);
  set->setObjectName(QStringLiteral("set_b"));
  set->setGeometry(right - 150 - 110, y, 100, 34);
  connect(set, &QPushButton::clicked, this, &SettingsPage::store);
  // Enter in a list stores the page: the hint beside it asks for exactly that.
  setDefaultButton(set);

  auto* back = makeBackButton(c);
  back->setGeometry(right - 140, y - 2, 140, 38);
  connect(back, &QPushButton::clicked, this, [this] { handOver(ScreenId::m_menu); });
}

void SettingsPage::load() {
  // The program folder is already the current directory (the start screen
  // set it); the store writes to the data folder by full path.
  const KeySettings& s = state().settings;
  const auto table = keyOptionTable();
  for (int i = 0; i < rowCount_; ++i) {
    const int row = firstRow_ + i;
    QComboBox* list = lists_[i];
    int index = list->findText(toQString(s.variant(row)));
    // A value the row does not offer cannot come from set.dat; show the default then.
    if (index < 0) index = list->findText(toQString(table[static_cast<std::size_t>(row)].token));
    list->setCurrentIndex(index);
  }
  if (page_ == 0) {
    if (auto* on = findChild<QRadioButton*>(QStringLiteral("se_o_%1").arg(s.koukaon == 1 ? 1 : 0))) on->setChecked(true);
    const int index = saidai_->findText(QString::number(s.saidai));
    saidai_->setCurrentIndex(index >= 0 ? index : saidai_->findText(QString::number(kSaidaiDefault)));
  }
}

void SettingsPage::copyPage() {
  KeySettings& s = state().settings;
  const auto table = keyOptionTable();
  for (int i = 0; i < rowCount_; ++i) {
    const KeyOption& o = table[static_cast<std::size_t>(firstRow_ + i)];
    s.set(o.field, lists_[i]->currentText().toStdU16String());
  }
  if (page_ == 0) s.saidai = static_cast<std::int16_t>(saidai_->currentText().toInt());
}

void SettingsPage::store() {
  copyPage();
  const SettingsFileResult saved =
      saveSettingsChanges(state().settings, state().settingsOnFile, services().folder->dataFolder() / "set.dat");
  if (!saved.ok) {
    services().messages->show(saved.message);
    return;
  }
  handOver(ScreenId::m_menu);
}

}  // namespace lk
