#pragma once
// The draw histories: one CSV file per game ("draw_no,date,numbers", UTF-8, LF line
// ends; the games with bonus numbers may add a column "bonus"), the record of every draw
// that the list files are built from and that the program shows draw by draw.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "DrawDate.h"
#include "DrawFileNames.h"
#include "Game.h"
#include "ListValidation.h"

namespace numira {

// A rejected input or a fault in a history: one line, "file:line: what" where a line is known.
class HistoryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "file:line: text"; "file: text" for line 0 (the file as a whole).
std::string At(const std::string& file, std::uint32_t line, const std::string& text);

// A draw number as the files write it: decimal digits without leading zeros, 1 to 9 digits.
std::optional<std::uint32_t> ParseDrawNo(std::string_view text);
// A line of a CSV file split at each ",".
std::vector<std::string_view> CsvFields(std::string_view line);

// A fault of a CSV file (a history, a prize file): its line (1-based; 0: the file as a
// whole) and what is wrong.
struct CsvFault {
  std::uint32_t line;
  std::string text;
};
// The lines of a CSV file without their line ends (LF, a CR before it dropped); the last
// line may lack its LF; none for an empty file. Throws CsvFault for a byte-order mark.
std::vector<std::string_view> CsvLines(std::string_view bytes);

inline constexpr std::string_view kHistoryColumns = "draw_no,date,numbers";
// Games with bonus numbers only: the column line of a history that records them.
inline constexpr std::string_view kHistoryColumnsWithBonus = "draw_no,date,numbers,bonus";

// The largest draw file the program reads (the largest real one is about 150 KB).
inline constexpr std::size_t kMaxDrawFileBytes = 8u << 20;

struct Draw {
  std::uint32_t number = 0;
  Date date;
  std::string numbers;     // as stored: "084", "2.5.9.17.31"
  std::vector<int> bonus;  // the bonus numbers, ascending (RulesOf(game).bonusCount); none when not recorded
};

// A history's draws, in file order. Throws HistoryError naming file:line for the first
// fault: a byte-order mark, a wrong column line, a wrong field count, a first draw other
// than 1 or a draw number out of sequence, a date that is not real or not later than the
// one before, numbers not in the stored form of the game, bonus numbers that are not the
// game's count of distinct numbers of its range, ascending, joined by "." ("3.15"), or
// one of them among the draw's numbers. A draw may leave its bonus empty (not recorded).
// A CR before a LF is allowed.
std::vector<Draw> ParseHistory(std::string_view bytes, Game game, const std::string& file);

// The problems of a draw file's bytes for a game (at most one: the first fault, with its
// line; no problems for a sound file), for whoever must decide whether to take it.
std::vector<ListProblem> ValidateDrawFile(std::string_view bytes, Game game);

// A history's bytes in its own format: the column line (with "bonus" when a draw has
// one), then one line per draw; LF line ends. ParseHistory reads it back unchanged.
std::string FormatHistory(const std::vector<Draw>& draws, Game game);
// One draw's line without its line end: "2040,2025-10-06,1.2.3.4.5.6,7".
std::string FormatDraw(const Draw& draw);
// Bonus numbers as a history stores them: "7", "3.15"; "" for none.
std::string FormatBonus(const std::vector<int>& bonus);

// The bytes of a regular file of at most maxBytes; nullopt when it cannot be read, is
// not a regular file (a FIFO, a device) or is larger.
std::optional<std::string> ReadDrawFile(const std::string& path, std::size_t maxBytes = kMaxDrawFileBytes);

// The numbers of a result as a user types them, in the stored form: Numbers 3 / 4
// exactly 3 / 4 digits; Mini Loto / Loto 6 five / six distinct numbers from 1 to 31 /
// 43, separated by ".", "," or spaces, in any order, stored ascending without zero
// padding. Throws HistoryError (without file or line) saying what is wrong.
std::string NormaliseNumbers(std::string_view text, Game game);

// A draw's bonus numbers as typed ("7", "07"; Loto 7 "3.15", "15 3", "3,15"): the game's
// count of distinct numbers of its range, none of them one of the stored numbers;
// returned ascending. Throws HistoryError saying what is wrong.
std::vector<int> ParseBonus(std::string_view text, Game game, std::string_view storedNumbers);

// For each number 1..largest of a game of numbers (not Numbers), how many draws ago it
// last came up (0: in the latest draw); nullopt for a number that never came up. Empty
// for a Numbers game.
std::vector<std::optional<std::uint32_t>> DrawsSinceLast(const std::vector<Draw>& draws, Game game);

}  // namespace numira
