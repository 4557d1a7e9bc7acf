// luminakey-tool: conversions and file checks for people who prepare problem
// sets. Text in and out is UTF-8.
#include <algorithm>
#include <iostream>

#include "shell/text_file.h"
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

void requireRegularFile(const std::string& file) {
  if (isSpecialFile(file)) throw NotRegularFile{file};
}

std::vector<std::string> readLines(std::istream& in) {
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
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
      }
    }
  }
  std::cerr << "luminakey-tool: unknown command '" << name << "' (see luminakey-tool --help)\n";
  return 2;
}
