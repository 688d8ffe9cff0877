// Any bytes read as a set's index (as a hostile server might send them): no crash, and an
// index that is taken is one the format writes back byte for byte, within its bounds,
// its paths valid, sorted and each once.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzRequire.h"
#include "SetIndex.h"

using numira::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string error;
  const std::optional<numira::SetIndex> index = numira::ParseSetIndex(bytes, &error);
  Require(index.has_value() == error.empty());
  if (!index) return 0;
  Require(numira::FormatSetIndex(*index) == bytes);
  Require(index->number >= 1 && index->number <= numira::kMaxSetNumber);
  Require(index->files.size() <= numira::kMaxSetIndexFiles);
  for (std::size_t i = 0; i < index->files.size(); ++i) {
    Require(numira::IsSetFilePath(index->files[i].path));
    Require(index->files[i].size <= numira::kMaxSetFileSize);
    Require(i == 0 || index->files[i - 1].path < index->files[i].path);
  }
  return 0;
}
