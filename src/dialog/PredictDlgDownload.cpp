// The list refresh of the main dialog: the refresh runs away from the window (the window
// starts it); the dialog shows it running, then reads the lists it replaced anew and
// reports the outcome.
#include <algorithm>
#include <string>

#include "PredictDlg.h"
#include "Encoding.h"
#include "RefreshText.h"
#include "TextFill.h"
#include "Texts.h"

namespace numira {

const char* BuiltInListServer() { return NUMIRA_LIST_SERVER; }

void CPredictDlg::OnDownload() {
  // The button does nothing until the refresh under way has ended.
  if (refreshing_) return;
  if (listServer_.empty()) {
    // No server to ask: nothing is tried, and the player learns where to name one.
    lastDownloadOk_ = 0;
    ReportFailure(text::kNoListServer, text::kNoListServerHow);
    window_.SetText(ctl::kStatus, text::kNoListServer);
    return;
  }
  refreshing_ = true;
  window_.BeginWaitCursor();
  window_.SetText(ctl::kStatus, text::kDownloading);
  window_.UpdateNow();
  // Where nothing may be stored (an installed copy's own folder) no list is fetched: each
  // fails and keeps the copy in use.
  const ListPaths lists = listFolder_.writable ? listPath_ : ListPaths{};
  NoteDrawsBeforeRefresh();  // the tickets are checked against the draws it brings
  window_.StartRefresh(RefreshRequest{listServer_, lists, appName_, fetchLimits_, false});
}

void CPredictDlg::OnRefreshDone(const RefreshReport& report) {
  if (!refreshing_) return;
  refreshing_ = false;
  // The next automatic refresh, however this one ends.
  struct NextAuto {
    CPredictDlg& dlg;
    ~NextAuto() {
      dlg.autoRun_ = false;
      if (dlg.autoRefresh_) dlg.ArmAutoRefresh();
    }
  } nextAuto{*this};
  // The wait cursor ends however the refresh ended, once its outcome is shown.
  struct EndWait {
    WindowServices& window;
    ~EndWait() { window.EndWaitCursor(); }
  } endWait{window_};

  int refreshed = 0;
  int failed = 0;
  for (std::size_t row = 0; row < report.lists.size(); ++row) {
    const ListResult& r = report.lists[row];
    switch (r.outcome) {
      case ListOutcome::Refreshed:
        ReadList(kListFiles[row].game, kListFiles[row].kind);
        ++refreshed;
        break;
      case ListOutcome::NotModified:  // the stored copy is the server's: nothing to read
        ++refreshed;
        break;
      case ListOutcome::Failed:
      case ListOutcome::NotTried:
        ++failed;
        break;
      case ListOutcome::LocalFileError: {
        // The disk let us down: say so and name the list the user knows.
        lastDownloadOk_ = 0;
        const char* format = r.diskFull ? text::kDiskFullFormat : text::kWriteErrorFormat;
        const std::string message = Fill(format, {SanitizeUtf8(listPath_[row])});
        window_.WriteStandardError(text::kStandardErrorPrefix + message + "\n");
        window_.MessageBox(message, appName_, MessageIcon::Stop);
        window_.SetText(ctl::kStatus, refreshed == 0 ? text::kDownloadFailed : text::kDownloadPartlyFailed);
        return;
      }
    }
  }

  // New draws go to the check and history windows; they never change the lists' outcome.
  if (std::find(report.extras.begin(), report.extras.end(), ExtraOutcome::Refreshed) != report.extras.end()) {
    DrawFilesChanged();
    ReportNewDraws();
  }

  // Whatever this refresh did, the lists shown are the folder's set now (another window's
  // refresh may have brought it): a success time never stands beside older lists.
  FollowFolderSet();

  std::string status;
  if (failed == 0) {
    const LocalTime t = clock_.Local();
    status = Fill(text::kDownloadTimeFormat, {std::to_string(t.year), TwoDigits(t.month), TwoDigits(t.day),
                                              TwoDigits(t.hour), TwoDigits(t.minute), TwoDigits(t.second)});
    lastDownloadOk_ = 1;
  } else {
    lastDownloadOk_ = 0;
    status = refreshed == 0 ? text::kDownloadFailed : text::kDownloadPartlyFailed;
    ReportFailure(status, FailureLine(listServer_, report, fetchLimits_.totalTimeoutMs));
  }
  window_.SetText(ctl::kStatus, status);
}

void CPredictDlg::ReportFailure(const std::string& what, const std::string& why) {
  const std::string text = why.empty() ? what : what + "\n" + why;
  window_.WriteStandardError(text::kStandardErrorPrefix + what + "\n" +
                             (why.empty() ? std::string() : text::kStandardErrorPrefix + why + "\n"));
  if (!autoRun_) window_.MessageBox(text, windowTitle_, MessageIcon::Warning);
}

}  // namespace numira
