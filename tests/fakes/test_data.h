#pragma once

#include <string>

namespace lk::test {

// Absolute path of a file below tests/ in the source tree ("engine/data/x.txt").
std::string dataPath(const std::string& relative);

// Whole contents of a file as bytes; empty when it cannot be read.
std::string readBytes(const std::string& path);

}  // namespace lk::test
