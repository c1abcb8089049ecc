// Shows the communication table model in a QTableView; refreshes only changed rows.
#pragma once

#include <QAbstractTableModel>

#include "events/CommTableModel.h"

namespace orvalis {

class CommTableQtModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit CommTableQtModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  CommTableModel& table() { return table_; }
  void rowChanged(int r);
  void rowsChanged(const std::vector<int>& rows);
  void replace(const GridRows& rows);

  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : table_.rowCount(); }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : CommTableModel::kColumnCount;
  }
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;
  // The Timeover box is shown, never edited by the user.
  Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
  CommTableModel table_;
};

}  // namespace orvalis
