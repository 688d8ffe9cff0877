#pragma once
// What the player is told of a refresh that failed (or of a trial of a server): the
// line that says where and why, under the box's first line.
#include <string>

#include "RefreshReport.h"

namespace numira {

// "<where>：<why>" for the first list of the report that failed for a reason of its own
// (a list that failed only with its twin comes last); where is the server, or the list's
// address on it when the list itself was at fault. "" when no list failed.
// totalTimeoutMs: the refresh's time limit, named when the refresh program was ended.
std::string FailureLine(const std::string& server, const RefreshReport& report, long totalTimeoutMs);

}  // namespace numira
