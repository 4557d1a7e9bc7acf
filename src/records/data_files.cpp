#include "records/data_files.h"

namespace lk {

std::filesystem::path fileToLoad(const std::filesystem::path& dataFolder, const std::filesystem::path& programFolder,
                                 std::string_view name) {
  const std::filesystem::path data = dataFolder / name;
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(data, ec))) return data;
  const std::filesystem::path program = programFolder / name;
  if (std::filesystem::exists(program, ec)) return program;
  return data;
}

}  // namespace lk
