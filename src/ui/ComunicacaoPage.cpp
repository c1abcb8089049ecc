#include "ui/ComunicacaoPage.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>

#include "link/FrameCrc16.h"
#include "platform/ComputerToken.h"
#include "platform/ControllerDiscovery.h"
#include "platform/TcpControllerLink.h"

namespace orvalis {

namespace {
QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
constexpr auto kListFilter = ".txt|*.txt|Configuração Rede MESH|*.mesh|Lista TCP|*.tcp";
constexpr auto kListTitle = "Lista de controladoras";
constexpr int kListFilterTcp = 2;  // "Lista TCP" is shown first
}  // namespace

ComunicacaoPage::ComunicacaoPage(PageContext& ctx) : TabPage(ctx, "Comunicacao") {
  grid_ = new QTableWidget(1, 3, this);
  grid_->setObjectName("UdpSearchStringGrid");
  grid_->setHorizontalHeaderLabels({QStringLiteral("Endereço MAC"), QStringLiteral("Endereço IP"), "Porta"});
  grid_->setColumnWidth(0, 150);
  grid_->setColumnWidth(1, 150);
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->verticalHeader()->setDefaultSectionSize(20);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setMinimumWidth(420);

  connect_ = new QPushButton(Q(kCaptionConnect), this);
  connect_->setObjectName("Conecta_TCP");
  auto* open = new QPushButton(QStringLiteral("ABRIR LISTA"), this);
  open->setObjectName("AbreLista_TCP");
  auto* save = new QPushButton(QStringLiteral("SALVAR LISTA"), this);
  save->setObjectName("SalvaLista_TCP");
  token_ = new QLineEdit(this);
  token_->setObjectName("MaskEdit1");
  token_->setReadOnly(true);
  token_->setMinimumWidth(330);

  auto* g = new QGridLayout(this);
  g->addWidget(grid_, 0, 0, 5, 1);
  g->addWidget(connect_, 0, 1);
  g->addWidget(open, 1, 1);
  g->addWidget(save, 2, 1);
  g->addWidget(new QLabel("Token"), 3, 1);
  g->addWidget(token_, 4, 1, Qt::AlignTop);
  g->setColumnStretch(0, 1);
  g->setRowStretch(4, 1);

  connect(connect_, &QPushButton::clicked, this, &ComunicacaoPage::Conecta_TCPClick);
  connect(open, &QPushButton::clicked, this, &ComunicacaoPage::AbreLista_TCPClick);
  connect(save, &QPushButton::clicked, this, &ComunicacaoPage::SalvaLista_TCPClick);
  if (TcpControllerLink* tcp = ctx_.tcp) {
    connect(tcp, &TcpControllerLink::connected, this, &ComunicacaoPage::TSConnect);
    connect(tcp, &TcpControllerLink::disconnected, this, &ComunicacaoPage::TSDisconnect);
    connect(tcp, &TcpControllerLink::error, this, &ComunicacaoPage::TSError);
    connect(tcp, &TcpControllerLink::timedOut, this, &ComunicacaoPage::Timer_DesconectarTimer);
  }
  if (ControllerDiscovery* d = ctx_.discovery) {
    connect(d, &ControllerDiscovery::listReset, this, [this] {
      grid_->setRowCount(0);
      grid_->setRowCount(2);
    });
    connect(d, &ControllerDiscovery::answerReceived, this, &ComunicacaoPage::showAnswer);
    connect(d, &ControllerDiscovery::error, this,
            [this](const QString& t) { ctx_.dialogs.error(QStringLiteral("Erro"), t); });
  }
}

void ComunicacaoPage::startDiscovery() {
  if (ctx_.discovery) ctx_.discovery->start();
}

void ComunicacaoPage::showAnswer(int row, const DiscoveryAnswer& a) {
  if (grid_->rowCount() <= row) grid_->setRowCount(row + 1);
  grid_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(a.mac)));
  grid_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(a.ip)));
  grid_->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(a.port)));
  grid_->setRowCount(grid_->rowCount() + 1);
  ctx_.setStatus(QString());
}

int ComunicacaoPage::selectedRow() const {
  const int r = grid_->currentRow();
  return r < 0 ? 0 : r;
}

GridRows ComunicacaoPage::rows() const {
  GridRows out;
  for (int r = 0; r < grid_->rowCount(); ++r) {
    GridRow row;
    for (int c = 0; c < 3; ++c) {
      const auto* it = grid_->item(r, c);
      row.push_back(it ? it->text().toStdString() : std::string());
    }
    out.push_back(row);
  }
  return out;
}

void ComunicacaoPage::setRows(const GridRows& rows) {
  grid_->setRowCount(0);
  grid_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r)
    for (int c = 0; c < 3 && c < static_cast<int>(rows[static_cast<std::size_t>(r)].size()); ++c)
      grid_->setItem(r, c, new QTableWidgetItem(QString::fromStdString(rows[std::size_t(r)][std::size_t(c)])));
}

