#pragma once
// The figures of a game's draw history, from its lists in memory: how many draws there
// were and how often each number (Loto, ビンゴ５) or each digit at each position (Numbers) came up.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Game.h"
#include "WinningList.h"

namespace numira {

struct HistoryFigures {
  Game game = Game::Num3;
  bool hasData = false;        // the won list holds entries
  std::string latestDrawDate;  // UTF-8
  std::uint64_t draws = 0;     // the sum of the won list's counts: every draw is counted once there
  // Loto: in how many draws each number came up; index 0 is number 1.
  std::vector<std::uint64_t> numberCounts;
  // Numbers: per position, from the highest (千 for Num4, 百 for Num3) down to 一, how many
  // draws had each digit 0-9 there.
  std::vector<std::array<std::uint64_t, 10>> digitCounts;
  std::uint64_t neverDrawn = 0;  // Numbers: entries of the never-won list
};

HistoryFigures ComputeFigures(Game game, const WinningList& list);

// How many draws gave this Numbers entry: the counts of the won list's entries equal to it.
std::uint64_t EntryDrawCount(const WinningList& list, std::string_view entry);

// The numbers of a Loto entry ("3.12.17.25.31") that the figures count: its fields as a
// past-combination draw reads them (EntryFields); numbers outside the game's range are
// left out, a repeated one is taken once. A Numbers entry's digits count only when it is
// in exact form (EntryNumberList).
std::vector<int> LotoNumbers(std::string_view entry, Game game);

// The share of draws in percent with one decimal ("13.6%"); "" when there were no draws.
std::string ShareText(std::uint64_t count, std::uint64_t draws);

}  // namespace numira
