// luminakey-tool: conversions and file checks for people who prepare problem sets.
#include <iostream>

int main(int argc, char** argv) {
  (void)argv;
  if (argc < 2) {
    std::cerr << "usage: luminakey-tool COMMAND ...\n";
    return 2;
  }
  std::cerr << "luminakey-tool: unknown command\n";
  return 2;
}
