// TFORM_PER "TABELA DE COMUNICACAO DE RADIOS": last event per radio and the overdue ones.
#pragma once

#include <QMenu>
#include <QTableView>
#include <functional>

#include "events/CommTableSink.h"
#include "ui/CommTableQtModel.h"
#include "ui/GridLogMenu.h"
#include "ui/SecondaryWindow.h"

namespace orvalis {

class TFORM_PER : public SecondaryWindow {
  Q_OBJECT
public:
  explicit TFORM_PER(Dialogs& dialogs, QWidget* parent = nullptr);

  CommTableQtModel& model() { return model_; }
  CommTableModel& table() { return model_.table(); }
  QTableView& grid() { return *grid_; }
  GridLogMenu& logMenu() { return *log_; }
  QMenu* actionMenu() const { return acao_; }
  void setActionMenuShown(bool on);
  // Where the overdue radios go (the mesh firmware table).
  void setTransferTarget(OverdueTransferTarget* t) { transfer_ = t; }
  // Told once when refreshes skip rows without a radio id.
  std::function<void(const QString&)> onStatus;

  // TimerTLI, once a second.
  void refresh(TimePoint now);
  // "Apagar Rádio (d)" on the selected row.
  void ApagarRadioClick();

protected:
  void onClosing() override { log_->writeBackIfOpen(); }
  bool eventFilter(QObject* o, QEvent* e) override;

private:
  CommTableQtModel model_;
  QTableView* grid_;
  GridLogMenu* log_;
  QMenu* acao_;
  QAction* acaoAction_ = nullptr;
  OverdueTransferTarget* transfer_ = nullptr;
  bool warnedNoRadioId_ = false;
};

}  // namespace orvalis
