#include "AppIcon.h"

namespace numira::ui {
namespace {
// Drawn by scripts/make-icon.
#include "resources/numira.xpm"
}  // namespace

QPixmap AppIconPixmap() { return QPixmap(numira_xpm); }

QIcon AppIcon() { return QIcon(AppIconPixmap()); }

}  // namespace numira::ui
