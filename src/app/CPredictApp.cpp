#include "CPredictApp.h"

#include <cstdlib>
#include <memory>

#include "Clock.h"
#include "MainWindow.h"

namespace numira {

bool CPredictApp::InitInstance() {
  static const SystemClock clock;
  auto dialog = std::make_unique<ui::MainWindow>(clock);
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

const char* NoDisplayMessage() {
  return "numira: 画面（X11 または Wayland のディスプレイ）が見つからないため、ウィンドウを表示できません。\n"
         "  ディスプレイのない環境では xvfb-run を使ってください:  xvfb-run -a build/numira\n"
         "numira: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot be shown.\n"
         "  Run it on a desktop session, or without one under a virtual display:  xvfb-run -a build/numira\n";
}

}  // namespace numira
