#include "TextTableModel.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace numira::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
Rgb ToRgb(const QColor& c) { return {c.red(), c.green(), c.blue()}; }

}  // namespace

void TextTableModel::SetTable(CheckTable table, std::vector<TextColour> colours) {
  beginResetModel();
  table_ = std::move(table);
  colours_ = std::move(colours);
  endResetModel();
}

int TextTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.columns.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
  const std::size_t r = static_cast<std::size_t>(index.row()), c = static_cast<std::size_t>(index.column());
  if (!index.isValid() || r >= table_.rows.size() || c >= table_.rows[r].size()) return {};
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) return Q(table_.rows[r][c]);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  if (role == Qt::ForegroundRole && r < colours_.size() && colours_[r] != TextColour::Default) {
    const QPalette& p = view_->palette();
    const Rgb rgb = TextRgb(colours_[r], {ToRgb(p.color(QPalette::Base)), ToRgb(p.color(QPalette::Text))});
    return QColor(rgb.r, rgb.g, rgb.b);
  }
  return {};
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      static_cast<std::size_t>(section) >= table_.columns.size())
    return QAbstractTableModel::headerData(section, orientation, role);
  return Q(table_.columns[static_cast<std::size_t>(section)]);
}

}  // namespace numira::ui
