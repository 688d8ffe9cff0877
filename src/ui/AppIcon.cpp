#include "AppIcon.h"

#include <QDir>

// The build renders the icon into the resources as ":/icons/<size>.png". They live in this
// static library, so they are registered by hand before the first use.
static void InitIconResources() { Q_INIT_RESOURCE(numira_icon); }

namespace numira::ui {

QPixmap AppIconPixmap() {
  InitIconResources();
  return QPixmap(QStringLiteral(":/icons/32.png"));
}

QIcon AppIcon() {
  InitIconResources();
  QIcon icon;
  const QDir sizes(QStringLiteral(":/icons"));
  for (const QString& name : sizes.entryList(QDir::Files)) icon.addFile(sizes.filePath(name));
  return icon;
}

}  // namespace numira::ui
