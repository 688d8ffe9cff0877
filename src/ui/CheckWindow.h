#pragma once
// The check window (当せん照合): one tab per game with every draw, a ticket to check and
// the outcome. It shows the pages and outcomes the dialog logic makes and nothing else;
// the main window owns it, hands it new pages and answers its checks.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "CheckPage.h"

class QTabWidget;

namespace numira::ui {

class CheckWindow : public QDialog {
 public:
  // What 照合 asks: the outcome of the typed ticket of the game with the chosen type; a
  // refusal without a line (a check that failed with an error) leaves the window as it is.
  using Checker = std::function<CheckOutcome(Game game, const std::string& typed, int typeIndex)>;

  CheckWindow(QWidget* parent, Checker checker);

  // 記録 on a game's page: the typed ticket goes to 購入記録. The recorder answers with the
  // line that tells how it went (refused: what is wrong). Without one there is no 記録 button.
  using Recorder = std::function<CheckOutcome(Game game, const std::string& typed, int typeIndex)>;
  void SetRecorder(Recorder recorder) { recorder_ = std::move(recorder); }

  // Shows the pages, one tab each, in their order. A tab whose page has not changed is
  // left as it is; new draws clear the tab's outcome; a new proposal refills its ticket.
  void ShowPages(const std::vector<CheckPage>& pages);

 protected:
  // Opening the window puts the keyboard in the ticket's field.
  void showEvent(QShowEvent* event) override;

 private:
  void RunCheck(int tab);
  void RecordTicket(int tab);
  void FocusTicket();

  QTabWidget* tabs_;
  std::vector<CheckPage> shown_;
  Checker checker_;
  Recorder recorder_;
};

}  // namespace numira::ui
