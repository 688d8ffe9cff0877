#include "RefreshJob.h"

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <thread>
#include <cstring>
#include <map>
#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "DrawDate.h"
#include "FileStore.h"
#include "ListReader.h"
#include "ListServerChoice.h"
#include "Entry.h"
#include "ListValidation.h"
#include "SetConsistency.h"
#include "SetIndex.h"

namespace numira {
namespace {

using Clock = std::chrono::steady_clock;

// The signals that end the refresh program wait while files are renamed into place, so
// that a pair of lists is never left half replaced.
class CommitSection {
 public:
  CommitSection() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&set, s);
    pthread_sigmask(SIG_BLOCK, &set, &old_);
  }
  CommitSection(const CommitSection&) = delete;
  CommitSection& operator=(const CommitSection&) = delete;
  ~CommitSection() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }

 private:
  sigset_t old_;
};

bool Stopped(const std::atomic<bool>* stop) { return stop && stop->load(); }

// One list's fetch, held until it may replace the stored copy.
struct Candidate {
  enum class State { Failed, NotModified, Fetched } state = State::Failed;
  FailReason reason = FailReason::None;  // Failed: why
  std::string detail;
  std::unique_ptr<StagedFile> part;
  ListContents contents;  // Fetched: the fresh copy as read
};

class Job {
 public:
  Job(const RefreshRequest& request, const FileOps& file, const std::atomic<bool>* stop,
      const std::function<void(std::size_t, const ListResult&)>& onList)
      : request_(request), file_(file), stop_(stop), onList_(onList) {
    if (request.limits.totalTimeoutMs > 0)
      deadline_ = Clock::now() + std::chrono::milliseconds(request.limits.totalTimeoutMs);
  }

  const RefreshReport& Report() const { return report_; }

  // Another writer held the folder: nothing was tried, nothing written.
  void Busy(std::size_t extras) {
    for (std::size_t row = 0; row < kFirstLists; ++row) Final(row, Failure(FailReason::FolderBusy));
    report_.extras.assign(extras, ExtraOutcome::Failed);
  }

  void RunLists() {
    std::array<Candidate, kFirstLists> held;
    std::array<bool, kFirstLists> tried{}, done{};
    for (std::size_t row = 0; row < kFirstLists; ++row) {
      if (Stopped(stop_)) break;
      tried[row] = true;
      try {
        held[row] = Fetch(row, true);
        if (Stopped(stop_)) break;
        const int twin = Twin(row);
        if (twin < 0) {
          Settle(row, held[row]);
          done[row] = true;
        } else if (static_cast<std::size_t>(twin) < row) {
          SettlePair(static_cast<std::size_t>(twin), held[static_cast<std::size_t>(twin)], row, held[row]);
          done[row] = done[static_cast<std::size_t>(twin)] = true;
        }
      } catch (const LocalFileError& e) {
        // The disk let us down on the list being fetched: fetch no more; a held twin is
        // not replaced alone.
        Final(fetching_, {ListOutcome::LocalFileError, e.DiskFull(), FailReason::None, {}});
        done[fetching_] = true;
        break;
      } catch (const std::exception& e) {
        // Anything else (memory running out, say) ends the refresh like a failed one:
        // the lists not yet tried count as failed too.
        crash_ = e.what();
        for (std::size_t later = row + 1; later < kFirstLists; ++later) {
          Final(later, Failure(FailReason::NotStored, crash_));
          done[later] = true;
        }
        break;
      }
    }
    // Whatever was fetched and not settled stays a stage, removed with its holder.
    for (std::size_t row = 0; row < kFirstLists; ++row) {
      if (done[row]) continue;
      if (!tried[row])
        Final(row, {ListOutcome::NotTried, false, FailReason::None, {}});
      else if (Stopped(stop_))
        Final(row, Failure(FailReason::Stopped));
      else if (!crash_.empty())
        Final(row, Failure(FailReason::NotStored, crash_));
      else if (held[row].state == Candidate::State::Failed)
        Final(row, Failure(held[row].reason, held[row].detail));
      else  // fetched, and waiting for its twin when the refresh ended
        Final(row, Failure(FailReason::TwinFailed));
    }
  }

