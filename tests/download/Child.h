#pragma once
// Runs part of a test in a forked child: for process-wide settings (a file-size limit,
// a network namespace of its own) that must not touch the rest of the test run.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace numira::testing {

inline constexpr int kChildCannotIsolate = 77;

// Runs body in a child; the child's EXPECTs print as usual and make it exit with 1.
// With isolateNetwork the child first moves into a network namespace of its own, where
// only a loopback device exists, so nothing it sends can leave the machine.
// Returns the child's exit code (kChildCannotIsolate when the namespace is refused).
inline int RunInChild(const std::function<void()>& body, bool isolateNetwork = false) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (isolateNetwork && ::unshare(CLONE_NEWNET) != 0) ::_exit(kChildCannotIsolate);
    body();
    std::fflush(nullptr);
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace numira::testing
