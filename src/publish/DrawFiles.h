#pragma once
// The draw files published beside the lists, one per game (draws/numbers3.csv ...): the
// histories in their own format, for the program's check window. Written by build,
// published in the same set as the lists (draws/), checked by check, alone and against the lists beside them.
#include <array>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "ListBuilder.h"
#include "ListValidation.h"

namespace numira {

using DrawBytes = std::array<std::string, kGames.size()>;  // by GameIndex

// The files, byte for byte: FormatHistory of each history (UTF-8, LF).
DrawBytes BuildDrawFiles(const Histories& histories);

struct DrawFileCheck {
  bool present = false;
  std::size_t draws = 0;
  std::string latest;                 // the latest draw's date as the lists write it ("2026年8月21日")
  std::vector<ListProblem> problems;  // line 0: the file as a whole
};

struct DrawsCheck {
  bool folder = false;  // dir/draws exists; without it the lists stand alone and nothing is checked
  std::array<DrawFileCheck, kGames.size()> files;
};

// Checks dir/draws: each file a sound history of its game, whose latest date is its
// lists' header date and whose draws give its won list's counts. expected: the bytes
// build would write (with --draws); each file is then compared with them.
DrawsCheck CheckDrawFiles(const std::string& dir, const DrawBytes* expected = nullptr);

// One line per file to out, each problem as "dir/draws/file:line: what" to err; the
// number of problems.
std::size_t PrintDrawsCheck(const DrawsCheck& check, const std::string& dir, std::ostream& out, std::ostream& err);

}  // namespace numira
