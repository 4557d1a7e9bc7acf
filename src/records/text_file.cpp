#include "records/text_file.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <thread>

namespace lk {

namespace {

constexpr const char* kUtf16Native = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr const char* kCp932 = "CP932";

// Owns one iconv descriptor for the length of a conversion.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `in`; false on any invalid or unconvertible input
  // (EILSEQ) or an incomplete sequence at the end (EINVAL).
  bool convert(const char* in, std::size_t inLen, std::string& out) {
    out.assign(inLen * 2 + 16, '\0');
    char* src = const_cast<char*>(in);
    std::size_t srcLeft = inLen;
    std::size_t used = 0;
    for (;;) {
      char* dst = out.data() + used;
      std::size_t dstLeft = out.size() - used;
      const std::size_t r = iconv(cd_, srcLeft ? &src : nullptr, srcLeft ? &srcLeft : nullptr, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r != static_cast<std::size_t>(-1)) {
        if (srcLeft == 0) break;
        continue;
      }
      if (errno != E2BIG) return false;
      out.resize(out.size() * 2);
    }
    out.resize(used);
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::optional<std::string> encodeCp932(std::u16string_view text) {
  Converter c(kCp932, kUtf16Native);
  if (!c.ok()) return std::nullopt;
  std::string out;
  if (!c.convert(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t), out)) {
    return std::nullopt;
  }
  return out;
}

std::optional<std::u16string> decodeCp932(std::string_view bytes) {
  Converter c(kUtf16Native, kCp932);
  if (!c.ok()) return std::nullopt;
  std::string raw;
  if (!c.convert(bytes.data(), bytes.size(), raw) || raw.size() % sizeof(char16_t) != 0) return std::nullopt;
  std::u16string out(raw.size() / sizeof(char16_t), u'\0');
  std::char_traits<char>::copy(reinterpret_cast<char*>(out.data()), raw.data(), raw.size());
  return out;
}

std::vector<std::u16string> splitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c != u'\r' && c != u'\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::optional<std::string> readFileBytes(const std::filesystem::path& file) {
  // O_NONBLOCK: opening a FIFO would otherwise wait for a writer for ever.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return std::nullopt;
  std::string bytes;
  char buf[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
    if (bytes.size() > kMaxTextFileBytes) return std::nullopt;
  }
  return bytes;
}

bool isSpecialFile(const std::filesystem::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool isSymbolicLink(const std::filesystem::path& file) {
  struct stat st {};
  return ::lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::vector<DecodedLine> decodeLinesCp932(std::string_view bytes) {
  std::vector<DecodedLine> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    lines.push_back(decodeCp932(bytes.substr(start, i - start)));
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(decodeCp932(bytes.substr(start)));
  return lines;
}

bool allDecoded(const std::vector<DecodedLine>& lines) {
  for (const DecodedLine& l : lines) {
    if (!l) return false;
  }
  return true;
}

std::optional<std::vector<std::u16string>> readTextFileLines(const std::filesystem::path& file) {
  auto bytes = readFileBytes(file);
  if (!bytes) return std::nullopt;
  std::vector<DecodedLine> decoded = decodeLinesCp932(*bytes);
  std::vector<std::u16string> lines;
  lines.reserve(decoded.size());
  for (DecodedLine& l : decoded) {
    if (!l) return std::nullopt;
    lines.push_back(std::move(*l));
  }
  return lines;
}

namespace {

// The file a save really replaces: symbolic links followed to their end.
// Nothing for a loop of links.
std::optional<std::filesystem::path> saveTarget(const std::filesystem::path& file) {
  std::filesystem::path p = file;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(p, ec))) return p;
    const std::filesystem::path to = std::filesystem::read_symlink(p, ec);
    if (ec) return std::nullopt;
    p = to.is_absolute() ? to : (p.parent_path() / to).lexically_normal();
  }
  return std::nullopt;
}

// False for an existing file that is not a regular one, that this user may
// not write or that has no write bit at all.
bool mayReplace(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0) return false;
  return ::access(file.c_str(), W_OK) == 0;
}

