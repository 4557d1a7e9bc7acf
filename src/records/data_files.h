#pragma once

// Where set.dat and rank.dat are read from at start. They are saved to the
// data folder; when that is not the program folder (a read-only or installed
// program folder) and holds no copy yet, the program folder's file is read,
// so settings and rankings that came with the program are not lost.

#include <filesystem>
#include <string_view>

namespace lk {

std::filesystem::path fileToLoad(const std::filesystem::path& dataFolder, const std::filesystem::path& programFolder,
                                 std::string_view name);

}  // namespace lk
