#pragma once
// Texts made from a proposal or a count: the line a proposal is copied as, and the
// filter drop-down's candidate count.
#include <cstdint>
#include <string>

#include "Game.h"

namespace numira {

// "ナンバーズ３：720"; a Loto proposal ("2.8.19.27.33.42") with two digits a number,
// as the draws are announced: "ロト６：02 08 19 27 33 42".
std::string ProposalLine(Game game, const std::string& proposal);

// "候補：12個" for the Numbers games, "候補：6,094,417通り" for the Loto games.
std::string CandidateCountText(Game game, std::int64_t count);

}  // namespace numira
