#pragma once

#include "shell/screens/screen.h"

namespace lk {

// `ver`: the program name and version, and a button that closes it.
class VersionScreen : public Screen {
  Q_OBJECT

 public:
  explicit VersionScreen(ScreenHost& host);
};

}  // namespace lk
