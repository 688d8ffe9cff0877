#pragma once
// The changes a publisher makes to a game's history and its prize file: results added
// after the last (one, or many from a file), a draw's prizes recorded, the last result
// taken back with its prizes, and empty histories begun.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "History.h"

namespace numira {

// A refused argument of a change (not a fault of a file): the message names the argument.
class ArgumentError : public PublishError {
 public:
  using PublishError::PublishError;
};

// Today's date in Japan: JapanToday() (DrawDate.h); no draw can be later.

// A game's files in a history folder: the history, and its prize file ("" for a game
// without a prize table), which need not exist yet.
struct GameFiles {
  std::string history;
  std::string prizes;
};

// Appends one result to the history and returns it. The draw number must be the last
// one's plus 1 (1 for an empty history), the date real, later than the last draw's and
// not later than today. A game with bonus numbers takes them in bonus ("7"; Loto 7
// "3.15"), and a new draw without them is refused (older draws may lack them); the
// history then gains its bonus column, and older draws keep their lines. The file is
// replaced atomically, under the lock of its folder; a symbolic link is written through
// to its target. On any error it is left as it was (PublishError, file:line).
Draw AddDraw(const std::string& path, Game game, std::string_view drawNo, std::string_view date,
             std::string_view numbers, Date today, std::optional<std::string_view> bonus = std::nullopt);

// What an import did: the draws it appended, the prize rows it recorded, and how many of
// the files' rows were recorded already (and the same).
struct ImportOutcome {
  std::vector<Draw> added;
  std::size_t knownDraws = 0;
  std::vector<DrawPrizes> addedPrizes;
  std::size_t knownPrizes = 0;
};

// Appends the draws of drawsFile, a CSV in the history's own format, to the history, and
// records the prize rows of prizesFile (a prize file's own format), all of it or nothing.
// The draws may start at any draw up to the one after the history's last; a draw the
// history has must be the same there (its date and numbers, and its bonus numbers where
// both have them), and the new ones are held to what AddDraw requires. A prize row must
// belong to a draw of the history (after the import) on its date, and a draw's prizes
// recorded already must be the same. Written as AddDraw writes; any fault is a
// PublishError naming the file and line.
ImportOutcome ImportDraws(const GameFiles& files, Game game, const std::string& drawsFile,
                          const std::optional<std::string>& prizesFile, Date today);

// A draw's prize table as a publisher gives it: per tier the winners and the amount per
// winner in whole yen, tier 1 first, and the carry-over where the game has one.
struct PrizeInput {
  std::string drawNo;
  std::vector<std::string> values;  // t1 winners, t1 amount, t2 winners, ...
  std::optional<std::string> carryover;
  bool replace = false;  // the draw's prizes may be recorded already: they are replaced
};

// What recording prizes did.
struct PrizeOutcome {
  DrawPrizes prizes;
  bool replaced = false;
};

// Records the prizes of a draw of the history in the game's prize file (made with its
// column line when missing), in draw order. The draw must be in the history; the values
// must be the game's tiers of winners and amounts in whole yen, winners 0 exactly when
// the amount is 0, with a carry-over exactly where the game has one. A draw whose prizes
// are recorded already is refused unless input.replace. ArgumentError naming the argument,
// or PublishError naming the file and line of a fault in the files; nothing changed.
PrizeOutcome RecordPrizes(const GameFiles& files, Game game, const PrizeInput& input);

// What undo did: the draw removed, and whether its prizes went with it.
struct UndoOutcome {
  Draw draw;
  bool prizesRemoved = false;
};

// Removes the last result of the history, which must be draw drawNo, and its prize row
// when there is one, as one change; any other draw number is refused (PublishError,
// file:line), the files left as they were. Written as AddDraw writes.
UndoOutcome UndoDraw(const GameFiles& files, Game game, std::string_view drawNo);

// What init did with each game's history, in game order.
struct InitOutcome {
  std::string path;
  bool created = false;  // false: it was there already and stays as it was
};

// Begins an empty history (its column line alone) for each game that has none in dir,
// making dir first when it is missing, under the lock of dir. A history that is there
// (a file, a link, anything by its name) is never touched. When every game has one,
// nothing is written and the result is a PublishError; when a file cannot be written,
// the ones this call made are removed again (PublishError).
std::vector<InitOutcome> InitHistories(const std::string& dir);

}  // namespace numira
