#pragma once
// The history window (当せん履歴): one tab per game with its summary lines, a bar chart
// and the same figures in a sortable table. It shows the pages the dialog logic builds
// and nothing else; the main window owns it and hands it new pages.
#include <QColor>
#include <array>
#include <vector>

#include "HistoryView.h"

class QTabWidget;

namespace numira::ui {

class HistoryWindow : public HistoryView {
 public:
  explicit HistoryWindow(QWidget* parent);

  void ShowPages(const std::vector<HistoryPage>& pages) override;

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
