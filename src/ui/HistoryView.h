#pragma once
// What the main window knows of the history window. The window itself, with Qt Charts,
// lives in a library of its own (numira-history.so beside the executable) that is loaded
// when the window first opens, so a start-up that never shows it never loads the charts.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "HistoryPage.h"

namespace numira::ui {

class HistoryView : public QDialog {
 public:
  using QDialog::QDialog;
  // Shows the pages, one tab each, in their order. A tab whose page has not changed is
  // left as it is; the chosen tab and each table's sort order stay as they were.
  virtual void ShowPages(const std::vector<HistoryPage>& pages) = 0;
};

// Makes a history window for a parent; nullptr, with the reason in error, when it cannot.
using HistoryMaker = std::function<HistoryView*(QWidget* parent, std::string& error)>;

// The file name of the history window's library, and the function it exports.
inline constexpr const char* kHistoryLibraryName = "numira-history.so";
inline constexpr const char* kHistoryLibraryEntry = "numira_make_history_window";

// The history window of the library beside the executable, which is loaded at the first
// call and stays loaded.
HistoryMaker HistoryFromLibraryBeside(const std::string& executablePath);

}  // namespace numira::ui
