#pragma once
// Whether what the reader made of a file is a good list of its kind for its game: the
// one set of rules that the refresh (before a fetched copy may replace a list) and the
// list publisher's check share.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "Game.h"
#include "ListReader.h"

namespace numira {

struct ListProblem {
  std::uint32_t line;  // line of the file (1-based); 0 for the file as a whole
  std::string text;    // what is wrong (English, one line)
};

// Whether an entry is written as the game's lists write it: Numbers 3 / 4 exactly 3 / 4
// digits; Mini Loto / Loto 6 five / six distinct numbers from 1 to 31 / 43, ascending,
// in decimal without leading zeros, joined by "." ("3.12.17.25.31").
bool IsValidEntry(std::string_view entry, Game game);

// The problems of one read list, in line order, at most maxProblems of them:
// - a "DOCTYPE" line (an HTML page, not a list); no header line with a real date;
// - an entry that is not valid for the game (IsValidEntry); an entry listed twice;
// - won lists: a data line without a comma and count, a count below 1 (or negative),
//   and no entry at all. A never-won list may have no entry: every number has won.
std::vector<ListProblem> ValidateList(const ListContents& contents, Game game, ListKind kind,
                                      std::size_t maxProblems = std::numeric_limits<std::size_t>::max());

// ValidateList finds nothing.
inline bool IsValidList(const ListContents& contents, Game game, ListKind kind) {
  return ValidateList(contents, game, kind, 1).empty();
}

// The game's name as the problems name it ("Numbers 3", "Mini Loto" ...).
const char* GameName(Game game);

// A text as a one-line message shows it: in double quotes, control bytes (and with
// asciiOnly every byte outside printable ASCII) as \xNN, cut after 40 bytes.
std::string Quoted(std::string_view text, bool asciiOnly = true);

}  // namespace numira
