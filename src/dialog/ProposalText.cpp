#include "ProposalText.h"

#include "Entry.h"
#include "TextFill.h"
#include "Texts.h"

namespace numira {

std::string ProposalLine(Game game, const std::string& proposal) {
  std::string line = std::string(text::kGameNames[GameIndex(game)]) + text::kCopySeparator;
  if (IsNumbers(game)) return line + proposal;
  if (proposal.empty()) return line;
  bool first = true;
  for (const std::int32_t n : EntryFields(proposal)) {
    if (!first) line += ' ';
    line += TwoDigits(n);
    first = false;
  }
  return line;
}

std::string CandidateCountText(Game game, std::int64_t count) {
  return Fill(IsNumbers(game) ? text::kNumbersCandidatesFormat : text::kLotoCandidatesFormat, {Grouped(count)});
}

}  // namespace numira
