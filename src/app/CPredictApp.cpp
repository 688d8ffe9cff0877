#include "CPredictApp.h"

#include <cstdlib>
#include <memory>

#include <QTimer>

#include "Clock.h"
#include "MainWindow.h"
#include "TextFill.h"
#include "Texts.h"

namespace numira {

bool CPredictApp::InitInstance() {
  static const SystemClock clock;
  auto dialog = std::make_unique<ui::MainWindow>(clock, setup_);
  // Once the main window runs, so that the purchases window opens beside it.
  if (openPurchases_) QTimer::singleShot(0, dialog.get(), [w = dialog.get()] { w->OpenPurchases(); });
  dialog->exec();
  dialog.reset();
  return false;
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

std::string NoDisplayMessage(const std::string& command) {
  // The command as a shell takes it back: in single quotes unless it is plain.
  const bool plain = !command.empty() && command.find_first_not_of(
                                             "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/._-+") ==
                                             std::string::npos;
  std::string shown = plain ? command : "'";
  if (!plain) {
    for (char c : command) shown += c == '\'' ? std::string("'\\''") : std::string(1, c);
    shown += '\'';
  }
  return Fill(text::kNoDisplay, {shown});
}

}  // namespace numira
