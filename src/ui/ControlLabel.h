#pragma once
// A static text control whose text colour is asked for each time it is drawn.
#include <QColor>
#include <QLabel>
#include <functional>

#include "Colours.h"

namespace numira::ui {

// The RGB value of a text colour; Default has none (invalid QColor).
QColor ToQColor(TextColour colour);

class ControlLabel : public QLabel {
 public:
  using ColourRule = std::function<TextColour(int id)>;

  ControlLabel(int id, ColourRule rule, QWidget* parent);

  int Id() const { return id_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int id_;
  ColourRule rule_;
};

}  // namespace numira::ui
