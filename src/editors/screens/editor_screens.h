#pragma once

// The two problem editors, sakusei_a (typing problems) and sakuseib (songs),
// and the text practice (text_practice, "テキスト練習").

namespace lk {

class ScreenRegistry;

void registerEditorScreens(ScreenRegistry& registry);

}  // namespace lk
