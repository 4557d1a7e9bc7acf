// luminakey-tool: conversions and file checks for people who prepare problem
// sets. Text in and out is UTF-8.
#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>

#include "records/text_file.h"
#include "tools/command.h"

namespace lk::tool {

namespace {
std::vector<Command>& registry() {
  static std::vector<Command> all;
  return all;
}
}  // namespace

bool registerCommand(const Command& command) {
  registry().push_back(command);
  return true;
}

const std::vector<Command>& commands() { return registry(); }

namespace {

// Well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF, no sequence cut short.
bool isUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (i + len > s.size()) return false;
    const auto c1 = static_cast<unsigned char>(s[i + 1]);
    if (c1 < lo || c1 > hi) return false;
    for (std::size_t k = 2; k < len; ++k) {
      const auto ck = static_cast<unsigned char>(s[i + k]);
      if (ck < 0x80 || ck > 0xBF) return false;
    }
    i += len;
  }
  return true;
}

}  // namespace

void requireRegularFile(const std::string& file) {
  if (isSpecialFile(file)) throw NotRegularFile{file};
}

TitledFiles parseTitledFiles(const std::vector<std::string>& args) {
  TitledFiles r;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--title") {
      if (i + 1 >= args.size()) throw UsageError{"--title needs a value"};
      if (r.title) throw UsageError{"--title given twice"};
      r.title = args[++i];
    } else if (args[i].size() > 1 && args[i][0] == '-' && args[i] != "-") {
      throw UsageError{"unknown option '" + args[i] + "'"};
    } else {
      r.files.push_back(args[i]);
    }
  }
  return r;
}

std::vector<std::string> readLines(std::istream& in) {
  std::vector<std::string> lines;
  std::string line;
  bool open = false;  // a line has begun (a last line without an end still counts)
  auto finish = [&] {
    if (!isUtf8(line)) throw InputError{"line " + std::to_string(lines.size() + 1) + ": not UTF-8"};
    lines.push_back(std::move(line));
    line.clear();
    open = false;
  };
  for (int ch; (ch = in.get()) != std::char_traits<char>::eof();) {
    if (ch == '\n') {
      finish();
    } else if (ch == '\r') {
      if (in.peek() == '\n') in.get();
      finish();
    } else {
      line.push_back(static_cast<char>(ch));
      open = true;
    }
  }
  if (open) finish();
  return lines;
}

}  // namespace lk::tool

namespace {
void printUsage(std::ostream& os) {
  os << "usage: luminakey-tool COMMAND [ARGS...]\n"
        "       luminakey-tool --help | --version\n";
  auto list = lk::tool::commands();
  std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  for (const auto& c : list) os << "  " << c.usage << "\n";
}
}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  if (argc < 2) {
    std::cerr << "luminakey-tool: missing command (see luminakey-tool --help)\n";
    return 2;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    printUsage(std::cout);
    return 0;
  }
  if (name == "--version") {
    std::cout << "luminakey-tool " LK_VERSION "\n";
    return 0;
  }
  for (const auto& c : lk::tool::commands()) {
    if (c.name == name) {
      std::vector<std::string> args(argv + 2, argv + argc);
      lk::tool::Io io{std::cin, std::cout, std::cerr};
      try {
        return c.run(args, io);
      } catch (const lk::tool::NotRegularFile& e) {
        std::cout.flush();
        std::cerr << e.file << ": not a regular file\n";
        return 1;
      } catch (const lk::tool::UsageError& e) {
        std::cout.flush();
        std::cerr << "luminakey-tool " << name << ": " << e.message << "\n";
        return 2;
      } catch (const lk::tool::InputError& e) {
        std::cout.flush();
        std::cerr << "luminakey-tool " << name << ": " << e.message << "\n";
        return 1;
      }
    }
  }
  std::cerr << "luminakey-tool: unknown command '" << name << "' (see luminakey-tool --help)\n";
  return 2;
}
