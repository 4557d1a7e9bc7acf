#pragma once

// The music screens: midi_menu and midi_tra.

namespace lk {

class ScreenRegistry;

void registerMusicScreens(ScreenRegistry& registry);

}  // namespace lk
