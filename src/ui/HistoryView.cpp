#include "HistoryView.h"

#include <QLibrary>

namespace numira::ui {

HistoryMaker HistoryFromLibraryBeside(const std::string& executablePath) {
  const auto slash = executablePath.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : executablePath.substr(0, slash);
  const QString path = QString::fromStdString(folder + "/" + kHistoryLibraryName);
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
