#pragma once

// The ranking screen `ranking`: the ten best word drills, read-only.

#include "shell/screens/screen.h"

namespace lk {

class RankingScreen : public Screen {
  Q_OBJECT

 public:
  explicit RankingScreen(ScreenHost& host);
  void load() override;
};

}  // namespace lk
