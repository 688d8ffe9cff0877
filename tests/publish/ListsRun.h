#pragma once
// Running numira-lists in the test process, and a scratch copy of the draw histories and prizes.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
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

// A copy of the histories in dir, and of the prize files in the folder prizes beside it
// (the history folder's layout) unless withPrizes is false.
inline void CopyHistories(const std::filesystem::path& dir, bool withPrizes = true) {
  std::filesystem::create_directories(dir);
  for (const auto& e : std::filesystem::directory_iterator(NUMIRA_DRAWS_DIR))
    std::filesystem::copy_file(e.path(), dir / e.path().filename());
  if (!withPrizes) return;
  const std::filesystem::path prizes = dir.parent_path() / "prizes";
  std::filesystem::create_directories(prizes);
  for (const auto& e : std::filesystem::directory_iterator(NUMIRA_PRIZES_DIR))
    std::filesystem::copy_file(e.path(), prizes / e.path().filename());
}

// A scratch history folder: draws/ with copies of the histories and prizes/ beside it.
// path() and the rest answer for draws/, as a TempDir does for itself.
class HistoryFolder {
 public:
  HistoryFolder() { CopyHistories(draws_); }
  const std::filesystem::path& path() const { return draws_; }
  std::filesystem::path prizes() const { return root_.path() / "prizes"; }
  const TempDir& root() const { return root_; }
  std::string operator/(const std::string& name) const { return (draws_ / name).string(); }
  std::vector<std::string> Names() const;

 private:
  TempDir root_;
  std::filesystem::path draws_ = root_.path() / "draws";
};

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

// Every file under a folder (through a link to it), subfolders included, by its path there.
inline std::map<std::string, std::string> FilesUnder(const std::filesystem::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
    if (e.is_regular_file()) files[std::filesystem::relative(e.path(), dir).string()] = ReadBytes(e.path());
  return files;
}

// The names in a folder (through a link to it), sorted.
inline std::vector<std::string> Names(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

inline std::vector<std::string> HistoryFolder::Names() const { return testing::Names(draws_); }

// The names of a history folder: one history per game.
inline const std::vector<std::string> kHistoryNames{"bingo5.csv",   "loto6.csv",    "loto7.csv",
                                                    "miniloto.csv", "numbers3.csv", "numbers4.csv"};

}  // namespace numira::testing
