#pragma once

// The shell's own screens: start, m_menu, ed_select, settei, settei2, ver, options.

namespace lk {

class ScreenRegistry;

void registerShellScreens(ScreenRegistry& registry);

// Picks an installed Japanese font (IPA Gothic from Debian) as the
// application font, so every screen renders its texts alike.
void applyJapaneseFont();

}  // namespace lk
