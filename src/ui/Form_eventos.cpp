#include "ui/Form_eventos.h"

#include <QHeaderView>
#include <QMenuBar>
#include <QVBoxLayout>

namespace orvalis {

TFORM_EVENTO::TFORM_EVENTO(Dialogs& dialogs, QWidget* parent)
    : SecondaryWindow("FORM_EVENTO", "EVENTOS CONTACT_ID", parent) {
  grid_ = new QTableView(this);
  grid_->setObjectName("Eventos");
  grid_->setModel(&model_);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSortingEnabled(true);
  grid_->horizontalHeader()->setSortIndicatorShown(false);
  grid_->verticalHeader()->setDefaultSectionSize(20);
  grid_->verticalHeader()->hide();
  for (int c = 0; c < EventLogModel::kColumnCount; ++c)
    if (const int w = EventLogModel::Width(c)) grid_->setColumnWidth(c, w);
  grid_->horizontalHeader()->setStretchLastSection(true);

  log_ = new GridLogMenu(
      *this, dialogs, [this](const GridRows& rows) { model_.replace(rows); },
      [this] { return model_.log().toGridRows(); });
  auto* bar = new QMenuBar(this);
  bar->addMenu(log_->menu());
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(0, 0, 0, 0);
  v->setMenuBar(bar);
  v->addWidget(grid_);
  resize(1100, 450);
}

void TFORM_EVENTO::addEvent(const ContactIdEvent& e) {
  const int r = model_.append(e);
  grid_->selectRow(r);
  grid_->scrollTo(model_.index(r, 0));
}

}  // namespace orvalis
