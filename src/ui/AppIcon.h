#pragma once
// The program's icon: one 32 x 32 image in 16 colours.
#include <QIcon>
#include <QPixmap>

namespace numira::ui {

QPixmap AppIconPixmap();
QIcon AppIcon();

}  // namespace numira::ui
