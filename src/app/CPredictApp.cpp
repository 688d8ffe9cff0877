#include "CPredictApp.h"

#include <cstdlib>
#include <memory>

#include "Clock.h"
#include "MainWindow.h"
#include "Texts.h"

namespace numira {

bool CPredictApp::InitInstance() {
  static const SystemClock clock;
  auto dialog = std::make_unique<ui::MainWindow>(clock, setup_);
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

const char* NoDisplayMessage() { return text::kNoDisplay; }

}  // namespace numira
