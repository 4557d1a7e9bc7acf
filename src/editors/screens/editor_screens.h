#pragma once

// The two problem editors: sakusei_a (typing problems) and sakuseib (songs).

namespace lk {

class ScreenRegistry;

void registerEditorScreens(ScreenRegistry& registry);

}  // namespace lk
