#pragma once
// The draw files published beside the lists, one per game (draws/numbers3.csv ...): the
// histories in their own format, for the program's check window; and the prize files of
// the games with a prize table (prizes/loto6.csv ...). Written by build, published in the
// same set as the lists, checked by check, alone and against the files beside them.
#include <array>
#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "ListBuilder.h"
#include "ListValidation.h"

namespace numira {

using DrawBytes = std::array<std::string, kGames.size()>;  // by GameIndex

// The files, byte for byte: FormatHistory of each history (UTF-8, LF).
DrawBytes BuildDrawFiles(const Histories& histories);

// The prize files published beside the draw files (prizes/loto6.csv ...), by GameIndex:
// for each game with a prize table whose history folder has a prize file (PrizeFileBeside),
// FormatPrizes of its rows; nullopt for the others (their prizes are not known).
using PrizeBytes = std::array<std::optional<std::string>, kGames.size()>;

// Reads the prize files beside drawsDir; each must be sound and belong to its game's
// history (PublishError, file:line, on the first fault).
PrizeBytes BuildPrizeFiles(const std::string& drawsDir, const Histories& histories);

struct PrizeFileCheck {
  bool present = false;
  std::size_t rows = 0;
  std::uint32_t lastDraw = 0;         // the latest draw with prizes
  std::vector<ListProblem> problems;  // line 0: the file as a whole
};

struct DrawFileCheck {
  bool present = false;
  std::size_t draws = 0;
  std::string latest;                 // the latest draw's date as the lists write it ("2026年8月21日")
  std::vector<ListProblem> problems;  // line 0: the file as a whole
};

struct DrawsCheck {
  bool folder = false;  // dir/draws exists; without it the lists stand alone and nothing is checked
  std::array<DrawFileCheck, kGames.size()> files;
  std::array<PrizeFileCheck, kGames.size()> prizes;  // the games with a prize table
};

// Checks dir/draws: each file a sound history of its game, whose latest date is its
// lists' header date and whose draws give its won list's counts. expected: the bytes
// build would write (with --draws); each file is then compared with them.
//
// And dir/prizes: each prize file there (none is fine) sound, with a sound .gz copy,
// every row a draw of the draw file beside it on its date. expectedPrizes: what build
// would write (with --draws); a file is then compared with it, and one the histories
// have must be there.
DrawsCheck CheckDrawFiles(const std::string& dir, const DrawBytes* expected = nullptr,
                          const PrizeBytes* expectedPrizes = nullptr);

// One line per file to out, each problem as "dir/draws/file:line: what" (or
// "dir/prizes/file:line: what") to err; the number of problems.
std::size_t PrintDrawsCheck(const DrawsCheck& check, const std::string& dir, std::ostream& out, std::ostream& err);

}  // namespace numira
