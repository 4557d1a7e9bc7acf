#pragma once

namespace lk {

// Desktop position of the top-left corner of the current screen, carried
// from one screen to the next by the hand-over. Unset (0) until the first.
struct ScreenPosition {
  float top = 0;
  float left = 0;
};

}  // namespace lk
