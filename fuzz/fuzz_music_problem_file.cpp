// Both music problem file readers on arbitrary bytes.
#include <cstdlib>

#include "memory_file.h"
#include "records/music_problem_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = lk::fuzz::memoryFile(data, size);
  const auto editor = lk::readMusicProblemFileForEditor(path);
  const auto menu = lk::readMusicProblemFileForMenu(path);
  if (editor.text.size() > 100 || menu.text.size() > 100) std::abort();
  if (editor.text.size() != editor.noteNames.size() || menu.text.size() != menu.melody.size()) std::abort();
  if (menu.loaded() && (!menu.count || static_cast<std::size_t>(*menu.count) != menu.text.size())) std::abort();
  if (editor.loaded() != editor.message.empty() || menu.loaded() != menu.message.empty()) std::abort();
  return 0;
}
