#pragma once
// The changes a publisher makes to a draw history: one result added after the last,
// or the last one taken back.
#include <optional>
#include <string>
#include <string_view>

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

// Removes the last result of the history at path, which must be draw drawNo, and
// returns it; any other draw number is refused (PublishError, file:line), the file left
// as it was. Written as AddDraw writes.
Draw UndoDraw(const std::string& path, Game game, std::string_view drawNo);

}  // namespace numira
