// The list refresh of the main dialog: fetch the six lists from the list server, put
// each good copy in place of the old file and the old in-memory list, report the outcome.
#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "FetchToFile.h"
#include "ListReplacement.h"
#include "ListServerChoice.h"
#include "ListValidation.h"
#include "PredictDlg.h"
#include "Text.h"
#include "Texts.h"

namespace numira {
namespace {

std::string ReplacePlaceholder(std::string format, const std::string& value) {
  if (const auto at = format.find("%1"); at != std::string::npos) format.replace(at, 2, value);
  return format;
}

// The wait cursor ends however the refresh ends.
class WaitCursor {
 public:
  explicit WaitCursor(WindowServices& window) : window_(window) { window_.BeginWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  ~WaitCursor() { window_.EndWaitCursor(); }

 private:
  WindowServices& window_;
};

}  // namespace

const char* BuiltInListServer() { return NUMIRA_LIST_SERVER; }

bool CPredictDlg::RefreshList(std::size_t row, std::chrono::steady_clock::time_point deadline,
                              FetchSession& session) {
  const ListFileRow& list = kListFiles[row];
  const std::string& path = listPath_[row];
  // No usable path, or the lists lie where nothing may be stored (an installed copy's own folder).
  if (path.empty() || !listFolder_.writable) return false;
  const std::string url = ListFileUrl(listServer_, list.fileName);
  ListReplacement replacement(path);
  FetchOptions options{appName_, fetchLimits_, fetchFileOps_, deadline, std::nullopt, &session};
  // Asked only if changed since the server's copy in use was stored; a copy that did not
  // load is always fetched again.
  if (List(list.game).listsLoaded != 0) options.ifModifiedSince = ServerTime(path);
  const int fetched = FetchToFile(replacement.PartPath(), url, options);
  if (fetched == kFetchNotModified) return true;  // the copy in use is the server's: nothing to write or read
  if (fetched != 1) return false;
  // Only a copy that is a good list of its kind may replace the one the user has. A
  // never-won list without entries is one: every number of the game has been drawn.
  std::optional<ListContents> contents = ReadListFile(replacement.PartPath(), list.kind, MaxEntries(list.game));
  if (!contents || !IsValidList(*contents, list.game, list.kind)) return false;
  if (!replacement.Commit()) return false;
  ApplyList(list.game, list.kind, std::move(*contents));
  return true;
}

void CPredictDlg::OnDownload() {
  WaitCursor wait(window_);
  window_.SetText(ctl::kStatus, text::kDownloading);
  window_.UpdateNow();
  RemoveStaleParts(listPath_);

  // The whole refresh is bounded, not only each list: once the time is up, the list
  // being fetched and those after it fail and keep their old copies.
  const auto deadline = fetchLimits_.totalTimeoutMs > 0
                            ? std::chrono::steady_clock::now() + std::chrono::milliseconds(fetchLimits_.totalTimeoutMs)
                            : std::chrono::steady_clock::time_point{};
  // The six lists come over one connection while the server keeps it open.
  FetchSession session;
  int refreshed = 0;
  int failed = 0;
  for (std::size_t row = 0; row < kListFiles.size(); ++row) {
    try {
      if (RefreshList(row, deadline, session))
        ++refreshed;
      else
        ++failed;
    } catch (const LocalFileError& e) {
      // The disk let us down: say so, name the list the user knows, fetch no more.
      lastDownloadOk_ = 0;
      const std::string format = e.DiskFull() ? text::kDiskFullFormat : text::kWriteErrorFormat;
      window_.MessageBox(ReplacePlaceholder(format, SanitizeUtf8(listPath_[row])), appName_, MessageIcon::Stop);
      window_.SetText(ctl::kStatus, refreshed == 0 ? text::kDownloadFailed : text::kDownloadPartlyFailed);
      return;
    } catch (const std::exception&) {
      // Anything else that goes wrong (say, memory running out) ends the refresh like a
      // failed one: the lists not yet fetched keep their old copies.
      failed += static_cast<int>(kListFiles.size() - row);
      break;
    }
  }

  std::string status;
  if (failed == 0) {
    const LocalTime t = clock_.Local();
    char stamp[kMaxText + 1];
    std::snprintf(stamp, sizeof stamp, text::kDownloadTimeFormat, t.year, t.month, t.day, t.hour, t.minute, t.second);
    status = stamp;
    lastDownloadOk_ = 1;
  } else {
    lastDownloadOk_ = 0;
    status = refreshed == 0 ? text::kDownloadFailed : text::kDownloadPartlyFailed;
    window_.MessageBox(status, windowTitle_, MessageIcon::Warning);
  }
  window_.SetText(ctl::kStatus, status);
}

}  // namespace numira
