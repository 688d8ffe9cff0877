#pragma once
// The main window: the Qt dialog that shows the controls of the control table and
// offers the window services to CPredictDlg. It holds no behaviour of its own: every
// event goes to a handler of the dialog logic.
#include <QDialog>
#include <QPointer>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "CheckWindow.h"
#include "Clock.h"
#include "FramePacer.h"
#include "HistoryView.h"
#include "OneShotTimer.h"
#include "PredictDlg.h"
#include "PurchasesWindow.h"
#include "RefreshProcess.h"
#include "SettingsWindow.h"
#include "WindowServices.h"

class QMenu;

namespace numira::ui {

class MainWindow : public QDialog, public WindowServices {
 public:
  // Creates the controls, then runs the dialog's initialisation. No parent window. The
  // history window comes from makeHistory; by default from its library beside the
  // executable, loaded when it first opens.
  explicit MainWindow(const Clock& clock, DialogSetup setup = {}, HistoryMaker makeHistory = {});
  ~MainWindow() override;

  // The context menu that stands in for the title bar's system menu: the copy item
  // while a proposal stands, the history item, the check item, the purchases item,
  // 表示するくじ (a check item for each panel shown by choice), 自動更新 and はずれも通知,
  // the settings item, then the about item.
  // On a panel (`panel`), the item that records its standing proposal comes second.
  std::unique_ptr<QMenu> BuildSystemMenu(std::optional<Game> panel = std::nullopt);

  // Opens the purchases window as Ctrl+L does (the command line's --purchases).
  void OpenPurchases();

  // ---- Window services ----
  void Enable(int id, bool enabled) override;
  void SetText(int id, const std::string& text) override;
  std::string Text(int id) const override;
  int CheckState(int id) const override;
  void SetDropDownItems(int id, const std::vector<std::string>& items, int selected) override;
  std::string SelectedText(int id) const override;
  void MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
  void ShowAboutBox() override;
  void SetToolTip(int id, const std::string& text) override;
  int FocusedControl() const override;
  void SetFocus(int id) override;
  void SetClipboardText(const std::string& text) override;
  void ShowHistory() override;
  void HistoryChanged() override;
  void ShowCheck() override;
  void CheckChanged() override;
  void ShowSettings() override;
  void ShowPurchases() override;
  void PurchasesChanged() override;
  void SlipsChanged() override;
  void WriteStandardError(const std::string& line) override;
  void SetTimer(int id, int milliseconds) override;
  void KillTimer(int id) override;
  void SetTickTimer(int id, std::chrono::microseconds wait) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void UpdateNow() override;
  // Runs the refresh in the refresh program beside the executable (numira-refresh).
  void StartRefresh(const RefreshRequest& request) override;
  // systemctl --user enable|disable --now numira-check.timer, not waited for.
  void SwitchUserTimer(bool enable) override;
  void ApplyLayout(const WindowLayout& layout) override;
  std::string WindowTitle() const override;
  void CenterWindow() override;
  void EndDialog(int code) override;

  // The accept action ends the dialog with 1, the cancel action (Escape, close box) with 2.
  void accept() override { done(1); }
  void reject() override { done(2); }
  void done(int code) override;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Paints no more frames than the screen shows (FramePacer); UpdateNow paints at once.
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

  // The dialog logic and the one-shot timers by id, for views built on this one.
  std::unique_ptr<CPredictDlg> dlg_;
  std::map<int, OneShotTimer*> timers_;

 private:
  // The widget of a control (the OK and Cancel buttons exist hidden), or nullptr for
  // the sorted scratch list, which needs none.
  QWidget* Control(int id) const;
  // Creates the controls of the window (nullopt: all but the panels shown by choice), or
  // those of one panel shown by choice, in the tab order of the control tables.
  void CreateControls(std::optional<Game> choicePanel);
  // Runs one handler of the dialog logic. An error that escapes it is reported in an
  // error box captioned with the application's name; the window then goes on.
  template <class F>
  void Dispatch(F&& handler);
  void CentreOnScreen();
  // The panel's menu item: records its standing proposal, or says why it cannot.
  void RecordProposal(Game game);
  // A one-shot timer fired: its tick, and those of other timers due within a millisecond.
  void TimerExpired(int id);
  std::vector<HistoryPage> HistoryPages() const;
  std::vector<CheckPage> CheckPages() const;

  std::map<int, QWidget*> controls_;
  // Controls without a widget keep their text here.
  std::map<int, std::string> hiddenTexts_;
  int waitDepth_ = 0;
  bool centrePending_ = false;
  // The history window while it is open.
  QPointer<HistoryView> history_;
  HistoryMaker makeHistory_;
  // The check window while it is open.
  QPointer<CheckWindow> check_;
  // The purchases window (購入記録) while it is open.
  QPointer<PurchasesWindow> purchases_;
  // The settings window while it is open.
  QPointer<SettingsWindow> settings_;
  // The refresh program, started for each refresh.
  RefreshProcess* refresh_ = nullptr;
  FramePacer* frames_ = nullptr;
};

}  // namespace numira::ui
