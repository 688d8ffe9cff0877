#include "RefreshText.h"

#include "Encoding.h"
#include "ListServerChoice.h"
#include "ListTable.h"
#include "TextFill.h"
#include "Texts.h"

namespace numira {
namespace {

bool FailedOwnWay(const ListResult& r) {
  return (r.outcome == ListOutcome::Failed || r.outcome == ListOutcome::NotTried) && r.reason != FailReason::None &&
         r.reason != FailReason::TwinFailed;
}

// Why, in words; and whether the fault lies with the list itself rather than the server.
std::string Why(const ListResult& r, long totalTimeoutMs, bool& ofTheList) {
  ofTheList = false;
  const std::string detail = SanitizeUtf8(r.detail);
  switch (r.reason) {
    case FailReason::NoSuchHost: return text::kReasonNoSuchHost;
    case FailReason::NoConnection: return text::kReasonNoConnection;
    case FailReason::TimedOut: return text::kReasonTimedOut;
    case FailReason::Broken: return text::kReasonBroken;
    case FailReason::Insecure: return text::kReasonInsecure;
    case FailReason::Stopped: return text::kReasonStopped;
    case FailReason::ProgramFailed: return text::kReasonProgramFailed;
    case FailReason::FolderBusy: return text::kReasonFolderBusy;
    case FailReason::ProgramHung:
      return Fill(text::kReasonProgramHungFormat, {std::to_string((totalTimeoutMs + 999) / 1000)});
    case FailReason::NotStored:
      return detail.empty() ? text::kReasonNotStored : Fill(text::kReasonNotStoredFormat, {detail});
    case FailReason::ErrorStatus: ofTheList = true; return Fill(text::kReasonErrorStatusFormat, {detail});
    case FailReason::NotAList: ofTheList = true; return Fill(text::kReasonNotAListFormat, {detail});
    case FailReason::OlderSet: {
      const auto space = detail.find(' ');
      return Fill(text::kReasonOlderSetFormat, {detail.substr(0, space), space == std::string::npos ? std::string() : detail.substr(space + 1)});
    }
    case FailReason::BadSet: return Fill(text::kReasonBadSetFormat, {detail});
    case FailReason::PairDisagrees: ofTheList = true; return Fill(text::kReasonPairFormat, {detail});
    case FailReason::TwinFailed: ofTheList = true; return text::kReasonTwinFailed;
    case FailReason::None: break;
  }
  return text::kReasonProgramFailed;
}

}  // namespace

std::string FailureLine(const std::string& server, const RefreshReport& report, long totalTimeoutMs) {
  std::size_t pick = report.lists.size();
  for (std::size_t row = 0; row < report.lists.size() && pick == report.lists.size(); ++row)
    if (FailedOwnWay(report.lists[row])) pick = row;
  for (std::size_t row = 0; row < report.lists.size() && pick == report.lists.size(); ++row)
    if (report.lists[row].outcome == ListOutcome::Failed) pick = row;
  if (pick == report.lists.size()) return {};
  bool ofTheList = false;
  const std::string why = Why(report.lists[pick], totalTimeoutMs, ofTheList);
  const std::string where = ofTheList ? ListFileUrl(server, kListFiles[pick].fileName) : server;
  return SanitizeUtf8(where) + text::kWhereSeparator + why;
}

}  // namespace numira
