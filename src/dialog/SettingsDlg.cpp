#include "SettingsDlg.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "DrawDate.h"
#include "Encoding.h"
#include "ListFolder.h"
#include "ListReader.h"
#include "ListServerChoice.h"
#include "ListTable.h"
#include "RefreshText.h"
#include "TextFill.h"
#include "Texts.h"

namespace numira {
namespace {

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// A private scratch folder for a trial's lists; "" when none can be made.
std::string MakeTrialFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp == '/' ? tmp : "/tmp") + "/numira-trial.XXXXXX";
  return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

}  // namespace

CSettingsDlg::CSettingsDlg(SettingsServices& view, SettingsSetup setup) : view_(view), setup_(std::move(setup)) {}

CSettingsDlg::~CSettingsDlg() { RemoveTrialFolder(); }

void CSettingsDlg::RemoveTrialFolder() {
  if (trialFolder_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(trialFolder_, ignored);
  trialFolder_.clear();
}

std::optional<std::string> CSettingsDlg::Checked(const std::string& typed) {
  const std::string value = Trimmed(typed);
  if (value.empty()) {
    view_.ShowOutcome(text::kServerEmpty, true);
    return std::nullopt;
  }
  std::optional<std::string> url = ListServerBaseUrl(value);
  if (!url) view_.ShowOutcome(Fill(text::kNotAServerFormat, {Quoted(value, false)}), true);
  return url;
}

void CSettingsDlg::OnTry(const std::string& typed) {
  if (Trying()) return;
  const std::optional<std::string> url = Checked(typed);
  if (!url) return;
  trialFolder_ = MakeTrialFolder();
  if (trialFolder_.empty()) {
    view_.ShowOutcome(Fill(text::kReasonNotStoredFormat, {std::strerror(errno)}), true);
    return;
  }
  trialServer_ = *url;
  view_.SetTrying(true);
  view_.ShowOutcome(text::kTrying, false);
  view_.StartTrial(RefreshRequest{*url, ListPathsIn(trialFolder_ + "/"), setup_.agent, setup_.limits, true});
}

void CSettingsDlg::OnTrialDone(const RefreshReport& report) {
  if (!Trying()) return;
  // The latest draw date of the lists that came.
  std::optional<Date> latest;
  std::string latestText;
  int found = 0;
  const ListPaths paths = ListPathsIn(trialFolder_ + "/");
  for (std::size_t row = 0; row < kFirstLists; ++row) {
    if (report.lists[row].outcome != ListOutcome::Refreshed) continue;
    ++found;
    if (const std::optional<ListContents> list = ReadListFile(paths[row], kListFiles[row].kind)) {
      const std::optional<Date> date = ParseHeaderDate(list->latestDrawDate);
      if (date && (!latest || *latest < *date)) {
        latest = date;
        latestText = list->latestDrawDate;
      }
    }
  }
  RemoveTrialFolder();
  view_.SetTrying(false);
  if (found == static_cast<int>(kFirstLists)) {
    view_.ShowOutcome(Fill(text::kTrialFoundFormat, {latestText}), false);
    return;
  }
  const std::string why = FailureLine(trialServer_, report, setup_.limits.totalTimeoutMs);
  view_.ShowOutcome(std::string(found == 0 ? text::kTrialFailed : text::kTrialPartlyFailed) + "\n" + why, true);
}

std::optional<std::string> CSettingsDlg::OnSave(const std::string& typed) {
  const std::optional<std::string> url = Checked(typed);
  if (!url) return std::nullopt;
  if (setup_.configFile.empty()) {
    view_.ShowOutcome(text::kNoConfigFile, true);
    return std::nullopt;
  }
  if (const int error = WriteListServerSetting(setup_.configFile, *url); error != 0) {
    view_.ShowOutcome(Fill(text::kSaveFailedFormat, {SanitizeUtf8(setup_.configFile) + ": " + std::strerror(error)}),
                      true);
    return std::nullopt;
  }
  setup_.listServer = *url;
  return url;
}

}  // namespace numira
