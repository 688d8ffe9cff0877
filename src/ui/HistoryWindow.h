#pragma once
// The history window (当せん履歴): one tab per game with its summary lines, a bar chart
// and the same figures in a sortable table. It shows the pages the dialog logic builds
// and nothing else; the main window owns it and hands it new pages.
#include <QDialog>
#include <vector>

#include "HistoryPage.h"

class QTabWidget;

namespace numira::ui {

class HistoryWindow : public QDialog {
 public:
  explicit HistoryWindow(QWidget* parent);

  // Shows the pages, one tab each, in their order. A tab whose page has not changed is
  // left as it is; the chosen tab and each table's sort order stay as they were.
  void ShowPages(const std::vector<HistoryPage>& pages);

 private:
  QTabWidget* tabs_;
  std::vector<HistoryPage> shown_;
};

}  // namespace numira::ui
