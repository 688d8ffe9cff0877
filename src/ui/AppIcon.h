#pragma once
// The program's icon: the slot machine of the desktop entry, rendered in every size of the
// icon theme.
#include <QIcon>
#include <QPixmap>

namespace numira::ui {

// The 32 x 32 image (the about box shows it).
QPixmap AppIconPixmap();
// The sizes a window carries: 16 to 64 pixels (the larger ones are in the icon theme).
QIcon AppIcon();

}  // namespace numira::ui
