// 自動更新 and はずれも通知 of the main dialog: the two check items, their lines in
// numira.conf, the user's systemd timer, and the refresh the window makes by itself on
// Japan's evenings of the draws.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "AutoCheck.h"
#include "HeadlessCheck.h"
#include "ListServerChoice.h"
#include "PredictDlg.h"
#include "TextFill.h"
#include "Texts.h"

namespace numira {

void CPredictDlg::StartAutoRefresh() {
  autoRefresh_ = ConfigSwitchOn(configFile_, kAutoRefreshKey);
  notifyLosses_ = ConfigSwitchOn(configFile_, kNotifyLossesKey);
  if (autoRefresh_) ArmAutoRefresh();
}

bool CPredictDlg::SaveSwitch(const char* key, bool on) {
  const int error = configFile_.empty() ? ENOENT : WriteConfigSetting(configFile_, key, on ? "on" : "off");
  if (error == 0) return true;
  const std::string why = configFile_.empty() ? text::kNoConfigFile
                                              : Fill(text::kSwitchNotSavedFormat, {configFile_ + ": " + std::strerror(error)});
  window_.SetText(ctl::kStatus, why);
  window_.WriteStandardError(text::kStandardErrorPrefix + why + "\n");
  return false;
}

void CPredictDlg::OnAutoRefreshToggled() {
  // A setting that cannot be kept is not turned on: the timer would not know of it.
  if (!SaveSwitch(kAutoRefreshKey, !autoRefresh_)) return;
  autoRefresh_ = !autoRefresh_;
  window_.SwitchUserTimer(autoRefresh_);
  if (autoRefresh_) {
    ArmAutoRefresh();
  } else {
    window_.KillTimer(ctl::kAutoRefreshTimer);
  }
}

void CPredictDlg::OnNotifyLossesToggled() {
  if (SaveSwitch(kNotifyLossesKey, !notifyLosses_)) notifyLosses_ = !notifyLosses_;
}

void CPredictDlg::OnUserTimerSwitched(bool enable, bool ok, const std::string& why) {
  if (ok) return;
  if (!why.empty()) window_.WriteStandardError(text::kStandardErrorPrefix + why + "\n");
  // Without the user's timer the window still refreshes by itself while it is open.
  if (enable && autoRefresh_) window_.SetText(ctl::kStatus, text::kNoUserTimer);
}

void CPredictDlg::ArmAutoRefresh() {
  const std::int64_t now = clock_.Seconds();
  const std::int64_t wait = std::max<std::int64_t>(NextCheckAfter(now, DrawDatesInData()) - now, 1);
  window_.SetTimer(ctl::kAutoRefreshTimer, static_cast<int>(wait * 1000));
}

std::array<std::optional<Date>, kGames.size()> CPredictDlg::DrawDatesInData() const {
  LatestDrawDates latest;
  for (Game g : kGames)
    if (!Draws(g).empty()) latest[GameIndex(g)] = Draws(g).back().date;
  return latest;
}

bool CPredictDlg::AnyRolling() const {
  return std::find(rolling_.begin(), rolling_.end(), true) != rolling_.end();
}

void CPredictDlg::OnAutoRefreshTick() {
  window_.KillTimer(ctl::kAutoRefreshTimer);
  if (!autoRefresh_) return;
  // A roll or a refresh under way goes first: the refresh is tried again in a minute.
  if (refreshing_ || AnyRolling()) return window_.SetTimer(ctl::kAutoRefreshTimer, 60 * 1000);
  const std::string state = UserCheckFiles(UserDataFolder(ProcessUserEnv(), "numira"), listFolder_.folder).state;
  const std::int64_t now = clock_.Seconds();
  // Nothing missing, nowhere to ask, or the timer's check has just asked.
  if (!RefreshDue(now, DrawDatesInData()) || listServer_.empty() || RefreshedRecently(state, now)) return ArmAutoRefresh();
  RecordRefresh(state, now);
  autoRun_ = true;
  OnDownload();
  if (!refreshing_) {
    autoRun_ = false;
    ArmAutoRefresh();
  }
}

}  // namespace numira
