#include "shell/text_file.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>

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
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char buf[8192];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    bytes.append(buf, static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kMaxTextFileBytes) return std::nullopt;
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

std::optional<std::vector<std::u16string>> readTextFileLines(const std::filesystem::path& file) {
  auto bytes = readFileBytes(file);
  if (!bytes) return std::nullopt;
  auto text = decodeCp932(*bytes);
  if (!text) return std::nullopt;
  return splitLines(*text);
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

// False for an existing file this user may not write or that has no write
// bit at all.
bool mayReplace(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return errno == ENOENT;
  if ((st.st_mode & 0222) == 0) return false;
  return ::access(file.c_str(), W_OK) == 0;
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
    // Keep the mode of the file being replaced; a new file gets the usual 0644.
    struct stat st {};
    const mode_t mode = ::stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
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

}  // namespace lk
