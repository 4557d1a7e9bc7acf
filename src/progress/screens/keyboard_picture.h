#pragma once

// The keyboard of the analysis screen: one cell per character key of the
// US or JIS layout (the keyboard model of shell/keyboard_map.h, as the
// drills' guide draws it), shaded from white (no misses) to red by the
// key's miss rate in the run, its median time in the tooltip. Each cell is
// a QLabel named "key_<physical key>" ("key_AC01") so tests can read it.

#include <QWidget>
#include <map>

#include "progress/keystroke_stats.h"
#include "records/app_options.h"
#include "shell/keyboard_map.h"

class QLabel;

namespace lk {

class KeyboardPicture : public QWidget {
  Q_OBJECT

 public:
  explicit KeyboardPicture(QWidget* parent = nullptr);

  // Redraws for `layout` with the figures of `stats` (keys typed as shifted
  // characters count on the key they are typed with).
  void show(KeyboardLayout layout, const std::vector<KeyStat>& stats);

  static QString cellName(const GuideKey& key);

 private:
  std::vector<QLabel*> cells_;
};

}  // namespace lk
