#include "HistoryView.h"

#include <QLibrary>

#include "Executable.h"

namespace numira::ui {

HistoryMaker HistoryFromLibraryBeside(const std::string& executablePath) {
  const QString path = QString::fromStdString(BesideExecutable(executablePath, kHistoryLibraryName));
  return [path](QWidget* parent, std::string& error) -> HistoryView* {
    using Entry = HistoryView* (*)(QWidget*);
    // The library stays loaded once loaded (QLibrary never unloads on its own).
    QLibrary library(path);
    const auto make = reinterpret_cast<Entry>(library.resolve(kHistoryLibraryEntry));
    if (!make) {
      error = library.errorString().toStdString();
      return nullptr;
    }
    return make(parent);
  };
}

}  // namespace numira::ui
