#include "History.h"

#include "FileIo.h"

namespace numira {

std::vector<Draw> ReadHistory(const std::string& path, Game game) {
  return ParseHistory(ReadWholeFile(path), game, path);
}

}  // namespace numira
