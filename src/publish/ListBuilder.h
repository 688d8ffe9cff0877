#pragma once
// The list files as published, built from the draw histories.
#include <array>
#include <string>
#include <vector>

#include "History.h"
#include "ListTable.h"

namespace numira {

using Histories = std::array<std::vector<Draw>, kGames.size()>;  // by GameIndex
using ListBytes = std::array<std::string, kListFiles.size()>;  // in list-table order

// The histories of a draws folder, one per game (numbers3.csv ...). PublishError (file:line) on
// the first fault; a history without draws is one too (its lists would have no date).
Histories ReadHistories(const std::string& drawsDir);

// The header line: "#2026年8月21日" in code page 932, CR LF.
std::string ListHeader(Date latestDraw);

// The list files, byte for byte: code page 932, CR LF line ends, the header with the
// game's last draw date, then
// - Num3Correct / Num4Correct: every number drawn, ascending, zero-padded, "," and
//   in how many draws it came up ("007,3");
// - Num3NoCorrect / Num4NoCorrect: every number of the range never drawn, ascending;
// - the won lists of the other games (MiniCorrect, Lot6Correct, Lot7Correct,
//   Bingo5Correct): each distinct combination once, in the order of its first draw, ","
//   and how many draws it won ("3.12.17.25.31,1").
// Every history must hold at least one draw.
ListBytes BuildLists(const Histories& histories);

}  // namespace numira
