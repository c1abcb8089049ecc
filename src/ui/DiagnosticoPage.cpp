#include "ui/DiagnosticoPage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "radio/Diagnostics.h"
#include "ui/PageControls.h"

namespace orvalis {

DiagnosticoPage::DiagnosticoPage(PageContext& ctx, QWidget* parent) : TabPage(ctx, "TabSheet4", parent) {
  auto* read = new QPushButton(QStringLiteral("LEITURA DIAGNÓSTICO"), this);
  read->setObjectName("Button7");
  read->setMinimumHeight(30);

  diag_ = new QTableWidget(static_cast<int>(kDiagRows), 2, this);
  diag_->setObjectName("Diag");
  diag_->horizontalHeader()->setVisible(false);
  diag_->verticalHeader()->setVisible(false);
  diag_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  diag_->setSelectionMode(QAbstractItemView::SingleSelection);
  diag_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
  diag_->horizontalHeader()->setStretchLastSection(true);
  diag_->setColumnWidth(0, 220);
  diag_->verticalHeader()->setDefaultSectionSize(22);
  diag_->verticalHeader()->setMinimumSectionSize(18);
  for (int r = 0; r < diag_->rowCount(); ++r)
    for (int c = 0; c < 2; ++c) diag_->setItem(r, c, new QTableWidgetItem);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(read);
  buttons->addStretch(1);
  auto* h = new QHBoxLayout(this);
  h->addLayout(buttons);
  h->addWidget(diag_, 1);
  h->addStretch(0);
  diag_->setMinimumWidth(560);
  diag_->setMaximumWidth(820);

  connect(read, &QPushButton::clicked, this, &DiagnosticoPage::Button7Click);
}

void DiagnosticoPage::setCell(int row, int column, const QString& text) {
  diag_->item(row, column)->setText(text);
}

void DiagnosticoPage::Button7Click() {
  const auto radio = SelectedRadio(ctx_);
  if (!radio) return;
  for (int r = 0; r < static_cast<int>(kDiagRows); ++r) setCell(r, 1, QString());
  BeginRead(ctx_, *window(), *radio);
  RestartRepeatTimer(*window());
  ctx_.sender.SendFrame(*radio, BuildDiagnosticsRequest());
}

void DiagnosticoPage::onDiagnostics(const Reply& r) {
  const DiagnosticsReport rep = DecodeDiagnostics(r.bytes, r.timeText);
  for (std::size_t i = 0; i < kDiagRows; ++i) {
    const DiagCell& c = rep.rows[i];
    if (c.label) setCell(static_cast<int>(i), 0, Qs(*c.label));
    if (c.value) setCell(static_cast<int>(i), 1, Qs(*c.value));
  }
  AppendTxLines(ctx_, rep.log);
}

}  // namespace orvalis
