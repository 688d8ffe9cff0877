#pragma once
// What the dialog logic asks of its window, by control ID. The Qt view implements it
// for real; tests implement it with a fake window and a virtual clock.
#include <chrono>
#include <string>
#include <vector>

#include "RefreshReport.h"

namespace numira {

struct WindowLayout;

enum class MessageIcon { Warning, Stop };

class WindowServices {
 public:
  virtual ~WindowServices() = default;

  virtual void Enable(int id, bool enabled) = 0;
  virtual void SetText(int id, const std::string& text) = 0;
  virtual std::string Text(int id) const = 0;
  // Check state of a check box (0 unchecked, non-zero checked).
  virtual int CheckState(int id) const = 0;
  // Fills a drop-down list with items and selects one.
  virtual void SetDropDownItems(int id, const std::vector<std::string>& items, int selected) = 0;
  // Text of the selected item of a drop-down list ("" when none).
  virtual std::string SelectedText(int id) const = 0;

  // A modal message box with one OK button; returns when it has been closed.
  virtual void MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
  virtual void ShowAboutBox() = 0;

  // The history: a window without these shows none (a benchmark's, say).
  // A control's tooltip, which is also its accessible description ("" removes it).
  virtual void SetToolTip(int /*id*/, const std::string& /*text*/) {}
  // Opens the history window, or raises it when it is open.
  virtual void ShowHistory() {}
  // What the history window shows has changed: an open one shows it anew.
  virtual void HistoryChanged() {}
  // Opens the check window, or raises it when it is open.
  virtual void ShowCheck() {}
  // The draws or a last proposal have changed: an open check window shows them anew.
  virtual void CheckChanged() {}

  // Opens the purchases window (購入記録), or raises it when it is open.
  virtual void ShowPurchases() {}
  // The tickets, the draws or a slip have changed: an open purchases window shows them anew.
  virtual void PurchasesChanged() {}
  // A slip has a new line: an open purchases window shows the slips anew.
  virtual void SlipsChanged() {}

  // Opens the settings window (設定), or raises it when it is open.
  virtual void ShowSettings() {}
  // Enables (and starts) or disables (and stops) the user's systemd timer of the check
  // with no window, without waiting: the window hands the outcome to
  // CPredictDlg::OnUserTimerSwitched when it is known. A window without it has none.
  virtual void SwitchUserTimer(bool /*enable*/) {}
  // A line for the program's standard error (it ends in a line feed).
  virtual void WriteStandardError(const std::string& /*line*/) {}

  // Keyboard focus, by control ID: the control that has it in this window (0: none, or
  // the window itself), and giving it to a control.
  virtual int FocusedControl() const { return 0; }
  virtual void SetFocus(int /*id*/) {}
  // Puts a text on the clipboard.
  virtual void SetClipboardText(const std::string& /*text*/) {}

  // One-shot timers by id: arming an armed timer re-arms it.
  virtual void SetTimer(int id, int milliseconds) = 0;
  virtual void KillTimer(int id) = 0;
  // The same timer armed to the microsecond where the window can (by default to the
  // millisecond, rounded up, so that it never fires early).
  virtual void SetTickTimer(int id, std::chrono::microseconds wait) {
    SetTimer(id, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
  }

  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
  // Paints what is pending now, before a step that blocks the window.
  virtual void UpdateNow() = 0;
  // Starts the list refresh away from the window's thread; the window stays alive while
  // it runs. When it ends, the window hands its report to CPredictDlg::OnRefreshDone on
  // the window's thread. The dialog starts one at a time.
  virtual void StartRefresh(const RefreshRequest& request) = 0;

  // Shows and places the controls as the layout says and gives the window its client
  // size (a panel was shown or hidden).
  virtual void ApplyLayout(const WindowLayout& /*layout*/) {}

  virtual std::string WindowTitle() const = 0;
  virtual void CenterWindow() = 0;
  // Ends the modal run of the window with a code.
  virtual void EndDialog(int code) = 0;
};

}  // namespace numira
