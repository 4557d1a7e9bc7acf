#pragma once

// The readers take a path; the fuzz input goes to an in-memory file so that
// every run reads the real way without touching the disk.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace lk::fuzz {

inline const std::string& memoryFile(const std::uint8_t* data, std::size_t size) {
  static const int fd = memfd_create("lk-fuzz", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (fd < 0 || ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0) std::abort();
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
  return path;
}

}  // namespace lk::fuzz
