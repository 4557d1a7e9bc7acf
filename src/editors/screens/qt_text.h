#pragma once

// Conversions between the core's UTF-16 strings and QString, and the twip
// scale of the editor layouts (15 twips to a pixel at 96 dpi).

#include <QString>
#include <string>
#include <string_view>

#include "shell/screens/screen_widgets.h"

namespace lk::editors {

using ui::qs;

inline std::u16string u16(const QString& s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size()));
}

inline constexpr int px(int twips) { return (twips + 7) / 15; }

}  // namespace lk::editors
