#pragma once
// The four draw files as the refresh's extra files: fetched after the six lists from
// /Data/draws/, stored in the draws folder beside the lists.
#include <vector>

#include "ListTable.h"
#include "RefreshJob.h"

namespace numira {

// draws/numbers3.csv … draws/loto6.csv beside the lists (none when the lists have no
// folder to be stored in). A fetched file replaces the stored one only when it is a sound
// history of its game (ValidateDrawFile) that does not end before the stored copy: a
// stale mirror never takes draws back.
std::vector<ExtraFile> DrawFilesBeside(const ListPaths& lists);

}  // namespace numira
