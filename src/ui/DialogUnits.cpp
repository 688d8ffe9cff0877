#include "DialogUnits.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QRawFont>
#include <QtMath>
#include <QString>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>

namespace numira::ui {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseX_ = (letters / 26 + 1) / 2;
  baseY_ = metrics.height();
  if (baseX_ < 1) baseX_ = 1;
  if (baseY_ < 1) baseY_ = 1;
}

int DialogUnits::Scale(int value, int base, int divisor) {
  const long long product = static_cast<long long>(value) * base;
  const long long half = divisor / 2;
  return static_cast<int>(product >= 0 ? (product + half) / divisor : -((-product + half) / divisor));
}

namespace {

// A text's width in a widget's font. Read from the font's own face when it has every
// character: the same advances the painter sets them with, without loading the engines
// of other scripts and shaping that measuring it as a string would start (a millisecond
// of every start for the first Japanese text, which the first painting does anyway).
int TextWidth(const QWidget* widget, const QString& text) {
  const QRawFont face = QRawFont::fromFont(widget->font());
  const QList<quint32> glyphs = face.isValid() ? face.glyphIndexesForString(text) : QList<quint32>{};
  if (glyphs.isEmpty() || glyphs.contains(0u)) return widget->fontMetrics().horizontalAdvance(text);
  qreal width = 0;
  for (const QPointF& advance : face.advancesForGlyphIndexes(glyphs)) width += advance.x();
  return qCeil(width);
}

}  // namespace

void WidenToItems(QComboBox* combo) {
  QStyleOptionComboBox option;
  option.initFrom(combo);
  option.editable = combo->isEditable();
  option.frame = combo->hasFrame();
  const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
  int widest = 0;
  for (int i = 0; i < combo->count(); ++i) widest = std::max(widest, TextWidth(combo, combo->itemText(i)));
  // The item is drawn one pixel in from either side of the field.
  const int needed = widest + 2 + (combo->width() - field.width());
  if (needed > combo->width()) combo->resize(needed, combo->height());
}

}  // namespace numira::ui
