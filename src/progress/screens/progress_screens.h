#pragma once

// The progress screens: the analysis screen `bunseki`.

namespace lk {

class ScreenRegistry;

void registerProgressScreens(ScreenRegistry& registry);

}  // namespace lk
