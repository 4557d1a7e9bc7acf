#pragma once

// Every data file of the program is code page 932 (Windows-31J) text with
// CR LF line ends and no byte-order mark. The conversion is glibc's iconv
// "CP932": it knows the usual Unicode/932 differences (WAVE DASH, MINUS SIGN)
// and, unlike most converters, reports a character it cannot encode instead
// of writing a substitute. Saves replace the file atomically.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lk {

// Unicode to 932 bytes; nothing when any character has no 932 form
// (an emoji, a lone surrogate). Never substitutes.
std::optional<std::string> encodeCp932(std::u16string_view text);

// 932 bytes to Unicode; nothing when the bytes are not valid 932.
std::optional<std::u16string> decodeCp932(std::string_view bytes);

// Splits decoded text into lines. CR LF ends a line; a lone LF or CR is taken
// as a line end too. A final line without an end still counts; the empty
// text after the last line end does not.
std::vector<std::u16string> splitLines(std::u16string_view text);

// Files larger than this are refused by readTextFileLines: no data file of
// the program comes near it, and reading an arbitrary big file whole would
// only exhaust memory.
inline constexpr std::uintmax_t kMaxTextFileBytes = 16u * 1024u * 1024u;

// The file's bytes; nothing when it cannot be opened or read, is not a
// regular file (a folder, a FIFO, a device; a link counts as what it points
// to) or is too large. A FIFO never makes it wait: it is opened without
// blocking and refused.
std::optional<std::string> readFileBytes(const std::filesystem::path& file);

// True when something exists at `file` (links followed) that is not a regular
// file: what every reader and writer here refuses.
bool isSpecialFile(const std::filesystem::path& file);

// One line of a file decoded on its own; nothing when its bytes are not 932.
using DecodedLine = std::optional<std::u16string>;

// Splits the bytes into lines (CR LF, lone LF or CR, as splitLines) and
// decodes each line alone, so a bad byte spoils its own line only. No 932
// trail byte is a CR or LF, so splitting before decoding is safe.
std::vector<DecodedLine> decodeLinesCp932(std::string_view bytes);

// The whole file as decoded lines; nothing when it cannot be opened or read,
// is too large, or holds bytes that are not 932.
std::optional<std::vector<std::u16string>> readTextFileLines(const std::filesystem::path& file);

// True when every line decoded.
bool allDecoded(const std::vector<DecodedLine>& lines);

// Test seam for the atomic writer: asked before each chunk with the offset it
// would be written at; returning false makes the write fail at that point.
using WriteFault = std::function<bool(std::size_t offset)>;

// Writes `bytes` to a temporary file in the same folder, flushes it to disk
// and renames it over `file`. On any failure the temporary file is removed
// and `file` is exactly as it was. True on success.
// A file the user may not write (no write permission for this user, or no
// write bit at all: write-protected even for root) is refused before anything
// is written, since the rename would otherwise replace it regardless, and so
// is anything that is not a regular file. When `file` is a symbolic link the
// file it points to is replaced (the temporary file sits beside that one) and
// the link stays a link. A new file is created 0666 less the umask; a
// replaced one keeps its mode and, where the user may keep it, its owner.
bool replaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           const WriteFault& fault = {});

// Encodes each line, ends every one (the last included) with CR LF and saves
// atomically. False, with nothing written, when a line cannot be encoded or
// the save fails.
bool writeTextFileLines(const std::filesystem::path& file, const std::vector<std::u16string>& lines,
                        const WriteFault& fault = {});

// The encoded file contents for `lines` (CR LF after each), or nothing when a
// line cannot be encoded.
std::optional<std::string> encodeLines(const std::vector<std::u16string>& lines);

// The name pattern of the temporary file a save writes before renaming:
// ".NAME.tmpXXXXXX" beside NAME.
bool isSaveTemporaryName(std::string_view fileName);

// Removes from `folder` the temporaries that saves left behind when the
// program was killed between writing and renaming, once they are older than
// `minAge` (a younger one may belong to a save of another copy in progress).
// Returns how many were removed.
int removeStaleSaveTemporaries(const std::filesystem::path& folder,
                               std::chrono::seconds minAge = std::chrono::seconds(60),
                               std::filesystem::file_time_type now = std::filesystem::file_time_type::clock::now());

// An advisory lock (flock) on "NAME.lock" beside a data file, held for the
// object's lifetime: two copies of the program sharing a folder then read,
// merge and write the file one after the other. Where no lock file can be
// made (a folder the user cannot write), or another holder keeps it longer
// than `patience` (a copy stopped in the middle of a save), the work goes on
// without one: the program never hangs on a save.
class FileLock {
 public:
  explicit FileLock(const std::filesystem::path& file,
                    std::chrono::milliseconds patience = std::chrono::milliseconds(2000));
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Keeps the bytes of a file that failed to load as "NAME.broken" beside it,
// or "NAME.broken.1", ".2", ... when that name is taken, before a save
// replaces it. Nothing is written when one of those already holds exactly
// these bytes. False when no copy could be kept.
bool keepBrokenCopy(const std::filesystem::path& file, std::string_view bytes);

// True when `file` itself is a symbolic link.
bool isSymbolicLink(const std::filesystem::path& file);

}  // namespace lk
