#pragma once
// The program's icon: the slot machine of the desktop entry, rendered in every size of the
// icon theme.
#include <QIcon>
#include <QPixmap>

namespace numira::ui {

// The 32 x 32 image (the about box shows it).
QPixmap AppIconPixmap();
// Every size, for the windows.
QIcon AppIcon();

}  // namespace numira::ui