  // The extra files are asked for only from a server that answered for a list: one
  // that is down, stalls or fails every list is not waited for once more per file.
  void RunExtras(std::span<const ExtraFile> extras) {
    const bool answered = std::any_of(report_.lists.begin(), report_.lists.end(), [](const ListResult& r) {
      return r.outcome == ListOutcome::Refreshed || r.outcome == ListOutcome::NotModified;
    });
    for (const ExtraFile& extra : extras) {
      ExtraOutcome outcome = ExtraOutcome::Failed;
      if (answered && !Stopped(stop_)) {
        try {
          outcome = FetchExtra(extra);
        } catch (const std::exception&) {
          outcome = ExtraOutcome::Failed;
        }
      }
      report_.extras.push_back(outcome);
    }
  }

  // The refresh by the server's set index. False when the server has none (404): the
  // lists are then refreshed one by one. folder: the lists' folder, ending in "/".
  bool RunSet(const std::string& folder, std::span<const ExtraFile> extras) {
    const std::string indexPath = folder + std::string(kSetIndexName);
    const std::optional<SetIndex> mine = FolderSetIndex(folder);
    // Whether a switch to a set was under way when its writer died: the files may be of two sets.
    const bool wasSwitching = LookAtFolderSet(folder).switching;
    StagedFile indexStage(indexPath);
    long status = 0;
    fetching_ = 0;
    // The copy's own index is asked about with what the server said of it, as it said it;
    // any full answer is the index, whatever its dates.
    FetchResult rc = FetchToFile(indexStage.Path(), ListFileUrl(request_.baseUrl, kSetIndexName),
                                 Options(indexPath, mine.has_value(), &status));
    if (rc == FetchResult::ErrorStatus && status == 404) return false;
    if (rc == FetchResult::NotModified && !mine) {
      // The validators outlived a readable index (edited in place): ask for it whole.
      rc = FetchToFile(indexStage.Path(), ListFileUrl(request_.baseUrl, kSetIndexName), Options(indexPath, false, &status));
      if (rc == FetchResult::ErrorStatus && status == 404) return false;
    }
    if (Stopped(stop_)) return Refuse(extras.size(), FailReason::Stopped);
    if (rc == FetchResult::ErrorStatus) return Refuse(extras.size(), FailReason::ErrorStatus, std::to_string(status));
    if (rc == FetchResult::TooLarge) return Refuse(extras.size(), FailReason::BadSet, "index.txt: " + TooLargeDetail());
    if (rc != FetchResult::Stored && rc != FetchResult::NotModified) return Refuse(extras.size(), ReasonOf(rc));
    const bool newIndex = rc == FetchResult::Stored;
    SetIndex theirs;
    if (newIndex) {
      std::string error;
      const std::optional<std::string> bytes = ReadRegularFile(indexStage.Path(), kMaxSetIndexBytes);
      std::optional<SetIndex> parsed = bytes ? ParseSetIndex(*bytes, &error) : std::nullopt;
      // A server that answers any path with something (a page of its own) has no index
      // for a copy that never followed one; a copy that did refuses it.
      if (!parsed && !mine) return false;
      if (!parsed) return Refuse(extras.size(), FailReason::BadSet, "index.txt: " + (bytes ? error : "cannot be read"));
      theirs = std::move(*parsed);
    } else {
      theirs = *mine;
    }
    // Sets only go forward, by number: a server serving an earlier set (a stale mirror, a
    // cache) changes nothing.
    if (mine && theirs.number < mine->number)
      return Refuse(extras.size(), FailReason::OlderSet, SetNumberText(theirs.number) + " " + SetNumberText(mine->number));

    // The files this copy keeps, by their path in the set: the six lists, then the extras.
    struct Wanted {
      std::string setPath, local;
      const SetIndexFile* entry = nullptr;
      std::unique_ptr<StagedFile> stage;  // fetched: the verified new bytes
    };
    std::vector<Wanted> wanted;
    for (std::size_t row = 0; row < kFirstLists; ++row) wanted.push_back({kListFiles[row].fileName, request_.lists[row], nullptr, nullptr});
    for (const ExtraFile& extra : extras) wanted.push_back({extra.name, extra.localPath, nullptr, nullptr});
    for (Wanted& w : wanted) {
      const auto found = std::find_if(theirs.files.begin(), theirs.files.end(),
                                      [&](const SetIndexFile& f) { return f.path == w.setPath; });
      if (found != theirs.files.end()) w.entry = &*found;
    }
    for (std::size_t row = 0; row < kFirstLists; ++row) {
      if (request_.lists[row].empty()) return Refuse(extras.size(), FailReason::NotStored);
      if (!wanted[row].entry)
        return Refuse(extras.size(), FailReason::BadSet, "index.txt lists no " + wanted[row].setPath);
    }
    // Only the files whose bytes differ from the copy's are asked for, from the set's own
    // path, and each is checked against the index before anything is put in place.
    const std::string setBase = "sets/" + SetNumberText(theirs.number) + "/";
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      Wanted& w = wanted[i];
      if (!w.entry || w.local.empty()) continue;
      const std::optional<std::string> have = ReadRegularFile(w.local, w.entry->size);
      if (have && MatchesSetFile(*w.entry, *have)) continue;
      if (Stopped(stop_)) return Refuse(extras.size(), FailReason::Stopped);
      const auto slash = w.local.rfind('/');
      if (slash != std::string::npos && slash > 0) ::mkdir(w.local.substr(0, slash).c_str(), 0700);
      fetching_ = std::min(i, kFirstLists - 1);
      w.stage = std::make_unique<StagedFile>(w.local);
      long fileStatus = 0;
      FetchOptions options = Options(w.local, false, &fileStatus);
      options.limits.maxBodyBytes = static_cast<std::int64_t>(w.entry->size) + 1;
      const FetchResult got = FetchToFile(w.stage->Path(), ListFileUrl(request_.baseUrl, setBase + w.setPath), options);
      if (got == FetchResult::ErrorStatus) return Refuse(extras.size(), FailReason::ErrorStatus, std::to_string(fileStatus));
      if (got != FetchResult::Stored && got != FetchResult::TooLarge) return Refuse(extras.size(), ReasonOf(got));
      const std::optional<std::string> bytes = got == FetchResult::Stored ? ReadRegularFile(w.stage->Path(), w.entry->size) : std::nullopt;
      if (!bytes || !MatchesSetFile(*w.entry, *bytes))
        return Refuse(extras.size(), FailReason::BadSet, w.setPath + ": not the size and SHA-256 index.txt lists");
    }
    // The set as it would stand, read before anything is put in place.
    std::map<std::string, std::string> files;
    for (const Wanted& w : wanted)
      if (w.entry && !w.local.empty()) files[w.setPath] = w.stage ? w.stage->Path() : w.local;
    if (const std::string apart = SetDisagreement(files, NextDay(JapanToday())); !apart.empty())
      return Refuse(extras.size(), FailReason::BadSet, apart);

