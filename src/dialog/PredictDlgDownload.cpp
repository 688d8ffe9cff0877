// The list refresh of the main dialog: fetch the six lists from the list server, put
// each good copy in place of the old file and the old in-memory list, report the outcome.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "FetchToFile.h"
#include "PredictDlg.h"
#include "Text.h"
#include "Texts.h"

namespace numira {
namespace {

// The download goes to a file beside the list, so that the finished copy can replace
// the list in one rename and a failed one never touches it.
std::string PartPath(const std::string& listPath) {
  return listPath + "." + std::to_string(static_cast<long>(::getpid())) + ".part";
}

// Removes the partial download unless it has been put in place.
class PartFile {
 public:
  explicit PartFile(std::string path) : path_(std::move(path)) {}
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;
  ~PartFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  const std::string& Path() const { return path_; }
  void Keep() { path_.clear(); }

 private:
  std::string path_;
};

// Makes a rename in the list directory durable; a failure here changes nothing the
// user can see, so it is not reported.
void SyncDirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

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

bool CPredictDlg::RefreshList(std::size_t row) {
  const ListFileRow& list = kListFiles[row];
  const std::string& path = listPath_[row];
  if (path.empty()) return false;  // no usable path beside the executable
  const std::string url = "http://" + listServer_ + "/Data/" + list.fileName;
  PartFile part(PartPath(path));
  FetchOptions options{appName_, fetchLimits_, fetchFileOps_};
  if (FetchToFile(part.Path(), url, options) != 1) return false;
  // Only a copy that reads as a list may replace the one the user has.
  std::optional<ListContents> contents = ReadListFile(part.Path(), list.kind);
  if (!contents || contents->lines <= 0) return false;
  if (std::rename(part.Path().c_str(), path.c_str()) != 0) return false;
  part.Keep();
  SyncDirectoryOf(path);
  ApplyList(list.game, list.kind, std::move(*contents));
  return true;
}

void CPredictDlg::OnDownload() {
  WaitCursor wait(window_);
  window_.SetText(ctl::kStatus, text::kDownloading);
  window_.UpdateNow();

  int refreshed = 0;
  int failed = 0;
  for (std::size_t row = 0; row < kListFiles.size(); ++row) {
    try {
      if (RefreshList(row))
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
