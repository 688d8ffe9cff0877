#pragma once
// The settings window (設定), free of any toolkit: the list server, checked as
// --list-server checks it, tried with a refresh of the lists alone into a scratch folder
// (run away from the window, as every refresh), and saved in the user's numira.conf, the
// one place the program writes that file.
#include <optional>
#include <string>

#include "FetchLimits.h"
#include "RefreshReport.h"

namespace numira {

// What the settings logic asks of its window.
class SettingsServices {
 public:
  virtual ~SettingsServices() = default;
  // The line under the field: what a trial found, or why a value was not taken.
  virtual void ShowOutcome(const std::string& text, bool problem) = 0;
  // Runs the refresh away from the window's thread; its report goes to
  // CSettingsDlg::OnTrialDone on the window's thread.
  virtual void StartTrial(const RefreshRequest& request) = 0;
  // A trial runs: the try button waits for it.
  virtual void SetTrying(bool trying) = 0;
};

struct SettingsSetup {
  std::string configFile;  // the user's numira.conf ("" none known)
  std::string listServer;  // the server in use ("" none)
  std::string agent;       // the User-Agent of a trial
  FetchLimits limits;      // a trial's limits
};

class CSettingsDlg {
 public:
  CSettingsDlg(SettingsServices& view, SettingsSetup setup);
  ~CSettingsDlg();
  CSettingsDlg(const CSettingsDlg&) = delete;
  CSettingsDlg& operator=(const CSettingsDlg&) = delete;

  // What the server field shows when the window opens.
  const std::string& InitialServer() const { return setup_.listServer; }
  // The try button: a trial of the typed server (nothing while one runs).
  void OnTry(const std::string& typed);
  // The trial has ended: what it found is shown.
  void OnTrialDone(const RefreshReport& report);
  bool Trying() const { return !trialFolder_.empty(); }
  // The save button: the base address saved in numira.conf, or none (the outcome line
  // then says why and the window stays).
  std::optional<std::string> OnSave(const std::string& typed);

 private:
  // The typed value as a base address, or none (the outcome line says why).
  std::optional<std::string> Checked(const std::string& typed);
  void RemoveTrialFolder();

  SettingsServices& view_;
  SettingsSetup setup_;
  std::string trialServer_;
  std::string trialFolder_;  // while a trial runs: where it stores the lists
};

}  // namespace numira