    const bool anyFile = std::any_of(wanted.begin(), wanted.end(), [](const Wanted& w) { return w.stage != nullptr; });
    int error = 0;
    {
      CommitSection section;
      if (Stopped(stop_)) return Refuse(extras.size(), FailReason::Stopped);
      // Readers see the mark while the files of two sets lie side by side.
      if (anyFile) error = MarkSetSwitch(folder);
      std::vector<std::string> folders;
      for (Wanted& w : wanted) {
        if (error != 0 || !w.stage) continue;
        error = w.stage->Commit(StagedFile::Sync::Later);
        if (std::find(folders.begin(), folders.end(), w.stage->Folder()) == folders.end()) folders.push_back(w.stage->Folder());
      }
      // The index last: the copy holds this set once its files are all in place.
      if (error == 0 && newIndex) error = indexStage.Commit(StagedFile::Sync::Later);
      for (const std::string& f : folders) SyncFolder(f);
      SyncFolder(folder);
      if (error == 0 && (anyFile || wasSwitching)) UnmarkSetSwitch(folder);
    }
    if (error != 0) return Refuse(extras.size(), FailReason::NotStored, std::strerror(error));
    for (std::size_t row = 0; row < kFirstLists; ++row)
      Final(row, {wanted[row].stage ? ListOutcome::Refreshed : ListOutcome::NotModified, false, FailReason::None, {}});
    for (std::size_t i = kFirstLists; i < wanted.size(); ++i) {
      const Wanted& w = wanted[i];
      report_.extras.push_back(!w.entry ? ExtraOutcome::Absent : w.stage ? ExtraOutcome::Refreshed : ExtraOutcome::NotModified);
    }
    return true;
  }

  // Whatever a refresh of lists one by one stored, the copy no longer holds one set.
  void ForgetSetIfChanged(const std::string& folder) {
    const bool changed = std::any_of(report_.lists.begin(), report_.lists.end(),
                                     [](const ListResult& r) { return r.outcome == ListOutcome::Refreshed; }) ||
                         std::find(report_.extras.begin(), report_.extras.end(), ExtraOutcome::Refreshed) != report_.extras.end();
    if (changed) ForgetFolderSet(folder);
  }

 private:
  // The whole set is refused: every list fails for the same reason, nothing is written. True
  // (the server had an index).
  bool Refuse(std::size_t extras, FailReason reason, std::string detail = {}) {
    for (std::size_t row = 0; row < kFirstLists; ++row) Final(row, Failure(reason, detail));
    report_.extras.assign(extras, ExtraOutcome::Failed);
    return true;
  }

  // The other Numbers list of the same game; -1 for a list that stands alone.
  static int Twin(std::size_t row) {
    const ListFileRow& list = kListFiles[row];
    if (!IsNumbers(list.game)) return -1;
    return ListRow(list.game, list.kind == ListKind::Correct ? ListKind::NoCorrect : ListKind::Correct);
  }

  static ListResult Failure(FailReason reason, std::string detail = {}) {
    return {ListOutcome::Failed, false, reason, std::move(detail)};
  }

  void Final(std::size_t row, ListResult result) {
    report_.lists[row] = result;
    if (onList_) onList_(row, result);
  }

  FetchOptions Options(const std::string& storedPath, bool conditional, long* status = nullptr) const {
    FetchOptions options;
    options.agent = request_.agent;
    options.limits = request_.limits;
    options.file = file_;
    options.deadline = deadline_;
    // Only the validators a server sent with a copy a fetch stored are sent back: a copy
    // made here (the shipped lists, say) has none.
    if (conditional) options.validators = StoredValidators(storedPath);
    options.session = &session_;
    options.stop = stop_;
    options.status = status;
    return options;
  }

  // Fetches one list into its stage and reads it. Fetched only for a valid list of
  // its kind that is not older than the stored copy.
  Candidate Fetch(std::size_t row, bool conditional) {
    fetching_ = row;
    const ListFileRow& list = kListFiles[row];
    const std::string& path = request_.lists[row];
    Candidate c;
    if (path.empty()) return Fail(FailReason::NotStored);  // no usable path for this list
    // Whether the list changed is asked only of a stored copy that reads as a dated list;
    // any other is asked for whole.
    std::optional<Date> old;
    if (std::optional<ListContents> stored = ReadListFile(path, list.kind, MaxEntries(list.game)))
      old = ParseHeaderDate(stored->latestDrawDate);
    auto part = std::make_unique<StagedFile>(path);
    long status = 0;
    const FetchResult rc = FetchToFile(part->Path(), ListFileUrl(request_.baseUrl, list.fileName),
                                       Options(path, conditional && old, &status));
    if (rc == FetchResult::NotModified) {
      c.state = Candidate::State::NotModified;
      return c;
    }
    if (rc == FetchResult::ErrorStatus) return Fail(FailReason::ErrorStatus, std::to_string(status));
    if (rc == FetchResult::TooLarge) return Fail(FailReason::NotAList, TooLargeDetail());
    if (rc != FetchResult::Stored) return Fail(ReasonOf(rc));
    std::optional<ListContents> contents = ReadListFile(part->Path(), list.kind, MaxEntries(list.game));
    if (!contents) return Fail(FailReason::NotAList, "cannot be read as a list");
    if (const std::vector<ListProblem> problems = ValidateList(*contents, list.game, list.kind, 1); !problems.empty())
      return Fail(FailReason::NotAList, ProblemText(problems.front()));
    // No draw can lie after tomorrow in Japan: such a list is refused. Nothing else is
    // judged by its date: whatever the server serves now is the list.
    const std::optional<Date> fresh = ParseHeaderDate(contents->latestDrawDate);
    if (fresh && *fresh > NextDay(JapanToday()))
      return Fail(FailReason::NotAList, "dated " + contents->latestDrawDate + ", after tomorrow in Japan");
    c.state = Candidate::State::Fetched;
    c.part = std::move(part);
    c.contents = std::move(*contents);
    return c;
  }

  // 0, or the errno of a rename that failed.
  static int Commit(Candidate& c) { return c.state != Candidate::State::Fetched ? 0 : c.part->Commit(); }

  static Candidate Fail(FailReason reason, std::string detail = {}) {
    Candidate c;
    c.reason = reason;
    c.detail = std::move(detail);
    return c;
  }

  static FailReason ReasonOf(FetchResult rc) {
    switch (rc) {
      case FetchResult::NoSuchHost: return FailReason::NoSuchHost;
      case FetchResult::NoConnection: return FailReason::NoConnection;
      case FetchResult::TimedOut: return FailReason::TimedOut;
      case FetchResult::ErrorStatus: return FailReason::ErrorStatus;
      case FetchResult::TooLarge: return FailReason::NotAList;
      case FetchResult::Insecure: return FailReason::Insecure;
      case FetchResult::LocalFile: return FailReason::NotStored;
      case FetchResult::Stopped: return FailReason::Stopped;
      case FetchResult::Stored:
      case FetchResult::NotModified:
      case FetchResult::Broken: break;
    }
    return FailReason::Broken;
  }

  std::string TooLargeDetail() const {
    return "larger than " + std::to_string(request_.limits.maxBodyBytes) + " bytes";
  }

  static std::string ProblemText(const ListProblem& p) {
    return p.line == 0 ? p.text : "line " + std::to_string(p.line) + ": " + p.text;
  }

  static ListOutcome OutcomeOf(const Candidate& c) {
    return c.state == Candidate::State::Fetched ? ListOutcome::Refreshed : ListOutcome::NotModified;
  }

  void Settle(std::size_t row, Candidate& c) {
    if (Stopped(stop_)) return Final(row, Failure(FailReason::Stopped));
    if (c.state == Candidate::State::Failed) return Final(row, Failure(c.reason, c.detail));
    int error = 0;
    {
      CommitSection section;
      if (Stopped(stop_)) return Final(row, Failure(FailReason::Stopped));
      error = Commit(c);
    }
    Final(row, error == 0 ? ListResult{OutcomeOf(c), false, FailReason::None, {}} : Failure(FailReason::NotStored, std::strerror(error)));
  }

  // The copy a pair is judged by: the fresh one, or the stored one the server still has.
  std::optional<ListContents> PairCopy(std::size_t row, Candidate& c) const {
    if (c.state == Candidate::State::Fetched) return c.contents;
    const ListFileRow& list = kListFiles[row];
    std::optional<ListContents> stored = ReadListFile(request_.lists[row], list.kind, MaxEntries(list.game));
    if (!stored || !IsValidList(*stored, list.game, list.kind)) return std::nullopt;
    return stored;
  }

  // "" when the pair agrees, else what keeps it apart.
  std::string PairDisagreement(std::size_t a, Candidate& ca, std::size_t b, Candidate& cb) const {
    const std::optional<ListContents> copyA = PairCopy(a, ca), copyB = PairCopy(b, cb);
    if (!copyA || !copyB) return "a stored copy is not a valid list";
    const bool aNeverWon = kListFiles[a].kind == ListKind::NoCorrect;
    return NumbersPairDisagreement(aNeverWon ? *copyA : *copyB, aNeverWon ? *copyB : *copyA, kListFiles[a].game);
  }

  void SettlePair(std::size_t a, Candidate& ca, std::size_t b, Candidate& cb) {
    using State = Candidate::State;
    if (Stopped(stop_)) {
      Final(a, Failure(FailReason::Stopped));
      Final(b, Failure(FailReason::Stopped));
      return;
    }
    if (ca.state == State::Failed || cb.state == State::Failed) {
      // The one that failed says why; its twin fails with it.
      for (auto [row, c] : {std::pair{a, &ca}, std::pair{b, &cb}})
        Final(row, c->state == State::Failed ? Failure(c->reason, c->detail) : Failure(FailReason::TwinFailed));
      return;
    }
    std::string apart;
    if (ca.state == State::Fetched || cb.state == State::Fetched) apart = PairDisagreement(a, ca, b, cb);
    if (!apart.empty()) {
      // The one the server called unchanged may still be what is out of step: ask for it
      // once more, whatever its time.
      for (auto [row, c] : {std::pair{a, &ca}, std::pair{b, &cb}}) {
        if (c->state != State::NotModified) continue;
        *c = Fetch(row, false);
        if (c->state == State::Fetched && !Stopped(stop_)) apart = PairDisagreement(a, ca, b, cb);
      }
      if (Stopped(stop_) || ca.state == State::Failed || cb.state == State::Failed) return SettlePair(a, ca, b, cb);
      if (!apart.empty()) {
        Final(a, Failure(FailReason::PairDisagrees, apart));
        Final(b, Failure(FailReason::PairDisagrees, apart));
        return;
      }
    }
    int error = 0;
    bool committedA = false, committedB = false;
    {
      CommitSection section;
      if (!Stopped(stop_)) {
        error = Commit(ca);
        committedA = error == 0;
        if (committedA) {
          error = Commit(cb);
          committedB = error == 0;
        }
      }
    }
    const auto settled = [&](bool committed, Candidate& c) {
      if (committed) return ListResult{OutcomeOf(c), false, FailReason::None, {}};
      return error != 0 ? Failure(FailReason::NotStored, std::strerror(error)) : Failure(FailReason::Stopped);
    };
    Final(a, settled(committedA, ca));
    Final(b, settled(committedB, cb));
  }

  ExtraOutcome FetchExtra(const ExtraFile& extra) {
    if (extra.localPath.empty()) return ExtraOutcome::Failed;
    // An extra file's folder (draws/) is made when missing, private to the user, and
    // taken away again when nothing came to be stored in it.
    const auto slash = extra.localPath.rfind('/');
    const std::string folder = slash == std::string::npos || slash == 0 ? std::string() : extra.localPath.substr(0, slash);
    const bool made = !folder.empty() && ::mkdir(folder.c_str(), 0700) == 0;
    const ExtraOutcome outcome = FetchExtraInto(extra);
    if (made && outcome != ExtraOutcome::Refreshed) ::rmdir(folder.c_str());
    return outcome;
  }

  ExtraOutcome FetchExtraInto(const ExtraFile& extra) {
    StagedFile part(extra.localPath);
    long status = 0;
    const FetchResult rc = FetchToFile(part.Path(), ListFileUrl(request_.baseUrl, extra.name), Options(extra.localPath, true, &status));
    if (rc == FetchResult::NotModified) return ExtraOutcome::NotModified;
    if (rc != FetchResult::Stored) return status == 404 ? ExtraOutcome::Absent : ExtraOutcome::Failed;
    if (!extra.accept || !extra.accept(part.Path(), extra.localPath)) return ExtraOutcome::Failed;
    CommitSection section;
    if (Stopped(stop_) || part.Commit() != 0) return ExtraOutcome::Failed;
    return ExtraOutcome::Refreshed;
  }

  const RefreshRequest& request_;
  const FileOps& file_;
  const std::atomic<bool>* stop_;
  const std::function<void(std::size_t, const ListResult&)>& onList_;
  Clock::time_point deadline_{};
  std::size_t fetching_ = 0;  // the list being fetched
  std::string crash_;         // what an unexpected error said, once one ended the refresh
  RefreshReport report_;
  // The lists come over one connection while the server keeps it open.
  mutable FetchSession session_;
};

}  // namespace

