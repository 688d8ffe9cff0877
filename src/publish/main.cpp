// numira-lists: keeps the draw histories and builds, checks and publishes the six list files.
#include <iostream>
#include <string>
#include <vector>

#include "Cli.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return numira::RunLists(args, std::cout, std::cerr);
}
