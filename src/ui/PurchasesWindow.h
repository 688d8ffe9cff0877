#pragma once
// The purchases window (購入記録): the table of the player's tickets, draw by draw, with
// their results and claim deadlines, the totals per game and year, a form to type a
// ticket in, the slips of the rolls' proposals, and export and import as CSV. It shows
// what the dialog logic makes and hands every action to it; the main window owns it.
#include <QDialog>
#include <functional>
#include <vector>

#include "PredictDlg.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;

namespace numira::ui {

class PurchasesWindow : public QDialog {
 public:
  // Runs an action of the dialog logic, reporting an error that escapes it.
  using Dispatcher = std::function<void(const std::function<void()>&)>;

  PurchasesWindow(QWidget* parent, CPredictDlg& dlg, Dispatcher dispatch);

  // Shows the dialog's page and slips anew.
  void Refresh();
  // Shows the slips anew (the tickets are as they were).
  void RefreshSlips();

  // The form's controls and the window's tables, for those that look at them.
  QTableView* Table() const { return table_; }
  QListWidget* SlipList() const { return slips_; }
  const PurchasesPage& Page() const { return page_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void done(int code) override;

 private:
  QWidget* BuildForm();
  QWidget* BuildSlip();
  void FormGameChanged();
  void RecordForm();
  void RecordProposal();
  void RecordSlip();
  void CopySlip();
  void RemoveSelected();
  void Undo();
  void ToggleClaimed();
  void Export();
  void Import();
  // Shows a line under the table (an outcome, or what went wrong in red).
  void Say(const std::string& line, bool wrong);
  // The key of the table's current row; nullptr when none is chosen.
  const PurchaseRowKey* Current() const;
  Game SlipGame() const;
  void UpdateButtons();

  CPredictDlg& dlg_;
  Dispatcher dispatch_;
  PurchasesPage page_;
  std::vector<SlipView> slipViews_;

  QLabel* summary_ = nullptr;
  QTableView* table_ = nullptr;
  QTableView* totals_ = nullptr;
  QLabel* said_ = nullptr;
  QPushButton* claimed_ = nullptr;
  QPushButton* remove_ = nullptr;
  QPushButton* undo_ = nullptr;
  QComboBox* game_ = nullptr;
  QLineEdit* numbers_ = nullptr;
  QComboBox* type_ = nullptr;
  QLineEdit* units_ = nullptr;
  QLineEdit* firstDraw_ = nullptr;
  QLineEdit* draws_ = nullptr;
  QLabel* nextDraw_ = nullptr;
  QLabel* faults_ = nullptr;
  QPushButton* record_ = nullptr;
  QListWidget* slips_ = nullptr;
  QPushButton* recordSlip_ = nullptr;
};

}  // namespace numira::ui
