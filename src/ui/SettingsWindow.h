#pragma once
// The settings window (設定): the list server, a button that tries it and the line that
// says what it found, and 保存, which writes it to numira.conf. It only shows what the
// settings logic (CSettingsDlg) decides; a trial runs in the refresh program.
#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "RefreshProcess.h"
#include "SettingsDlg.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace numira::ui {

class SettingsWindow : public QDialog, public SettingsServices {
 public:
  // refreshProgram: the refresh program's path; saved hears the base address saved.
  SettingsWindow(QWidget* parent, SettingsSetup setup, std::string refreshProgram,
                 std::function<void(const std::string& baseUrl)> saved);
  ~SettingsWindow() override;

  // ---- Settings services ----
  void ShowOutcome(const std::string& text, bool problem) override;
  void StartTrial(const RefreshRequest& request) override;
  void SetTrying(bool trying) override;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void Save();
  void PaintOutcome();

  QLineEdit* server_;
  QPushButton* try_;
  QLabel* outcome_;
  bool problem_ = false;
  std::string refreshProgram_;
  std::function<void(const std::string&)> saved_;
  RefreshProcess* trial_;
  std::unique_ptr<CSettingsDlg> logic_;
};

}  // namespace numira::ui
