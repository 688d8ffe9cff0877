#include "ControlLabel.h"

#include <QPainter>
#include <QStyle>

namespace numira::ui {

namespace {
Rgb ToRgb(const QColor& c) { return {c.red(), c.green(), c.blue()}; }
}  // namespace

PaletteColours WindowColours(const QPalette& palette) {
  return {ToRgb(palette.color(QPalette::Active, QPalette::Window)),
          ToRgb(palette.color(QPalette::Active, QPalette::WindowText))};
}

QColor ToQColor(TextColour colour, const QPalette& palette) {
  if (colour == TextColour::Default) return {};
  const Rgb c = TextRgb(colour, WindowColours(palette));
  return QColor(c.r, c.g, c.b);
}

ControlLabel::ControlLabel(int id, ColourRule rule, QWidget* parent)
    : QLabel(parent), id_(id), rule_(std::move(rule)) {
  setTextFormat(Qt::PlainText);
  // Filled with the dialog's own background colour, so the label is opaque: a new
  // text repaints the label alone, not the group box and dialog beneath it (which
  // matters while four games roll at 100 ticks a second).
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Window);
}

void ControlLabel::ShowText(const QString& t) {
  if (t != text())
    setText(t);
  else if (painted_ != Colour())
    update();
}

QColor ControlLabel::Rgb(TextColour colour) {
  const QPalette& pal = palette();
  const QRgb window = pal.color(QPalette::Active, QPalette::Window).rgb();
  const QRgb text = pal.color(QPalette::Active, QPalette::WindowText).rgb();
  if (window != cachedWindow_ || text != cachedText_) {
    cached_.fill(std::nullopt);
    cachedWindow_ = window;
    cachedText_ = text;
  }
  std::optional<QColor>& c = cached_[static_cast<std::size_t>(colour)];
  if (!c) c = ToQColor(colour, pal);
  return *c;
}

// Draws the frame and the one line of text itself rather than changing the palette:
// a palette change would schedule another repaint, and the colour is decided here,
// at the moment of drawing. Only the text colour changes; the background is untouched.
void ControlLabel::paintEvent(QPaintEvent*) {
  const TextColour colour = Colour();
  painted_ = colour;
  QPainter painter(this);
  drawFrame(&painter);
  QPalette pal = palette();
  if (const QColor c = Rgb(colour); c.isValid()) {
    pal.setColor(QPalette::Active, QPalette::WindowText, c);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, c);
  }
  const int flags = QStyle::visualAlignment(layoutDirection(), alignment()) |
                    (wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine);
  style()->drawItemText(&painter, contentsRect(), flags, pal, isEnabled(), text(), foregroundRole());
}

}  // namespace numira::ui
