#include "AppIcon.h"

#include <QDir>
#include <QImageReader>

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

// One rendered size, read as the PNG it is: naming the format spares the search through
// every image format plugin that a file name alone would start.
QPixmap RenderedIcon(const QString& path) {
  QImageReader reader(path, QByteArrayLiteral("png"));
  reader.setAutoDetectImageFormat(false);
  return QPixmap::fromImage(reader.read());
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
    if (QFileInfo(name).baseName().toInt() <= kLargestWindowIcon) icon.addPixmap(RenderedIcon(sizes.filePath(name)));
  }
  return icon;
}

}  // namespace numira::ui
