#pragma once

// Every data file of the program is code page 932 (Windows-31J) text with
// CR LF line ends and no byte-order mark. The conversion is glibc's iconv
// "CP932": it knows the usual Unicode/932 differences (WAVE DASH, MINUS SIGN)
// and, unlike most converters, reports a character it cannot encode instead
// of writing a substitute. Saves replace the file atomically.

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

// The file's bytes; nothing when it cannot be opened or read, is a folder
// or is too large.
std::optional<std::string> readFileBytes(const std::filesystem::path& file);

// The whole file as decoded lines; nothing when it cannot be opened or read,
// is too large, or holds bytes that are not 932.
std::optional<std::vector<std::u16string>> readTextFileLines(const std::filesystem::path& file);

// Test seam for the atomic writer: asked before each chunk with the offset it
// would be written at; returning false makes the write fail at that point.
using WriteFault = std::function<bool(std::size_t offset)>;

// Writes `bytes` to a temporary file in the same folder, flushes it to disk
// and renames it over `file`. On any failure the temporary file is removed
// and `file` is exactly as it was. True on success.
// A file the user may not write (no write permission for this user, or no
// write bit at all: write-protected even for root) is refused before anything
// is written, since the rename would otherwise replace it regardless. When
// `file` is a symbolic link the file it points to is replaced (the temporary
// file sits beside that one) and the link stays a link.
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

}  // namespace lk
