#include "AppIcon.h"

#include <QImage>

#include "IconPixels.h"

namespace numira::ui {
namespace {

// One size from the pixels the build put into the program.
QPixmap Pixmap(const IconPixels& pixels) {
  const QImage image(reinterpret_cast<const uchar*>(pixels.argb), pixels.size, pixels.size, pixels.size * 4,
                     QImage::Format_ARGB32);
  return QPixmap::fromImage(image);
}

}  // namespace

QPixmap AppIconPixmap() {
  for (std::size_t i = 0; i < kIconPixelsCount; ++i)
    if (kIconPixels[i].size == 32) return Pixmap(kIconPixels[i]);
  return {};
}

QIcon AppIcon() {
  QIcon icon;
  for (std::size_t i = 0; i < kIconPixelsCount; ++i) icon.addPixmap(Pixmap(kIconPixels[i]));
  return icon;
}

}  // namespace numira::ui
