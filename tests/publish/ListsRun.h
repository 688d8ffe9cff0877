#pragma once
// Running numira-lists in the test process, and a scratch copy of the draw histories.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "TestData.h"

namespace numira::testing {

struct RunResult {
  int code;
  std::string out, err;
};

inline RunResult Lists(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int code = RunLists(args, out, err);
  return {code, out.str(), err.str()};
}

// A copy of the histories in dir, one per game.
inline void CopyHistories(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  for (const auto& e : std::filesystem::directory_iterator(NUMIRA_DRAWS_DIR))
    std::filesystem::copy_file(e.path(), dir / e.path().filename());
}
inline void CopyHistories(const TempDir& dir) { CopyHistories(dir.path()); }

// What a shell command writes to its standard output.
inline std::string Command(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

// The names in a folder (through a link to it), sorted.
inline std::vector<std::string> Names(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace numira::testing
