#pragma once
// The publisher's side of the draw histories: reading a history file, and where a game's
// prize file lies beside the histories. The format and its parser live in the draws layer (DrawHistory.h).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DrawHistory.h"
#include "Prizes.h"

namespace numira {

// A rejected input or a fault in a file: one line, "file:line: what" where a line is known.
using PublishError = HistoryError;

// ParseHistory of the file; a file that cannot be read is a PublishError too.
std::vector<Draw> ReadHistory(const std::string& path, Game game);

// The prize file of a game in the history layout: a folder "prizes" beside the draws
// folder (the draws folder /srv/numira/draws: /srv/numira/prizes/loto6.csv); "" for a
// game without a prize table. It need not exist: a game's prizes may be unknown.
std::string PrizeFileBeside(const std::string& drawsDir, Game game);

}  // namespace numira
