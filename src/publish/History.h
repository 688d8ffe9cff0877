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

}  // namespace numira
