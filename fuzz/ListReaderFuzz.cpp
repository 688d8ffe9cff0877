// Any bytes read as either kind of list: no crash, entries and counts stay paired,
// every entry fits in one line chunk and the date is valid UTF-8.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzRequire.h"
#include "ListReader.h"
#include "Encoding.h"

using numira::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  using numira::ListKind;
  for (ListKind kind : {ListKind::Correct, ListKind::NoCorrect}) {
    const numira::ListContents c = numira::ParseList(bytes, kind);
    Require(c.lines >= 0 && static_cast<std::size_t>(c.lines) == c.entries.size());
    Require(kind == ListKind::Correct ? c.counts.size() == c.entries.size() : c.counts.empty());
    for (const auto& e : c.entries) Require(e.size() <= numira::kLineChunk && e.find('\n') == std::string::npos);
    Require(numira::SanitizeUtf8(c.latestDrawDate) == c.latestDrawDate);
  }
  return 0;
}
