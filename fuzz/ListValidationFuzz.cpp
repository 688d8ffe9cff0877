// Any bytes validated as every kind of list of every game: no crash, and what the
// validation passes is a list by its strict grammar (one header, on the first line, with a
// real date; no zero byte; plain counts; never-drawn lines that hold their entry alone; valid entries,
// none twice), while a bound on the problems only shortens their list.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "FuzzRequire.h"
#include "DrawDate.h"
#include "Entry.h"
#include "ListReader.h"
#include "ListValidation.h"

using numira::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace numira;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (ListKind kind : {ListKind::Correct, ListKind::NoCorrect}) {
    const ListContents c = ParseList(bytes, kind);
    Require(c.fileBytes == size);
    for (Game game : kGames) {
      // A few dozen problems show the order as well as all of them would, much faster.
      const std::vector<ListProblem> all = ValidateList(c, game, kind, 40);
      const std::vector<ListProblem> first = ValidateList(c, game, kind, 1);
      Require(first.size() == (all.empty() ? 0u : 1u));
      Require(IsValidList(c, game, kind) == all.empty());
      for (std::size_t i = 1; i < all.size(); ++i) Require(all[i - 1].line <= all[i].line);
      if (!all.empty()) continue;

      Require(c.doctypeLine == 0 && c.headerLines.size() == 1 && c.headerLines[0] == 1);
      Require(ParseHeaderDate(c.latestDrawDate).has_value());
      Require(c.malformedCounts.empty() && c.entriesWithMore.empty() && c.countlessLines.empty() &&
              c.zeroByteLines.empty());
      Require(kind == ListKind::NoCorrect || !c.entries.empty());
      std::set<std::string_view> seen;
      for (std::size_t i = 0; i < c.entries.size(); ++i) {
        Require(IsValidEntry(c.entries[i], game));
        Require(seen.insert(c.entries[i]).second);
        if (kind == ListKind::Correct) Require(c.counts[i] >= 1 && c.counts[i] <= 999999999u);
      }
    }
  }
  return 0;
}