// The mode a new file gets: 0666 less the umask. Read from /proc, since
// umask() can only be asked by changing it.
mode_t newFileMode() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(0666 & ~std::stoul(line.substr(6), nullptr, 8));
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool replaceFileAtomically(const std::filesystem::path& link, std::string_view bytes, const WriteFault& fault) {
  const std::optional<std::filesystem::path> target = saveTarget(link);
  if (!target || !mayReplace(*target)) return false;
  const std::filesystem::path& file = *target;
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  std::string tmpl = (folder / ("." + file.filename().string() + ".tmpXXXXXX")).string();
  const int fd = mkstemp(tmpl.data());
  if (fd < 0) return false;

  bool ok = true;
  constexpr std::size_t kChunk = 4096;
  std::size_t offset = 0;
  while (ok && offset < bytes.size()) {
    if (fault && !fault(offset)) {
      ok = false;
      break;
    }
    const std::size_t n = std::min(kChunk, bytes.size() - offset);
    const ssize_t w = ::write(fd, bytes.data() + offset, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      ok = false;
    } else {
      offset += static_cast<std::size_t>(w);
    }
  }
  if (ok && fault && bytes.empty() && !fault(0)) ok = false;

  if (ok) {
    // The replaced file keeps its mode (and its owner where we may: root
    // saving a user's file); a new one honours the umask, unlike mkstemp's 0600.
    struct stat st {};
    const bool replacing = ::stat(file.c_str(), &st) == 0;
    if (replacing && (st.st_uid != ::geteuid() || st.st_gid != ::getegid())) {
      [[maybe_unused]] const int ignored = ::fchown(fd, st.st_uid, st.st_gid);
    }
    const mode_t mode = replacing ? (st.st_mode & 07777) : newFileMode();
    ok = ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  }
  if (::close(fd) != 0) ok = false;
  if (ok && std::rename(tmpl.c_str(), file.c_str()) != 0) ok = false;
  if (!ok) {
    ::unlink(tmpl.c_str());
    return false;
  }
  // Make the rename itself durable; failing here no longer loses data.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

std::optional<std::string> encodeLines(const std::vector<std::u16string>& lines) {
  std::string out;
  for (const auto& line : lines) {
    auto bytes = encodeCp932(line);
    if (!bytes) return std::nullopt;
    out += *bytes;
    out += "\r\n";
  }
  return out;
}

bool writeTextFileLines(const std::filesystem::path& file, const std::vector<std::u16string>& lines,
                        const WriteFault& fault) {
  auto bytes = encodeLines(lines);
  if (!bytes) return false;
  return replaceFileAtomically(file, *bytes, fault);
}

bool isSaveTemporaryName(std::string_view name) {
  // "." + NAME + ".tmp" + the six characters mkstemp puts in.
  constexpr std::string_view kTmp = ".tmp";
  constexpr std::size_t kRandom = 6;
  if (name.size() < 1 + 1 + kTmp.size() + kRandom || name.front() != '.') return false;
  const std::string_view tail = name.substr(name.size() - kRandom);
  for (char c : tail) {
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  }
  return name.substr(name.size() - kRandom - kTmp.size(), kTmp.size()) == kTmp;
}

int removeStaleSaveTemporaries(const std::filesystem::path& folder, std::chrono::seconds minAge,
                               std::filesystem::file_time_type now) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return 0;
  int removed = 0;
  for (const fs::directory_entry& e : it) {
    if (!isSaveTemporaryName(e.path().filename().string())) continue;
    if (!e.is_regular_file(ec) || e.is_symlink(ec)) continue;
    const fs::file_time_type written = e.last_write_time(ec);
    if (ec || now - written < minAge) continue;
    if (fs::remove(e.path(), ec)) ++removed;
  }
  return removed;
}

FileLock::FileLock(const std::filesystem::path& file, std::chrono::milliseconds patience) {
  const std::string name = file.string() + ".lock";
  // Never follow a link or wait on a FIFO someone put there.
  fd_ = ::open(name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd_ < 0) return;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    return;
  }
  // A save holds the lock for milliseconds; polling keeps the wait bounded.
  const auto giveUp = std::chrono::steady_clock::now() + patience;
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= giveUp) {
      ::close(fd_);
      fd_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

bool keepBrokenCopy(const std::filesystem::path& file, std::string_view bytes) {
  const std::string base = file.string() + ".broken";
  for (int n = 0; n < 1000; ++n) {
    const std::string name = n == 0 ? base : base + "." + std::to_string(n);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno != EEXIST) return false;
      // Saves that keep failing would otherwise pile up copies of one file.
      if (readFileBytes(name) == std::optional<std::string>(std::string(bytes))) return true;
      continue;
    }
    bool ok = true;
    std::size_t offset = 0;
    while (ok && offset < bytes.size()) {
      const ssize_t w = ::write(fd, bytes.data() + offset, bytes.size() - offset);
      if (w < 0) {
        if (errno != EINTR) ok = false;
      } else {
        offset += static_cast<std::size_t>(w);
      }
    }
    if (ok) ok = ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (!ok) ::unlink(name.c_str());
    return ok;
  }
  return false;
}

}  // namespace lk
