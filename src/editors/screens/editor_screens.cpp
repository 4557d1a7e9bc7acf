#include "editors/screens/editor_screens.h"

#include "editors/screens/sakusei_a.h"
#include "editors/screens/sakuseib.h"
#include "editors/screens/text_practice_screen.h"
#include "shell/screens/screen_host.h"

namespace lk {

void registerEditorScreens(ScreenRegistry& registry) {
  registry.add<TypingEditorScreen>(ScreenId::sakusei_a);
  registry.add<MusicEditorScreen>(ScreenId::sakuseib);
  registry.add<TextPracticeScreen>(ScreenId::text_practice);
}

}  // namespace lk
