#pragma once
// Runs part of a test in a forked child: for process-wide settings (a file-size limit,
// a network namespace of its own) that must not touch the rest of the test run.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <functional>

namespace numira::testing {

inline constexpr int kChildCannotIsolate = 77;

// Runs body in a child process; the child's EXPECTs make it exit with 1, and their
// messages are printed when it does. With isolateNetwork the child first moves into a
// network namespace of its own, where only a loopback device exists, so nothing it
// sends can leave the machine. Returns the child's exit code (kChildCannotIsolate when
// the namespace is refused).
//
// The child is a fresh run of this test binary (gtest's "threadsafe" style), not a bare
// fork: a fork of a process whose server threads are running can inherit a lock that
// one of them held, and hang in the child.
inline int RunInChild(const std::function<void()>& body, bool isolateNetwork = false) {
  static int exitCode;
  exitCode = -1;
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        if (isolateNetwork && ::unshare(CLONE_NEWNET) != 0) ::_exit(kChildCannotIsolate);
        body();
        std::fflush(nullptr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      [](int status) {
        exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return exitCode == 0 || exitCode == kChildCannotIsolate;
      },
      "");
  return exitCode;
}

}  // namespace numira::testing
