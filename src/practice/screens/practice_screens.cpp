#include "practice/screens/practice_screens.h"

#include "practice/screens/o_kekka.h"
#include "practice/screens/o_type.h"
#include "practice/screens/ranking.h"
#include "practice/screens/t_kekka.h"
#include "practice/screens/t_menu.h"
#include "practice/screens/t_original.h"
#include "shell/screens/screen_host.h"

namespace lk {

void registerPracticeScreens(ScreenRegistry& registry) {
  registry.add<TrainingMenuScreen>(ScreenId::t_menu);
  registry.add<WordDrillScreen>(ScreenId::t_original);
  registry.add<WordResultScreen>(ScreenId::t_kekka);
  registry.add<RankingScreen>(ScreenId::ranking);
  registry.add<OneCharDrillScreen>(ScreenId::o_type);
  registry.add<OneCharResultScreen>(ScreenId::o_kekka);
}

}  // namespace lk
