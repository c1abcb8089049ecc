#include "ui/CommTableQtModel.h"

#include <QColor>

namespace orvalis {

void CommTableQtModel::rowChanged(int r) {
  emit dataChanged(index(r, 0), index(r, CommTableModel::kColumnCount - 1));
}

void CommTableQtModel::rowsChanged(const std::vector<int>& rows) {
  // Consecutive rows go out as one range, so a full refresh is one signal.
  std::size_t i = 0;
  while (i < rows.size()) {
    std::size_t j = i;
    while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
    emit dataChanged(index(rows[i], 0), index(rows[j], CommTableModel::kColumnCount - 1));
    i = j + 1;
  }
}

void CommTableQtModel::replace(const GridRows& rows) {
  beginResetModel();
  table_.fromGridRows(rows);
  endResetModel();
}

QVariant CommTableQtModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= table_.rowCount()) return {};
  const CommRow& row = table_.row(index.row());
  if (index.column() == CommTableModel::kTimeover) {
    if (role == Qt::CheckStateRole) return row.timeover ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole) return QString::fromUtf8(CommTableModel::kTimeoverHint);
    return {};
  }
  if (role == Qt::DisplayRole) return QString::fromStdString(table_.cellText(index.row(), index.column()));
  if (role == Qt::ForegroundRole) return QColor(row.colour.r, row.colour.g, row.colour.b);
  return {};
}

QVariant CommTableQtModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) return QString::fromUtf8(CommTableModel::Header(section));
  if (role == Qt::ToolTipRole && section == CommTableModel::kTimeover)
    return QString::fromUtf8(CommTableModel::kTimeoverHint);
  return {};
}

Qt::ItemFlags CommTableQtModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace orvalis
