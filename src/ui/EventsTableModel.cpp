#include "ui/EventsTableModel.h"

#include <QColor>

namespace orvalis {

int EventsTableModel::append(const ContactIdEvent& e) {
  const int r = log_.rowCount();
  beginInsertRows({}, r, r);
  log_.append(e);
  endInsertRows();
  return r;
}

void EventsTableModel::replace(const GridRows& rows) {
  beginResetModel();
  log_.fromGridRows(rows);
  endResetModel();
}

QVariant EventsTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= log_.rowCount()) return {};
  const auto& row = log_.row(index.row());
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(row.cells[static_cast<std::size_t>(index.column())]);
    case Qt::ForegroundRole:
      return QColor(row.colour.r, row.colour.g, row.colour.b);
    case Qt::TextAlignmentRole:
      return EventLogModel::Centred(index.column()) ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant EventsTableModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return QString::fromUtf8(EventLogModel::Header(section));
}

void EventsTableModel::sort(int column, Qt::SortOrder order) {
  emit layoutAboutToBeChanged();
  log_.sort(column, order == Qt::AscendingOrder);
  emit layoutChanged();
}

}  // namespace orvalis
