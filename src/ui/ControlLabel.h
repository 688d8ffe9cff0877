#pragma once
// A static text control whose text colour is asked for each time it is drawn.
#include <QColor>
#include <QLabel>
#include <array>
#include <functional>
#include <optional>

#include "Colours.h"

namespace numira::ui {

// The colours the rule looks at: the window's background and text of the palette.
PaletteColours WindowColours(const QPalette& palette);
// The RGB value of a text colour on that palette; Default has none (invalid QColor).
QColor ToQColor(TextColour colour, const QPalette& palette);

class ControlLabel : public QLabel {
 public:
  using ColourRule = std::function<TextColour(int id)>;

  ControlLabel(int id, ColourRule rule, QWidget* parent);

  int Id() const { return id_; }
  // Shows the text, repainting the label only when its text or its colour changed.
  void ShowText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TextColour Colour() const { return rule_ ? rule_(id_) : TextColour::Default; }
  // The RGB value of the colour on the label's palette, worked out once per palette.
  QColor Rgb(TextColour colour);

  int id_;
  ColourRule rule_;
  // The colour of the last painting.
  std::optional<TextColour> painted_;
  // The palette colours the cached values were worked out for, and the values by colour.
  QRgb cachedWindow_ = 0, cachedText_ = 0;
  std::array<std::optional<QColor>, 4> cached_;
};

}  // namespace numira::ui
