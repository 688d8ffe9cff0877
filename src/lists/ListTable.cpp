#include "ListTable.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <vector>

namespace numira {

int ListRow(Game game, ListKind kind) {
  for (std::size_t i = 0; i < kListFiles.size(); ++i)
    if (kListFiles[i].game == game && kListFiles[i].kind == kind) return static_cast<int>(i);
  return -1;
}

ListPaths BuildListPaths(const std::string& executablePath) {
  // Directory part, separator included ("" when the path has no directory).
  const auto slash = executablePath.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : executablePath.substr(0, slash + 1);
  ListPaths paths;
  for (std::size_t i = 0; i < kListFiles.size(); ++i) {
    std::string p = dir + kListFiles[i].fileName;
    if (p.size() <= kMaxText) paths[i] = std::move(p);
  }
  return paths;
}

bool ListFileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

std::string ExecutablePath() {
  std::vector<char> buf(PATH_MAX + 1);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<std::size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

}  // namespace numira
