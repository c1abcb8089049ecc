// Shows the events grid model in a QTableView.
#pragma once

#include <QAbstractTableModel>

#include "events/EventLogModel.h"

namespace orvalis {

class EventsTableModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit EventsTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  EventLogModel& log() { return log_; }
  int append(const ContactIdEvent& e);
  void replace(const GridRows& rows);

  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : log_.rowCount(); }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : EventLogModel::kColumnCount;
  }
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

private:
  EventLogModel log_;
};

}  // namespace orvalis
