#include "Fonts.h"

#include <QApplication>
#include <QStringList>

namespace numira::ui {

const char* const kDialogFace = "ＭＳ Ｐゴシック";

void RegisterFontSubstitutes() {
  static const bool registered = [] {
    const QString face = QString::fromUtf8(kDialogFace);
    // Only add what is missing, so a substitution set up elsewhere keeps its order.
    QStringList wanted{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP"),
                       QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic")};
    const QStringList present = QFont::substitutes(face);
    QStringList missing;
    for (const QString& f : wanted)
      if (!present.contains(f, Qt::CaseInsensitive)) missing << f;
    if (!missing.isEmpty()) QFont::insertSubstitutions(face, missing);
    return true;
  }();
  (void)registered;
}

QFont DialogFont() {
  RegisterFontSubstitutes();
  QFont font(QString::fromUtf8(kDialogFace));
  font.setPointSize(kDialogPointSize);
  font.setWeight(QFont::Normal);
  font.setStyleHint(QFont::SansSerif);
  font.setHintingPreference(kDialogHinting);
  return font;
}

QFont ResultFont() {
  RegisterFontSubstitutes();
  QFont font(QString::fromUtf8(kDialogFace));
  const QFont standard = QApplication::font();
  if (standard.pointSizeF() > 0)
    font.setPointSizeF(standard.pointSizeF());
  else if (standard.pixelSize() > 0)
    font.setPixelSize(standard.pixelSize());
  else
    font.setPointSize(kDialogPointSize);
  font.setWeight(QFont::Bold);
  font.setStyleHint(QFont::SansSerif);
  font.setHintingPreference(kDialogHinting);
  return font;
}

}  // namespace numira::ui