void ComunicacaoPage::Conecta_TCPClick() {
  TcpControllerLink* tcp = ctx_.tcp;
  if (!tcp) return;
  if (tcp->isActive()) {
    connect_->setText(Q(kCaptionConnect));
    tcp->disconnectFromHost();
    return;
  }
  loginRow_ = selectedRow();
  auto cell = [&](int c) {
    const auto* it = grid_->item(loginRow_, c);
    return it ? it->text().trimmed().toStdString() : std::string();
  };
  const ConnectTarget t = CheckConnectTarget(cell(1), cell(2));
  if (t.statusText) {
    ctx_.setStatus(QString::fromStdString(*t.statusText));
    return;
  }
  if (t.errorText) {
    ctx_.dialogs.error(QStringLiteral("Erro"), QString::fromStdString(*t.errorText));
    return;
  }
  connect_->setText(Q(kCaptionDisconnect));
  quietDisconnect_ = false;
  tcp->connectToHost(QString::fromStdString(t.host), t.port);
  ctx_.closeSerial();
  const QDateTime now = QDateTime::currentDateTime();
  ctx_.tx.clear();
  ctx_.tx.appendText(QString::fromStdString(ConnectStartLine(now.date().day(), now.date().month(), now.date().year(),
                                                             now.time().hour(), now.time().minute(),
                                                             now.time().second())));
}

void ComunicacaoPage::TSConnect() {
  TcpControllerLink* tcp = ctx_.tcp;
  ctx_.tx.appendLine(QString::fromStdString(ConnectingLine(tcp->host().toStdString(), tcp->port())));
  const ComputerToken::Result token = ComputerToken().compute();
  if (!token.ok()) {
    // Without both identities there is no token to log in with.
    ctx_.tx.appendLine(token.error);
    connect_->setText(Q(kCaptionConnect));
    tcp->disconnectFromHost();
    return;
  }
  token_->setText(token.text);
  ctx_.sender.SendFrame(kControllerId, BuildLoginMessage(token.digest));
}

void ComunicacaoPage::onControllerLogin(const Reply& r) {
  const auto answer = DecodeLoginAnswer(r.bytes);
  if (!answer) return;
  for (const std::string& line : answer->txLines) ctx_.tx.appendLine(QString::fromStdString(line));
  if (answer->macText) {
    if (grid_->rowCount() <= loginRow_) grid_->setRowCount(loginRow_ + 1);
    grid_->setItem(loginRow_, 0, new QTableWidgetItem(QString::fromStdString(*answer->macText)));
  }
  if (answer->reReadTrigger) ctx_.dispatcher.armReRead(answer->reReadTrigger);
  if (answer->hideCommandEventGroup && ctx_.window)
    if (auto* g = ctx_.window->findChild<QWidget*>("TComandoEvento")) g->setVisible(false);
  if (!answer->keepOpen) {
    connect_->setText(Q(answer->caption.value_or(std::string(kCaptionConnect))));
    quietDisconnect_ = answer->kind == LoginStatus::NotActivated;
    if (ctx_.tcp) ctx_.tcp->disconnectFromHost();
  }
}

void ComunicacaoPage::TSDisconnect() {
  if (!quietDisconnect_) ctx_.tx.appendLine(Q(kTextDisconnected));
  quietDisconnect_ = false;
  connect_->setText(Q(kCaptionConnect));
}

void ComunicacaoPage::TSError(const QString& text, bool refused) {
  if (refused)
    ctx_.dialogs.warning(Q(kTextRefusedTitle), Q(kTextRefused));
  else
    ctx_.tx.appendLine(QStringLiteral("Erro na conexão TCP: %1").arg(text));
  connect_->setText(Q(kCaptionConnect));
}

void ComunicacaoPage::Timer_DesconectarTimer() {
  ctx_.tx.clear();
  ctx_.tx.appendText(Q(kTextTimedOut));
  connect_->setText(Q(kCaptionConnect));
}

void ComunicacaoPage::AbreLista_TCPClick() {
  const QString file = ctx_.dialogs.openFile(kListTitle, kListFilter, kListFilterTcp);
  if (file.isEmpty()) return;
  GridRows rows;
  const std::string err = GridTextFile::Load(QFileInfo(file).filesystemFilePath(), rows);
  setRows(rows);
  if (!err.empty())
    ctx_.dialogs.error(QStringLiteral("Erro"),
                       QStringLiteral("Não foi possível ler %1: %2").arg(file, QString::fromStdString(err)));
}

void ComunicacaoPage::SalvaLista_TCPClick() {
  QString file = ctx_.dialogs.saveFile(kListTitle, kListFilter, kListFilterTcp, "tcp");
  if (file.isEmpty()) return;
  if (QFileInfo(file).suffix().isEmpty()) file += ".tcp";
  const std::string err = GridTextFile::Save(QFileInfo(file).filesystemFilePath(), rows());
  if (!err.empty())
    ctx_.dialogs.error(QStringLiteral("Erro"),
                       QStringLiteral("Não foi possível gravar %1: %2").arg(file, QString::fromStdString(err)));
}

}  // namespace orvalis
