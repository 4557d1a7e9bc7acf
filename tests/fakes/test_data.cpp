#include "fakes/test_data.h"

#include <fstream>
#include <iterator>

namespace lk::test {

std::string dataPath(const std::string& relative) {
  return std::string(LK_TEST_DATA_ROOT) + "/" + relative;
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace lk::test
