// The entry of numira-history.so: the history window, for the main window that loads it.
#include "HistoryWindow.h"

extern "C" Q_DECL_EXPORT numira::ui::HistoryView* numira_make_history_window(QWidget* parent) {
  return new numira::ui::HistoryWindow(parent);
}
