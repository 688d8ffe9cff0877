#pragma once
// A purchase as the tests write one: a game's lines typed as a player types them.
#include <cstdint>
#include <string>
#include <vector>

#include "Purchase.h"

namespace numira::testing {

inline Purchase Slip(Game game, std::vector<std::string> numbers, int units, std::uint32_t first, int draws = 1,
                     TicketType type = TicketType::Straight) {
  Purchase p;
  p.game = game;
  for (const std::string& n : numbers) p.lines.push_back(*ReadLine(n, game, type).line);
  p.units = units;
  p.firstDraw = first;
  p.draws = draws;
  return p;
}

}  // namespace numira::testing
