#pragma once
// What build and check ask of a set beyond each file on its own: no date after tomorrow
// in Japan (histories, lists and draw files), and the set's index against its files.
#include <cstddef>
#include <iosfwd>
#include <string>

#include "DrawFiles.h"
#include "ListCheck.h"

namespace numira {

// PublishError naming the history file and the draw when a history's last draw is
// dated after lastDay (tomorrow in Japan): such a set is refused, nothing published.
void RefuseDrawsAfter(const Histories& histories, const std::string& drawsDir, Date lastDay);

// The lists and draw files of a checked folder dated after lastDay: one line each,
// "dir/file: dated ..., after tomorrow in Japan (...)", to err. Their number.
std::size_t PrintDatesAfter(const CheckResult& lists, const DrawsCheck& draws, const std::string& dir, Date lastDay,
                            std::ostream& err);

// The index of the folder served (index.txt) against its files: one line per problem to
// err, "dir/index.txt:line: what" or "dir/file: what"; a line to out for a sound index,
// and for none (a folder an earlier numira-lists published, served without one). The
// number of problems.
std::size_t PrintIndexCheck(const std::string& served, const std::string& dir, std::ostream& out, std::ostream& err);

}  // namespace numira
