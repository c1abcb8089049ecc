#include "ui/Form_periodico.h"

#include <QDateTime>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QVBoxLayout>

namespace orvalis {

TFORM_PER::TFORM_PER(Dialogs& dialogs, QWidget* parent)
    : SecondaryWindow("FORM_PER", "TABELA DE COMUNICACAO DE RADIOS", parent) {
  model_.table().setUtcOffset(std::chrono::seconds(QDateTime::currentDateTime().offsetFromUtc()));
  grid_ = new QTableView(this);
  grid_->setObjectName("per");
  grid_->setModel(&model_);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(20);
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->installEventFilter(this);

  log_ = new GridLogMenu(
      *this, dialogs,
      [this](const GridRows& rows) {
        model_.replace(rows);
        warnedNoRadioId_ = false;
      },
      [this] { return model_.table().toGridRows(); });
  acao_ = new QMenu(QStringLiteral("Ação"), this);
  acao_->setObjectName("Acao1");
  acao_->addAction(QStringLiteral("Transfere para RSSI (TimeOut)"), this, [this] {
    if (transfer_) model_.table().transferOverdue(CommTableModel::Transfer::Rssi, *transfer_);
  });
  acao_->addAction(QStringLiteral("Transfere para 881 (TimeOut)"), this, [this] {
    if (transfer_) model_.table().transferOverdue(CommTableModel::Transfer::Test881, *transfer_);
  });
  acao_->addAction(QStringLiteral("Apagar Rádio (d)"), this, &TFORM_PER::ApagarRadioClick);
  auto* bar = new QMenuBar(this);
  bar->addMenu(log_->menu());
  acaoAction_ = bar->addMenu(acao_);
  acaoAction_->setVisible(false);  // shown in engineering mode
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(0, 0, 0, 0);
  v->setMenuBar(bar);
  v->addWidget(grid_);
  resize(620, 600);
}

void TFORM_PER::setActionMenuShown(bool on) { acaoAction_->setVisible(on); }

void TFORM_PER::refresh(TimePoint now) {
  const auto r = model_.table().refresh(now);
  model_.rowsChanged(r.changedRows);
  if (r.rowsWithoutRadioId && !warnedNoRadioId_) {
    warnedNoRadioId_ = true;
    if (onStatus) onStatus(QStringLiteral("A tabela de comunicação tem linhas sem ID de rádio; elas não são atualizadas."));
  }
}

void TFORM_PER::ApagarRadioClick() {
  const QModelIndex cur = grid_->currentIndex();
  if (!cur.isValid()) return;
  model_.table().clearRow(cur.row());
  model_.rowChanged(cur.row());
}

bool TFORM_PER::eventFilter(QObject* o, QEvent* e) {
  if (o == grid_ && e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->text() == "d") {
    ApagarRadioClick();
    return true;
  }
  return SecondaryWindow::eventFilter(o, e);
}

}  // namespace orvalis
