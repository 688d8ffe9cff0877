#pragma once
// Whether what the reader made of a file is a good list of its kind for its game: the
// one set of rules that the refresh (before a fetched copy may replace a list) and the
// list publisher's check share.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "Game.h"
#include "ListReader.h"

namespace numira {

// The largest list file the program takes, fetched or checked (the largest real list is
// some 40 KB): a bigger one is refused whole.
inline constexpr std::uint64_t kListSizeLimit = std::uint64_t{32} << 20;

struct ListProblem {
  std::uint32_t line;  // line of the file (1-based); 0 for the file as a whole
  std::string text;    // what is wrong (English, one line)
};

// The problems of one read list, in line order, at most maxProblems of them:
// - a file larger than kListSizeLimit; a "DOCTYPE" line (an HTML page, not a list);
// - no header line with a real date; a header that is not the first line; a second one;
// - a zero byte in a line (the reader sees nothing after it);
// - an entry that is not valid for the game (IsValidEntry); an entry listed twice;
// - won lists: a data line without a comma and count, a count that is not 1 to 9 decimal
//   digits of at least 1 (IsStrictCount), and no entry at all;
// - never-won lists: a line with more than its entry ("0002,3"). A never-won list may
//   have no entry: every number has won.
std::vector<ListProblem> ValidateList(const ListContents& contents, Game game, ListKind kind,
                                      std::size_t maxProblems = std::numeric_limits<std::size_t>::max());

// ValidateList finds nothing.
inline bool IsValidList(const ListContents& contents, Game game, ListKind kind) {
  return ValidateList(contents, game, kind, 1).empty();
}

// How the two lists of a Numbers game cover its numbers together, which one read of each
// cannot see: every number belongs in exactly one of them. Entries that are not numbers
// of the game are left out (ValidateList names them).
struct NumbersCoverage {
  std::size_t inBoth = 0;                // never-won entries whose number the won list holds too
  std::string firstInBoth;               // the first of them, as the never-won list writes it
  std::uint32_t firstInBothLine = 0;     // its line in the never-won list
  std::uint32_t firstInBothWonLine = 0;  // and the number's line in the won list
  std::size_t inNeither = 0;             // numbers of the game in neither list
  int firstInNeither = -1;               // the lowest of them
  bool Complete() const { return inBoth == 0 && inNeither == 0; }
};
NumbersCoverage CoverNumbers(Game game, const ListContents& won, const ListContents& neverWon);

}  // namespace numira
