#include "ListTable.h"

#include <sys/stat.h>

namespace numira {

int ListRow(Game game, ListKind kind) {
  for (std::size_t i = 0; i < kListFiles.size(); ++i)
    if (kListFiles[i].game == game && kListFiles[i].kind == kind) return static_cast<int>(i);
  return -1;
}

bool ListFileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

}  // namespace numira
