#pragma once
// The publisher's side of the draw histories: reading a history file and appending a
// result to it. The format and its parser live in the draws layer (DrawHistory.h).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DrawHistory.h"

namespace numira {

// A rejected input or a fault in a file: one line, "file:line: what" where a line is known.
using PublishError = HistoryError;

// ParseHistory of the file; a file that cannot be read is a PublishError too.
std::vector<Draw> ReadHistory(const std::string& path, Game game);

// Appends one result to the history at path and returns it. The draw number must be
// the last one's plus 1, the date real and later than the last draw's; a bonus number
// (Mini Loto, Loto 6) may come with it, and the history then gains its bonus column.
// The file is replaced atomically; on any error it is left as it was (PublishError,
// file:line).
Draw AddDraw(const std::string& path, Game game, std::string_view drawNo, std::string_view date,
             std::string_view numbers, std::optional<std::string_view> bonus = std::nullopt);

}  // namespace numira
