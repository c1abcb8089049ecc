// TFORM_EVENTO "EVENTOS CONTACT_ID": every event message of the run, with its log file.
#pragma once

#include <QTableView>

#include "ui/EventsTableModel.h"
#include "ui/GridLogMenu.h"
#include "ui/SecondaryWindow.h"

namespace orvalis {

class TFORM_EVENTO : public SecondaryWindow {
  Q_OBJECT
public:
  explicit TFORM_EVENTO(Dialogs& dialogs, QWidget* parent = nullptr);

  // Adds the event's row, selects it and keeps it in view.
  void addEvent(const ContactIdEvent& e);
  EventsTableModel& model() { return model_; }
  QTableView& grid() { return *grid_; }
  GridLogMenu& logMenu() { return *log_; }

protected:
  void onClosing() override { log_->writeBackIfOpen(); }

private:
  EventsTableModel model_;
  QTableView* grid_;
  GridLogMenu* log_;
};

}  // namespace orvalis
