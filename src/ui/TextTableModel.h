#pragma once
// A read-only table of texts for the side windows: thousands of rows without an item per
// cell, each row optionally in the colour its page gives it (read against the table's own
// background through the contrast rule).
#include <QAbstractTableModel>
#include <vector>

#include "CheckPage.h"
#include "Colours.h"

class QWidget;

namespace numira::ui {

class TextTableModel : public QAbstractTableModel {
 public:
  // view: the table whose palette the row colours are read against.
  TextTableModel(QObject* owner, const QWidget* view) : QAbstractTableModel(owner), view_(view) {}
  // The texts, and the rows' colours (none, or one per row; Default: the palette's text).
  void SetTable(CheckTable table, std::vector<TextColour> colours = {});

  int rowCount(const QModelIndex& parent) const override;
  int columnCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const QWidget* view_;
  CheckTable table_;
  std::vector<TextColour> colours_;
};

}  // namespace numira::ui
