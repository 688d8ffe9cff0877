#include "AppIcon.h"

#include <QDir>
#include <QImageReader>

// The build renders the icon into the resources as ":/icons/<size>.png". They live in this
// static library, so they are registered by hand before the first use.
static void InitIconResources() { Q_INIT_RESOURCE(numira_icon); }

namespace numira::ui {
namespace {

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
  for (const QString& name : sizes.entryList(QDir::Files)) icon.addPixmap(RenderedIcon(sizes.filePath(name)));
  return icon;
}

}  // namespace numira::ui
