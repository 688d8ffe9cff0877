#include "AppIcon.h"

#include <png.h>

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QResource>

// The build renders the icon into the resources as ":/icons/<size>.png". They live in this
// static library, so they are registered by hand before the first use.
static void InitIconResources() { Q_INIT_RESOURCE(numira_icon); }

namespace numira::ui {
namespace {

// The largest size a window carries. Title bars and task switchers draw 16 to 64 pixels;
// the desktop finds the larger sizes in the icon theme through the desktop file name the
// windows are tied to. Every size a window carries is converted and handed to the X
// server when it is shown: the 128 and 256 pixel images cost a tenth of the start-up.
constexpr int kLargestWindowIcon = 64;

// One rendered size, decoded by libpng straight from the resource. Qt's image reader would
// first look through every image format plugin on the system (and open each), which costs
// the main window's start more than the five small images themselves.
QPixmap RenderedIcon(const QString& path) {
  const QResource resource(path);
  const QByteArray bytes = resource.uncompressedData();
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, bytes.constData(), static_cast<std::size_t>(bytes.size())))
    return {};
  // BGRA in memory is QImage's ARGB32 on a little-endian machine, ARGB on a big-endian one.
  png.format = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
  QImage image(static_cast<int>(png.width), static_cast<int>(png.height), QImage::Format_ARGB32);
  if (image.isNull() ||
      !png_image_finish_read(&png, nullptr, image.bits(), static_cast<png_int_32>(image.bytesPerLine()), nullptr)) {
    png_image_free(&png);
    return {};
  }
  return QPixmap::fromImage(std::move(image));
}

}  // namespace

QPixmap AppIconPixmap() {
  InitIconResources();
  return RenderedIcon(QStringLiteral(":/icons/32.png"));
}

QIcon AppIcon() {
  InitIconResources();
  QIcon icon;
  const QDir sizes(QStringLiteral(":/icons"));
  for (const QString& name : sizes.entryList(QDir::Files)) {
    if (QFileInfo(name).baseName().toInt() > kLargestWindowIcon) continue;
    const QPixmap pixmap = RenderedIcon(sizes.filePath(name));
    if (!pixmap.isNull()) icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace numira::ui
