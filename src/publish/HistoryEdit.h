#pragma once
// The changes a publisher makes to a draw history: one result added after the last,
// or the last one taken back.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "History.h"

namespace numira {

// Today's date in Japan (Japan Standard Time, UTC+9, no daylight saving), whatever the
// machine's time zone: no draw can be later.
Date JapanToday();

// Appends one result to the history at path and returns it. The draw number must be
// the last one's plus 1 (1 for an empty history), the date real, later than the last
// draw's and not later than today. The bonus numbers of a game that has them may
// come with it; the history then gains its bonus column, and older draws keep none. The file is
// replaced atomically, under the lock of its folder; a symbolic link is written through
// to its target. On any error it is left as it was (PublishError, file:line).
Draw AddDraw(const std::string& path, Game game, std::string_view drawNo, std::string_view date,
             std::string_view numbers, Date today, std::optional<std::string_view> bonus = std::nullopt);

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

// What an import did: the draws it appended, and how many of the file's draws the
// history had already.
struct ImportOutcome {
  std::vector<Draw> added;
  std::size_t known = 0;
};

// Appends the draws of file, a CSV in the history's own format, to the history at path,
// all of them or none. The file may start at any draw up to the one after the history's
// last; a draw the history has must be the same there (its date and numbers, and its
// bonus number where both have one), and the new ones are held to what AddDraw requires.
// Written as AddDraw writes; any fault is a PublishError naming the file and line.
ImportOutcome ImportDraws(const std::string& path, Game game, const std::string& file, Date today);

// Removes the last result of the history at path, which must be draw drawNo, and
// returns it; any other draw number is refused (PublishError, file:line), the file left
// as it was. Written as AddDraw writes.
Draw UndoDraw(const std::string& path, Game game, std::string_view drawNo);

}  // namespace numira
