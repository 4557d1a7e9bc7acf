#pragma once

// The word practice screens: t_menu, t_original, t_kekka, ranking, o_type, o_kekka.

namespace lk {

class ScreenRegistry;

void registerPracticeScreens(ScreenRegistry& registry);

}  // namespace lk
