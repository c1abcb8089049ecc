#include "ui/EngenhariaPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "radio/Diagnostics.h"
#include "radio/RouteTables.h"
#include "ui/PageControls.h"

namespace orvalis {

namespace {
QPushButton* Button(const char* name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setMinimumHeight(28);
  return b;
}

struct Header {
  const char* caption;
  const char* hint;
};
const Header kHeaders[] = {
    {"ID", nullptr},
    {"Negra", "Lista Negra: 0=não está, 1=escuta após 1 repetição e etc"},
    {"Repetição", "Tab. Rep: 0=não repete (só após 3x), 1=após 2x, 2=após 1x, 3 em diante repete de cara"},
};
}  // namespace

EngenhariaPage::EngenhariaPage(PageContext& ctx, QWidget* parent) : TabPage(ctx, "Engenharia", parent) {
  // Sync analysis.
  auto* syncBox = new QGroupBox(QStringLiteral("Sincronismo"), this);
  syncBox->setObjectName("Eng_GBSync");
  auto* sync = Button("Eng_Sync", QStringLiteral("Análise Sync"), syncBox);
  syncBox_ = new QPlainTextEdit(syncBox);
  syncBox_->setObjectName("Eng_SyncBox");
  syncBox_->setReadOnly(true);
  syncBox_->setFont(ctx_.tx.font());
  syncBox_->setMinimumWidth(300);
  auto* sv = new QVBoxLayout(syncBox);
  sv->addWidget(sync, 0, Qt::AlignLeft);
  sv->addWidget(syncBox_, 1);

  // Repeat and gateway tables.
  auto* tableBox = new QGroupBox(QStringLiteral("Tabelas"), this);
  tableBox->setObjectName("Eng_GBTabelas");
  auto* readRep = Button("Eng_LeTabRep", QStringLiteral("Lê Tabela"), tableBox);
  auto* readGw = Button("Eng_LeTabGw", QStringLiteral("Lê Gateway"), tableBox);
  auto* zero = Button("Eng_ZeraTabRep", QStringLiteral("Zera Tabela"), tableBox);
  startId_ = new QLineEdit(QStringLiteral("1"), tableBox);
  startId_->setObjectName("Eng_IDrepeticao");
  startId_->setMaxLength(4);
  startId_->setMaximumWidth(70);
  auto* startLabel = new QLabel(QStringLiteral("A partir do rádio"), tableBox);
  startLabel->setBuddy(startId_);

  table_ = new QTableWidget(static_cast<int>(kTableRows), 3, tableBox);
  table_->setObjectName("Eng_TabRepeticao");
  for (int c = 0; c < 3; ++c) {
    auto* h = new QTableWidgetItem(QString::fromUtf8(kHeaders[c].caption));
    if (kHeaders[c].hint) h->setToolTip(QString::fromUtf8(kHeaders[c].hint));
    table_->setHorizontalHeaderItem(c, h);
  }
  table_->verticalHeader()->setVisible(false);
  table_->verticalHeader()->setDefaultSectionSize(20);
  table_->verticalHeader()->setMinimumSectionSize(16);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table_->setMinimumWidth(260);
  for (int r = 0; r < table_->rowCount(); ++r)
    for (int c = 0; c < 3; ++c) table_->setItem(r, c, new QTableWidgetItem);

  auto* controls = new QGridLayout;
  controls->addWidget(startLabel, 0, 0);
  controls->addWidget(startId_, 0, 1);
  controls->addWidget(readRep, 1, 0, 1, 2);
  controls->addWidget(readGw, 2, 0, 1, 2);
  controls->addWidget(zero, 3, 0, 1, 2);
  controls->setRowStretch(4, 1);
  auto* th = new QHBoxLayout(tableBox);
  th->addLayout(controls);
  th->addWidget(table_, 1);

  auto* h = new QHBoxLayout(this);
  h->addWidget(syncBox, 3);
  h->addWidget(tableBox, 2);

  connect(sync, &QPushButton::clicked, this, &EngenhariaPage::Eng_SyncClick);
  connect(readRep, &QPushButton::clicked, this, &EngenhariaPage::Eng_LeTabRepClick);
  connect(readGw, &QPushButton::clicked, this, &EngenhariaPage::Eng_LeTabGwClick);
  connect(zero, &QPushButton::clicked, this, &EngenhariaPage::Eng_ZeraTabRepClick);
}

void EngenhariaPage::Eng_SyncClick() {
  const auto radio = SelectedRadio(ctx_);
  if (!radio) return;
  BeginRead(ctx_, *window(), *radio);
  ctx_.sender.SendFrame(*radio, BuildSyncRequest());
}

void EngenhariaPage::clearTable() {
  for (int r = 0; r < table_->rowCount(); ++r)
    for (int c = 0; c < 3; ++c) table_->item(r, c)->setText(QString());
}

void EngenhariaPage::beginTableRead(const Bytes& request) {
  const auto radio = SelectedRadio(ctx_);
  if (!radio) return;
  BeginRead(ctx_, *window(), *radio);
  clearTable();
  ctx_.sender.SendFrame(*radio, request);
}

void EngenhariaPage::Eng_LeTabRepClick() {
  const RepeatTableRequest req = BuildRepeatTableRequest(startId_->text().toStdString());
  if (!req.request) {
    ctx_.dialogs.error(QStringLiteral("Erro"), Qs(req.error));
    return;
  }
  beginTableRead(*req.request);
}

void EngenhariaPage::Eng_LeTabGwClick() {
  beginTableRead(BuildGatewayTableRequest());
}

void EngenhariaPage::Eng_ZeraTabRepClick() {
  const auto radio = SelectedRadio(ctx_);
  if (!radio) return;
  ctx_.setStatus(QString());
  ctx_.sender.SendFrame(*radio, BuildZeroRepeatTable());
}

void EngenhariaPage::onSyncAnalysis(const Reply& r) {
  const SyncReport rep = DecodeSyncAnalysis(r.bytes);
  QString text;
  for (const std::string& l : rep.lines) text += "\n" + Qs(l);
  syncBox_->setPlainText(text);
}

void EngenhariaPage::onTable(const Reply& r) {
  const TableReply t = DecodeTable(r.bytes);
  if (!t.start) return;
  for (std::size_t row = 0; row < kTableRows; ++row)
    for (std::size_t c = 0; c < 3; ++c)
      table_->item(static_cast<int>(row), static_cast<int>(c))->setText(Qs(t.cells[row][c]));
  ctx_.setStatus(QString());
}

}  // namespace orvalis
