#pragma once

#include <thread>

namespace lk {

// Loads the font configuration and finds the Japanese font on a second
// thread while Qt connects to the display: the first screen needs font
// metrics before it can be mapped, and fontconfig's start-up is the
// largest part of that wait. Fontconfig is thread-safe; Qt then finds the
// configuration already loaded.
std::jthread warmUpFonts();

}  // namespace lk
