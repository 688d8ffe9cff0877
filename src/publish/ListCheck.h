#pragma once
// The check of a folder of list files: read with the program's own reader and judged
// by the same rules as the refresh, plus what one read cannot see (line ends, the
// encoding, the two files of a Numbers game together, the bytes build would write).
#include <array>
#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ListBuilder.h"
#include "ListValidation.h"

namespace numira {

struct FileCheck {
  bool present = false;               // a regular file that could be read
  std::string date;                   // the header date (UTF-8), empty if none
  std::size_t entries = 0;            // entries the reader found
  std::vector<ListProblem> problems;  // in line order; line 0: the file as a whole
};
using CheckResult = std::array<FileCheck, kListFiles.size()>;  // in list-table order

// Checks the six files of dir. expected: the bytes build would write (with --draws);
// each file is then compared with them and its first differing line reported.
CheckResult CheckLists(const std::string& dir, const ListBytes* expected = nullptr);

// PATH.gz beside a served file, which a server hands to clients accepting gzip: it must
// decode (to at most maxBytes) to the file's very bytes. None is fine (the file itself is
// served). Adds a problem (line 0) otherwise.
void CheckCompressedCopy(const std::string& path, std::string_view bytes, std::size_t maxBytes,
                         std::vector<ListProblem>& problems);

std::size_t ProblemCount(const CheckResult& result);

// Per file one line "dir/file: date ..., N entries" to out, then every problem as one
// line "dir/file:line: what" to err. Returns the number of problems.
std::size_t PrintCheck(const CheckResult& result, const std::string& dir, std::ostream& out, std::ostream& err);

}  // namespace numira
