#include "ControlLabel.h"

#include <QPainter>
#include <QStyle>

namespace numira::ui {

QColor ToQColor(TextColour colour) {
  switch (colour) {
    case TextColour::Red: return QColor(255, 0, 0);
    case TextColour::Blue: return QColor(0, 0, 255);
    case TextColour::DarkGreen: return QColor(0, 102, 0);
    case TextColour::Default: break;
  }
  return {};
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

// Draws the frame and the one line of text itself rather than changing the palette:
// a palette change would schedule another repaint, and the colour is decided here,
// at the moment of drawing. Only the text colour changes; the background is untouched.
void ControlLabel::paintEvent(QPaintEvent*) {
  const TextColour colour = rule_ ? rule_(id_) : TextColour::Default;
  QPainter painter(this);
  drawFrame(&painter);
  QPalette pal = palette();
  if (const QColor c = ToQColor(colour); c.isValid()) {
    pal.setColor(QPalette::Active, QPalette::WindowText, c);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, c);
  }
  const int flags = QStyle::visualAlignment(layoutDirection(), alignment()) |
                    (wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine);
  style()->drawItemText(&painter, contentsRect(), flags, pal, isEnabled(), text(), foregroundRole());
}

}  // namespace numira::ui
