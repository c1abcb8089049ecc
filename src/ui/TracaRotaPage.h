// "TRAÇA ROTA" tab (TabSheet5): trace, define, read back and erase a radio's route; the Trace grid.
#pragma once

#include <QTableWidget>

#include "ui/TabPage.h"

namespace orvalis {

class TracaRotaPage : public TabPage {
  Q_OBJECT
 public:
  static constexpr int kColumns = 15;

  explicit TracaRotaPage(PageContext& ctx, QWidget* parent = nullptr);

  void onRouteTrace(const Reply& r) override;  // 0xD2 from the selected radio or its gateway
  void onRouteQuery(const Reply& r) override;  // 0xD3 from any radio

  QTableWidget* grid() const { return trace_; }

 public slots:
  void Button8Click();
  void BDefRotaClick();
  void BConsRotaClick();
  void BApagaRotaClick();
  void BZeraTabelaRotaClick();
  void BResetRadioClick();
  // Entering the tab drops the traced rows; row 0 stays for the route to define.
  void TabSheet5Enter();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void addTraceRow(const Reply& r);
  void sendToSelected(const Bytes& data);

  QTableWidget* trace_ = nullptr;
};

}  // namespace orvalis
