#include "ProposalText.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "Texts.h"

namespace numira {

std::string ProposalLine(Game game, const std::string& proposal) {
  std::string line = std::string(text::kGameNames[GameIndex(game)]) + text::kCopySeparator;
  if (!IsLoto(game)) return line + proposal;
  std::string_view rest = proposal;
  for (bool first = true; !rest.empty(); first = false) {
    const std::size_t dot = rest.find('.');
    const std::string field(rest.substr(0, dot));
    rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    char number[16];
    std::snprintf(number, sizeof number, "%02d", std::atoi(field.c_str()));
    if (!first) line += ' ';
    line += number;
  }
  return line;
}

std::string CandidateCountText(Game game, std::int64_t count) {
  std::string format = IsLoto(game) ? text::kLotoCandidatesFormat : text::kNumbersCandidatesFormat;
  const std::size_t at = format.find("%1");
  return format.replace(at, 2, std::to_string(count));
}

}  // namespace numira
