#include "ProposalText.h"

#include <cstdio>
#include <string_view>

#include "Entry.h"
#include "Texts.h"

namespace numira {

std::string ProposalLine(Game game, const std::string& proposal) {
  std::string line = std::string(text::kGameNames[GameIndex(game)]) + text::kCopySeparator;
  if (IsNumbers(game)) return line + proposal;
  if (proposal.empty()) return line;
  bool first = true;
  for (const std::int32_t n : EntryFields(proposal)) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", n);
    if (!first) line += ' ';
    line += number;
    first = false;
  }
  return line;
}

std::string CandidateCountText(Game game, std::int64_t count) {
  std::string format = IsNumbers(game) ? text::kNumbersCandidatesFormat : text::kLotoCandidatesFormat;
  const std::size_t at = format.find("%1");
  return format.replace(at, 2, std::to_string(count));
}

}  // namespace numira
