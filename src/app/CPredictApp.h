#pragma once
// The application: runs the main window modally and ends when it ends.
#include <string>
#include <utility>

#include "PredictDlg.h"

namespace numira {

class CPredictApp {
 public:
  // setup: where the main window finds its lists and its list server.
  // openPurchases: the purchases window (購入記録) opens with the main window.
  explicit CPredictApp(DialogSetup setup = {}, bool openPurchases = false)
      : setup_(std::move(setup)), openPurchases_(openPurchases) {}

  // Constructs the main window with no parent, runs it modally until it ends (the end
  // code is not examined) and destroys it. Returns false: there is no message loop
  // of the application's own after it.
  bool InitInstance();

 private:
  DialogSetup setup_;
  bool openPurchases_ = false;
};

// Whether a window can be shown: a display, a Wayland display or an explicit Qt
// platform is present in the environment.
bool HasDisplay();

// The message shown when there is none (Japanese and English), naming the command as it
// was started (argv[0]), so that it holds for a build tree and an installed copy alike.
std::string NoDisplayMessage(const std::string& command);

}  // namespace numira
