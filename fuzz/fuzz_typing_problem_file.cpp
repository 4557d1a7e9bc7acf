// Both typing problem file readers on arbitrary bytes: they must neither
// crash nor hang, and what they report must hang together.
#include <cstdlib>

#include "records/typing_problem_file.h"
#include "memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = lk::fuzz::memoryFile(data, size);
  for (const auto& r : {lk::readTypingProblemFileForEditor(path), lk::readTypingProblemFileForMenu(path)}) {
    if (r.text.size() != r.romaji.size()) std::abort();
    if (r.loaded() && (!r.count || static_cast<std::size_t>(*r.count) != r.text.size())) std::abort();
    if (r.loaded() != r.message.empty()) std::abort();
  }
  if (lk::readTypingProblemFileForEditor(path).text.size() > 100) std::abort();
  return 0;
}
