#pragma once
// Dialog units: the window layouts are given in units of the dialog font, so the
// windows keep their proportions whatever face and size the system resolves.
#include <QFont>
#include <QRect>
#include <QSize>

class QComboBox;

namespace numira::ui {

class DialogUnits {
 public:
  // Base units of a font. The horizontal base is the average width of the 52 letters
  // A-Z and a-z, rounded as Windows does ((width / 26 + 1) / 2), not the font's
  // declared average character width: Japanese faces declare a width that mixes in
  // their full-width glyphs and reports far less than their Latin letters, which made
  // the fixed notice line too narrow for its text. The vertical base is the font height
  // (ascent + descent).
  explicit DialogUnits(const QFont& font);
  DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

  int BaseX() const { return baseX_; }
  int BaseY() const { return baseY_; }

  // One horizontal unit is a quarter of baseX, one vertical unit an eighth of baseY;
  // pixel values are rounded to the nearest integer, halves away from zero.
  int X(int units) const { return Scale(units, baseX_, 4); }
  int Y(int units) const { return Scale(units, baseY_, 8); }
  QRect Rect(int x, int y, int w, int h) const { return {X(x), Y(y), X(w), Y(h)}; }
  QSize Size(int w, int h) const { return {X(w), Y(h)}; }

 private:
  static int Scale(int value, int base, int divisor);
  int baseX_, baseY_;
};

// The layouts in dialog units leave a drop-down's items the room that the classic
// controls' narrow arrow leaves them; a style with a wider arrow and frame would cut the
// longest ("５回以上当せん"). The drop-down grows to the right until its widest item shows
// whole; it never shrinks below its place in the layout.
void WidenToItems(QComboBox* combo);

}  // namespace numira::ui
