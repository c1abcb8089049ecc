// "DIAGNÓSTICO" tab (TabSheet4): the health counters of the selected radio in the Diag grid.
#pragma once

#include <QTableWidget>

#include "ui/TabPage.h"

namespace orvalis {

class DiagnosticoPage : public TabPage {
  Q_OBJECT
 public:
  explicit DiagnosticoPage(PageContext& ctx, QWidget* parent = nullptr);

  void onDiagnostics(const Reply& r) override;

  QTableWidget* grid() const { return diag_; }

 public slots:
  void Button7Click();

 private:
  void setCell(int row, int column, const QString& text);

  QTableWidget* diag_ = nullptr;
};

}  // namespace orvalis
