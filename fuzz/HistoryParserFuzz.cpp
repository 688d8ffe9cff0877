// Any bytes read as each game's draw history: no crash; a history that is taken is one
// the format writes back byte for byte once canonical, with draws numbered from 1, dates
// rising, and every bonus number outside the draw's numbers; the validator agrees. The
// same bytes typed as a ticket of every game and type: refused, or a ticket of the right
// length and range.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "DrawHistory.h"
#include "Entry.h"
#include "Ticket.h"

namespace {

void Require(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (numira::Game game : numira::kGames) {
    bool taken = true;
    std::vector<numira::Draw> draws;
    try {
      draws = numira::ParseHistory(bytes, game, "fuzz.csv");
    } catch (const numira::HistoryError&) {
      taken = false;
    }
    const auto problems = numira::ValidateDrawFile(bytes, game);
    Require(problems.empty() == (taken && !draws.empty()));
    if (!taken) continue;
    for (std::size_t i = 0; i < draws.size(); ++i) {
      Require(draws[i].number == i + 1);
      Require(i == 0 || draws[i - 1].date < draws[i].date);
      for (int b : draws[i].bonus) {
        for (int n : numira::EntryNumberList(draws[i].numbers, game)) Require(n != b);
      }
    }
    const std::string canonical = numira::FormatHistory(draws, game);
    const std::vector<numira::Draw> again = numira::ParseHistory(canonical, game, "fuzz.csv");
    Require(numira::FormatHistory(again, game) == canonical);
    numira::DrawsSinceLast(draws, game);
  }
  for (numira::Game game : numira::kGames)
    for (numira::TicketType type : {numira::TicketType::Straight, numira::TicketType::Box, numira::TicketType::Set,
                                    numira::TicketType::Mini}) {
      const numira::TicketReading r = numira::ReadTicket(bytes, game, type);
      Require(r.ticket.has_value() == (r.fault == numira::TicketFault::None));
      if (!r.ticket) continue;
      Require(static_cast<int>(r.ticket->numbers.size()) == numira::TicketLength(game, r.ticket->type));
      const int low = numira::IsNumbers(game) ? 0 : 1, high = numira::IsNumbers(game) ? 9 : numira::RulesOf(game).largest;
      for (int n : r.ticket->numbers) Require(n >= low && n <= high);
    }
  return 0;
}
