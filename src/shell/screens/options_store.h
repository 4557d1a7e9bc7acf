#pragma once

// luminakey.ini: the options beyond set.dat, kept with QSettings in INI
// form in the folder of set.dat. Unknown or damaged values fall back to
// their defaults one by one, so an old or hand-edited file never blocks
// the start.

#include <filesystem>

#include "records/app_options.h"

namespace lk {

inline constexpr const char* kOptionsFileName = "luminakey.ini";

AppOptions loadOptions(const std::filesystem::path& folder);
// False when the file could not be written.
bool saveOptions(const AppOptions& options, const std::filesystem::path& folder);

}  // namespace lk
