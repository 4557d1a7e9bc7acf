#include "progress/screens/keyboard_picture.h"

#include <QLabel>
#include <cmath>


namespace lk {

namespace {

constexpr int kCell = 34;
constexpr int kGap = 3;

struct Cell {
  int count = 0;
  int misses = 0;
  std::vector<std::int32_t> medians;  // of the characters typed on the key
};

}  // namespace

KeyboardPicture::KeyboardPicture(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("keyboard_view"));
}

QString KeyboardPicture::cellName(const GuideKey& key) {
  return QStringLiteral("key_") + QString::fromLatin1(key.code.data(), static_cast<qsizetype>(key.code.size()));
}

void KeyboardPicture::show(KeyboardLayout layout, const std::vector<KeyStat>& stats) {
  for (QLabel* l : cells_) l->deleteLater();
  cells_.clear();

  std::map<std::string_view, Cell> cells;  // by physical key
  for (const KeyStat& s : stats) {
    const auto stroke = strokeFor(layout, s.key);
    if (!stroke || stroke->key->role != KeyRole::Character) continue;
    Cell& c = cells[stroke->key->code];
    c.count += s.count;
    c.misses += s.misses;
    if (s.medianMs) c.medians.push_back(*s.medianMs);
  }

  for (const GuideKey& key : guideKeys(layout)) {
    if (key.role != KeyRole::Character) continue;
    auto* label = new QLabel(QString(QChar(key.legend)), this);
    label->setObjectName(cellName(key));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(static_cast<int>(key.x * (kCell + kGap)), key.row * (kCell + kGap), kCell, kCell);
    int shade = 255;  // white: never missed (or not typed)
    QString tip = QStringLiteral("打鍵なし");
    auto it = cells.find(key.code);
    if (it != cells.end() && it->second.count > 0) {
      Cell& c = it->second;
      const double rate = static_cast<double>(c.misses) / c.count;
      // The square root lifts the few-percent rates a learner actually has
      // into shades that can be told apart.
      shade = 255 - static_cast<int>(std::sqrt(rate) * 200);
      const auto median = medianMs(c.medians);
      tip = QStringLiteral("ミス %1/%2").arg(c.misses).arg(c.count);
      if (median) tip += QStringLiteral("　中央値 %1 ms").arg(*median);
      label->setProperty("missRate", rate);
    }
    label->setToolTip(tip);
    label->setStyleSheet(
        QStringLiteral("background: rgb(255, %1, %1); border: 1px solid #7d93a8; border-radius: 4px;").arg(shade));
    label->show();
    cells_.push_back(label);
  }
}

}  // namespace lk
