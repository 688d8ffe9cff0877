// numira-refresh: the list refresh as a program of its own, so that the window's process
// never waits on the network nor loads its libraries. The window starts it with the
// arguments RefreshArguments makes and reads the report (FormatReport) from its standard
// output: each list's line as soon as its outcome is final, then the whole report.
// SIGTERM, SIGINT and SIGHUP (and the window's process ending) stop it at once: the
// stages of the files being fetched are removed and no list is left half replaced.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "DrawRefresh.h"
#include "FileStore.h"
#include "RefreshJob.h"
#include "SetIndex.h"

namespace {

std::atomic<bool> stopRequested{false};
// The stages this process may be writing, fixed before any signal is taken.
const numira::OwnStages* stages = nullptr;

extern "C" void OnStopSignal(int signal) {
  stopRequested.store(true);
  // Renames into place block these signals, so here no pair is half replaced.
  if (stages) stages->RemoveAll();
  ::_exit(128 + signal);
}

void WriteOut(const std::string& text) {
  for (std::size_t off = 0; off < text.size();) {
    const ssize_t n = ::write(STDOUT_FILENO, text.data() + off, text.size() - off);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nobody listens any more; the files are what matters
    off += static_cast<std::size_t>(n);
  }
}

}  // namespace

int main(int argc, char** argv) {
  using namespace numira;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::optional<RefreshRequest> request = ParseRefreshArguments(args);
  if (!request) {
    std::fprintf(stderr, "usage: %s --server URL [--agent NAME] [--limits C,LS,LT,T,R,B] [--lists-only] -- LIST1 ... LIST%zu\n",
                 kRefreshProgramName, kListFiles.size());
    return 2;
  }
  // After the six lists, the added lists, the draw files and the prize files beside them,
  // each with its own check (none when only the lists are asked for).
  const std::vector<ExtraFile> extras = request->listsOnly ? std::vector<ExtraFile>{} : ExtraFilesBeside(request->lists);

  std::vector<std::string> targets(request->lists.begin(), request->lists.end());
  for (const ExtraFile& extra : extras) targets.push_back(extra.localPath);
  // The set's index, staged beside the lists while it is fetched.
  for (const std::string& list : request->lists)
    if (!list.empty()) {
      targets.push_back(list.substr(0, list.rfind('/') + 1) + std::string(kSetIndexName));
      break;
    }
  // Kept until the process ends: a signal may come at any moment up to then.
  stages = new OwnStages(targets);

  std::signal(SIGPIPE, SIG_IGN);
  struct sigaction stop {};
  stop.sa_handler = &OnStopSignal;
  sigfillset(&stop.sa_mask);
  for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &stop, nullptr);
  // The window's process gone (closed, crashed) is a stop too.
  const pid_t parent = ::getppid();
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (::getppid() != parent) return 1;

  const RefreshReport report = RunRefresh(*request, extras, &stopRequested,
                                          [](std::size_t row, const ListResult& r) { WriteOut(FormatListLine(row, r)); });
  WriteOut(FormatReport(report));
  return 0;
}
