#pragma once
// The history window (当せん履歴): one tab per game with its summary lines, a bar chart
// and the same figures in a sortable table. It shows the pages the dialog logic builds
// and nothing else; the main window owns it and hands it new pages.
#include <QColor>
#include <QDialog>
#include <array>
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

 protected:
  // A new palette: the pages are shown anew in its colours.
  void changeEvent(QEvent* event) override;

 private:
  // The palette's colours the shown pages were built for.
  std::array<QRgb, 4> LookKey() const;

  QTabWidget* tabs_;
  std::vector<HistoryPage> shown_;
  std::array<QRgb, 4> builtFor_{};
};

}  // namespace numira::ui
