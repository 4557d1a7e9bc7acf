#include "music/screens/music_screens.h"

#include "music/screens/midi_menu.h"
#include "music/screens/midi_tra.h"
#include "shell/screens/screen_host.h"

namespace lk {

void registerMusicScreens(ScreenRegistry& registry) {
  registry.add<MusicMenuScreen>(ScreenId::midi_menu);
  registry.add<MusicDrillScreen>(ScreenId::midi_tra);
}

}  // namespace lk