RefreshReport RunRefresh(const RefreshRequest& request, std::span<const ExtraFile> extras, const std::atomic<bool>* stop,
                         const std::function<void(std::size_t row, const ListResult&)>& onList, const FileOps& file) {
  // The time to wait for the folder counts against the refresh's own time limit.
  Job job(request, file, stop, onList);
  // One writer at a time in the folder of the lists: another refresh, or the start-up
  // seeding, writing there now is waited for, up to half the refresh's time.
  std::string folder;
  for (const std::string& path : request.lists)
    if (!path.empty()) {
      const auto slash = path.rfind('/');
      folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
      break;
    }
  std::optional<FolderLock> lock;
  if (!folder.empty()) {
    const long budgetMs = request.limits.totalTimeoutMs > 0 ? request.limits.totalTimeoutMs : 60000;
    const Clock::time_point waitUntil = Clock::now() + std::chrono::milliseconds(budgetMs / 2);
    for (;;) {
      lock.emplace(folder, FolderLock::Wait::No);
      // A folder that cannot be locked at all (cannot be opened, say) is left to the
      // writes themselves to fail on.
      if (lock->Held() || lock->Error() != EWOULDBLOCK) break;
      if (Stopped(stop) || Clock::now() >= waitUntil) {
        job.Busy(extras.size());
        return job.Report();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  const FolderLock* held = lock && lock->Held() ? &*lock : nullptr;
  // What a refresh that was killed left behind is of no use to anyone.
  std::vector<std::string> paths(request.lists.begin(), request.lists.end());
  for (const ExtraFile& extra : extras) paths.push_back(extra.localPath);
  const std::string slashed = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  paths.push_back(slashed + std::string(kSetIndexName));
  SweepLeftovers(paths, held);
  // A server with a set index is followed set by set; one without is asked file by file.
  // (A trial of a server, the six lists alone, asks for them as they are.)
  if (!folder.empty() && !request.listsOnly && job.RunSet(slashed, extras)) return job.Report();
  job.RunLists();
  job.RunExtras(extras);
  job.ForgetSetIfChanged(slashed);
  return job.Report();
}

}  // namespace numira
