#pragma once
// The numira-lists command line: add a result, build the lists, check them.
#include <iosfwd>
#include <string>
#include <vector>

namespace numira {

// Exit codes.
inline constexpr int kExitOk = 0, kExitProblems = 1, kExitRejected = 2;

// Runs numira-lists with its arguments (without the program name): output to out, one
// line per error or problem to err. Returns the exit code.
int RunLists(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace numira
