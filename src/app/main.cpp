// Start-up: the command line, the list server, the application object, the one modal
// run of the main window, exit.
#include <QApplication>
#include <cstdio>

#include "CPredictApp.h"
#include "CommandLine.h"
#include "ListServerChoice.h"
#include "ListTable.h"
#include "PredictDlg.h"
#include "Texts.h"

int main(int argc, char** argv) {
  // --help and --version answer before anything needs a display.
  numira::CommandLine cl = numira::ParseCommandLine(argc, argv);
  switch (cl.action) {
    case numira::CommandLine::Action::Help:
      std::fputs(numira::UsageText(numira::BuiltInListServer()).c_str(), stdout);
      return 0;
    case numira::CommandLine::Action::Version:
      std::fputs(numira::text::kVersionLine, stdout);
      return 0;
    case numira::CommandLine::Action::Error:
      std::fputs(cl.error.c_str(), stderr);
      return 2;
    case numira::CommandLine::Action::Run:
      break;
  }
  const numira::ListServerInputs inputs = numira::ProcessListServerInputs(cl.listServer, numira::BuiltInListServer());
  const numira::ListServerChoice server = numira::ChooseListServer(inputs);
  for (const numira::ListServerWarning& w : server.warnings) std::fputs(numira::WarningText(w).c_str(), stderr);

  if (!numira::HasDisplay()) {
    std::fputs(numira::NoDisplayMessage(argc > 0 && argv[0] ? argv[0] : "numira").c_str(), stderr);
    return 1;
  }
  // The toolkit takes its own options (such as -platform) from what is left.
  int qtArgc = static_cast<int>(cl.rest.size());
  cl.rest.push_back(nullptr);
  QApplication app(qtArgc, cl.rest.data());
  if (qtArgc > 1) {
    std::fputs(numira::UnknownArgumentText(cl.rest[1]).c_str(), stderr);
    return 2;
  }
  // The application's name is the executable's file name without directory and extension.
  const std::string exe = numira::ExecutablePath();
  QApplication::setApplicationName(
      QString::fromStdString(numira::ApplicationName(exe.empty() ? std::string(argv[0]) : exe)));
  // Ties the windows to the menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(NUMIRA_APP_ID));
  numira::CPredictApp theApp(numira::DialogSetup{{}, server.baseUrl, inputs.configFile}, cl.purchases);
  theApp.InitInstance();
  return 0;
}
