#include "progress/screens/progress_screens.h"

#include "progress/screens/bunseki.h"
#include "shell/screens/screen_host.h"

namespace lk {

void registerProgressScreens(ScreenRegistry& registry) { registry.add<AnalysisScreen>(ScreenId::bunseki); }

}  // namespace lk
