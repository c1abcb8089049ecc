#include "ui/TracaRotaPage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "radio/RouteTables.h"
#include "ui/PageControls.h"
#include "ui/RadioSelector.h"

namespace orvalis {

namespace {
QPushButton* Button(const char* name, const QString& caption, QWidget* parent, bool shown = true) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setMinimumHeight(28);
  b->setVisible(shown);
  return b;
}
}  // namespace

TracaRotaPage::TracaRotaPage(PageContext& ctx, QWidget* parent) : TabPage(ctx, "TabSheet5", parent) {
  auto* trace = Button("Button8", QStringLiteral("TRAÇA ROTA"), this);
  // Service buttons: shown only by their key sequences in the event pane.
  auto* define = Button("BDefRota", QStringLiteral("DEFINE ROTA"), this, false);
  auto* query = Button("BConsRota", QStringLiteral("CONSULTA ROTA"), this, false);
  auto* erase = Button("BApagaRota", QStringLiteral("A"), this, false);
  auto* zero = Button("BZeraTabelaRota", QStringLiteral("Z"), this, false);
  auto* reset = Button("BResetRadio", QStringLiteral("R"), this, false);
  for (QPushButton* b : {erase, zero, reset}) b->setFixedWidth(32);

  trace_ = new QTableWidget(1, kColumns, this);
  trace_->setObjectName("Trace");
  trace_->horizontalHeader()->setVisible(false);
  trace_->verticalHeader()->setVisible(false);
  trace_->horizontalHeader()->setDefaultSectionSize(64);
  trace_->verticalHeader()->setDefaultSectionSize(22);
  // Row 0 becomes editable with the key sequence that also shows BDefRota.
  trace_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  trace_->setSelectionMode(QAbstractItemView::SingleSelection);

  auto* small = new QHBoxLayout;
  small->addWidget(erase);
  small->addWidget(zero);
  small->addWidget(reset);
  small->addStretch(1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(trace);
  buttons->addWidget(define);
  buttons->addWidget(query);
  buttons->addLayout(small);
  buttons->addStretch(1);
  auto* h = new QHBoxLayout(this);
  h->addLayout(buttons);
  h->addWidget(trace_, 1);

  connect(trace, &QPushButton::clicked, this, &TracaRotaPage::Button8Click);
  connect(define, &QPushButton::clicked, this, &TracaRotaPage::BDefRotaClick);
  connect(query, &QPushButton::clicked, this, &TracaRotaPage::BConsRotaClick);
  connect(erase, &QPushButton::clicked, this, &TracaRotaPage::BApagaRotaClick);
  connect(zero, &QPushButton::clicked, this, &TracaRotaPage::BZeraTabelaRotaClick);
  connect(reset, &QPushButton::clicked, this, &TracaRotaPage::BResetRadioClick);
}

void TracaRotaPage::showEvent(QShowEvent* e) {
  TabPage::showEvent(e);
  if (!e->spontaneous()) TabSheet5Enter();
}

void TracaRotaPage::TabSheet5Enter() {
  trace_->setRowCount(1);
}

void TracaRotaPage::Button8Click() {
  const auto radio = ctx_.selector.remoteRadio(ctx_.setStatus);
  if (!radio) return;
  BeginRead(ctx_, *window(), *radio);
  RestartRepeatTimer(*window());
  ctx_.sender.SendFrame(*radio, BuildTraceRequest());
}

void TracaRotaPage::BDefRotaClick() {
  const auto radio = SelectedRadio(ctx_);
  if (!radio) return;
  std::vector<std::string> cells;
  for (int c = 1; c < trace_->columnCount() && cells.size() < kMaxRouteHops; ++c) {
    const QTableWidgetItem* it = trace_->item(0, c);
    cells.push_back(it ? it->text().toStdString() : std::string());
  }
  ctx_.setStatus(QString());
  ctx_.sender.SendFrame(*radio, BuildDefineRoute(RouteHopsFromCells(cells)));
  if (auto* user = window()->findChild<QLabel*>("UserText")) user->clear();
}

void TracaRotaPage::BConsRotaClick() {
  const auto radio = SelectedRadio(ctx_);
  if (!radio) return;
  BeginRead(ctx_, *window(), *radio);
  ctx_.sender.SendFrame(*radio, BuildRouteQuery());
}

void TracaRotaPage::sendToSelected(const Bytes& data) {
  const auto radio = SelectedRadio(ctx_);
  if (!radio) return;
  ctx_.setStatus(QString());
  ctx_.sender.SendFrame(*radio, data);
}

void TracaRotaPage::BApagaRotaClick() {
  sendToSelected(BuildEraseRoute());
}
void TracaRotaPage::BZeraTabelaRotaClick() {
  sendToSelected(BuildZeroRepeatTable());
}
void TracaRotaPage::BResetRadioClick() {
  sendToSelected(BuildResetRadio());
}

void TracaRotaPage::addTraceRow(const Reply& r) {
  const auto t = RenderTrace(r.bytes, r.timeText);
  if (!t) return;
  const int row = trace_->rowCount();
  const int needed = static_cast<int>(t->cells.size());
  if (needed > trace_->columnCount()) trace_->setColumnCount(needed);
  trace_->setRowCount(row + 1);
  for (int c = 0; c < needed; ++c) {
    auto* it = new QTableWidgetItem(Qs(t->cells[static_cast<std::size_t>(c)]));
    // Traced rows are results; only row 0 is typed.
    it->setFlags(it->flags() & ~Qt::ItemIsEditable);
    trace_->setItem(row, c, it);
  }
  AppendTxLines(ctx_, t->log);
}

void TracaRotaPage::onRouteTrace(const Reply& r) {
  addTraceRow(r);
}

void TracaRotaPage::onRouteQuery(const Reply& r) {
  if (const auto t = RenderTrace(r.bytes, r.timeText); t && t->selectRadio) ctx_.selector.selectRadio(*t->selectRadio);
  addTraceRow(r);
}

}  // namespace orvalis
