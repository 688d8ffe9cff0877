#include "History.h"

#include <filesystem>

#include "FileIo.h"

namespace numira {

std::vector<Draw> ReadHistory(const std::string& path, Game game) {
  return ParseHistory(ReadWholeFile(path), game, path);
}

std::string PrizeFileBeside(const std::string& drawsDir, Game game) {
  namespace fs = std::filesystem;
  if (!HasPrizes(game)) return {};
  fs::path dir = fs::path(drawsDir).lexically_normal();
  if (!dir.has_filename()) dir = dir.parent_path();
  // "." or "..": the folder's own name is needed to find what is beside it.
  if (dir.empty() || dir.filename() == "." || dir.filename() == "..") dir = fs::absolute(dir).lexically_normal();
  if (!dir.has_filename()) dir = dir.parent_path();
  return (dir.parent_path() / kPrizesFolder / PrizeFileName(game)).string();
}

}  // namespace numira
