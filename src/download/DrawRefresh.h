#pragma once
// The refresh's extra files beside the six lists: the lists added since (Lot7Correct.txt,
// Bingo5Correct.txt), the draw files from /Data/draws/ and the prize files from
// /Data/prizes/, stored in the same places beside the lists. A server without them (404)
// is no fault, and none of them changes the outcome of the six lists.
#include <vector>

#include "ListTable.h"
#include "RefreshJob.h"

namespace numira {

// In this order: the added lists (list-table order), draws/numbers3.csv … draws/bingo5.csv,
// prizes/miniloto.csv … for the games with a prize table. None when the lists have no
// folder to be stored in; a file whose path would not fit is left out. A fetched file
// replaces the stored one when it is sound for its game, whatever its dates, unless it
// carries a date after tomorrow in Japan (these checks serve a server without a set index):
// - an added list: a valid list of its kind (ValidateList);
// - a draw file: a sound history (ValidateDrawFile);
// - a prize file: a sound prize file (ValidatePrizeFile), for draws of the game's stored
//   history on their dates (when there is one).
std::vector<ExtraFile> ExtraFilesBeside(const ListPaths& lists);

}  // namespace numira
