#pragma once

// Each command of luminakey-tool lives in its own file and registers itself
// with a static LK_TOOL_COMMAND(...) line; main.cpp only dispatches.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lk::tool {

// Thrown by a command for bad usage: main prints the message on one line
// and exits with status 2.
struct UsageError {
  std::string message;
};

// Thrown for a file argument that names a FIFO, a device or a folder
// (reading one could hang, and none is a file of ours): main prints
// "FILE: not a regular file" on stderr and exits with status 1.
struct NotRegularFile {
  std::string file;
};

// Throws NotRegularFile when `file` exists and is not a regular file (links
// followed). A missing file is left to the command.
void requireRegularFile(const std::string& file);

struct Io {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

// Returns the exit status. args excludes the program and command names.
using CommandFn = int (*)(const std::vector<std::string>& args, Io& io);

struct Command {
  std::string_view name;
  std::string_view usage;  // one line, shown by `luminakey-tool --help`
  CommandFn run;
};

bool registerCommand(const Command& command);
const std::vector<Command>& commands();

// Thrown when the input is not what any command can read: main prints
// "luminakey-tool COMMAND: " and the message, and exits with status 1.
struct InputError {
  std::string message;
};

// The [--title T] FILE... arguments of the commands that write problem
// files; "-" is a file (standard input or output), any other dash word an
// unknown option.
struct TitledFiles {
  std::optional<std::string> title;
  std::vector<std::string> files;
};
TitledFiles parseTitledFiles(const std::vector<std::string>& args);

// Every line of io.in, without its line end: LF, CR LF and a lone CR (old
// Mac files) all end a line. A line that is not UTF-8 throws InputError
// "line N: not UTF-8", so no command works on guessed characters.
std::vector<std::string> readLines(std::istream& in);

}  // namespace lk::tool

#define LK_TOOL_CONCAT_(a, b) a##b
#define LK_TOOL_CONCAT(a, b) LK_TOOL_CONCAT_(a, b)
#define LK_TOOL_COMMAND(name, usage, fn) \
  static const bool LK_TOOL_CONCAT(lk_tool_registered_, __LINE__) = ::lk::tool::registerCommand({name, usage, fn})
