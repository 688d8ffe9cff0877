// Start-up: the application object, the one modal run of the main window, exit.
#include <QApplication>
#include <cstdio>

#include "CPredictApp.h"
#include "ListTable.h"
#include "PredictDlg.h"

int main(int argc, char** argv) {
  if (!numira::HasDisplay()) {
    std::fputs(numira::NoDisplayMessage(argc > 0 && argv[0] ? argv[0] : "numira").c_str(), stderr);
    return 1;
  }
  QApplication app(argc, argv);
  // The application's name is the executable's file name without directory and extension.
  const std::string exe = numira::ExecutablePath();
  QApplication::setApplicationName(
      QString::fromStdString(numira::ApplicationName(exe.empty() ? std::string(argv[0]) : exe)));
  // Ties the windows to the menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(NUMIRA_APP_ID));
  numira::CPredictApp theApp;
  theApp.InitInstance();
  return 0;
}
