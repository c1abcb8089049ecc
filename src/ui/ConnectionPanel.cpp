#include "ui/ConnectionPanel.h"

#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>

#include "platform/SerialPorts.h"

namespace orvalis {

ConnectionPanel::ConnectionPanel(SerialLink& link, CommandSender& sender, Dialogs& dialogs, LogPane& tx,
                                 QWidget* parent)
    : QGroupBox(QStringLiteral("CONEXÃO"), parent), link_(link), sender_(sender), dialogs_(dialogs), tx_(tx) {
  setObjectName("GroupBox4");
  porta_ = new QComboBox(this);
  porta_->setObjectName("Porta");
  porta_->setEditable(true);
  porta_->setInsertPolicy(QComboBox::NoInsert);
  porta_->setMinimumContentsLength(12);
  porta_->setToolTip(QStringLiteral("Porta serial do rádio mestre (lista ou caminho, ex.: /dev/ttyUSB0)"));
  baud_ = new QComboBox(this);
  baud_->setObjectName("BaudRate");
  baud_->addItems(BaudRateTexts().mid(1));
  baud_->setCurrentText("9600");
  baud_->setVisible(false);
  terminal_ = new QPushButton(QStringLiteral("&CONECTAR"), this);
  terminal_->setObjectName("Terminal");
  tcp_ = new QCheckBox(QStringLiteral("TCP"), this);
  tcp_->setObjectName("Seleciona_Conexao");
  hexa_ = new QCheckBox(QStringLiteral("Hexa"), this);
  hexa_->setObjectName("Hexa");
  hexa_->setVisible(false);
  decimal_ = new QCheckBox(QStringLiteral("Decimal"), this);
  decimal_->setObjectName("Decimal");
  decimal_->setChecked(true);
  decimal_->setVisible(false);
  // Read handlers tick it with Decimal; nothing reads it.
  auto* cabecalho = new QCheckBox(QStringLiteral("Cabecalho"), this);
  cabecalho->setObjectName("Cabecalho");
  cabecalho->setVisible(false);

  auto* g = new QGridLayout(this);
  g->addWidget(porta_, 0, 0);
  g->addWidget(baud_, 0, 1);
  g->addWidget(terminal_, 1, 0);
  g->addWidget(tcp_, 1, 1);
  g->addWidget(hexa_, 2, 0);
  g->addWidget(decimal_, 2, 1);

  porta_->setEditText(settings_.port);
  porta_->installEventFilter(this);
  connect(terminal_, &QPushButton::clicked, this, &ConnectionPanel::TerminalClick);
  connect(tcp_, &QCheckBox::clicked, this, &ConnectionPanel::Seleciona_ConexaoClick);
  connect(&link_, &SerialLink::linkLost, this, &ConnectionPanel::onLinkLost);
  connect(&link_, &SerialLink::writeFailed, this, [this](const QString& why) {
    tx_.appendLine(QStringLiteral("Falha ao escrever na porta serial: %1").arg(why));
  });
}

bool ConnectionPanel::eventFilter(QObject* o, QEvent* e) {
  if (o == porta_ && e->type() == QEvent::FocusIn && porta_->isEnabled()) PortaEnter();
  return QGroupBox::eventFilter(o, e);
}

void ConnectionPanel::loadSettings(const QString& path) {
  settingsPath_ = path;
  settings_ = SerialSettings::load(path);
  porta_->setEditText(settings_.port);
  settings_.baud = 9600;  // the stored speed is read, then replaced
  baud_->setCurrentText("9600");
}

void ConnectionPanel::PortaEnter() {
  const QString typed = porta_->currentText();
  porta_->clear();
  for (const SerialPortEntry& p : ListSerialPorts()) porta_->addItem(p.device);
  porta_->setEditText(typed);
}

void ConnectionPanel::selectPort(const QString& device) { porta_->setEditText(device); }

void ConnectionPanel::TerminalClick() {
  if (sender_.serialConnected()) {
    closeSerial();
    emit pageControlEnabled(false);
    return;
  }
  emit pageControlEnabled(true);
  emit closeTcpRequested();
  settings_.port = porta_->currentText().trimmed();
  settings_.baud = baud_->currentText().toInt();
  QString error;
  if (!link_.open(settings_.port, settings_.baud, &error)) {
    dialogs_.error(QStringLiteral("Erro"), QStringLiteral("Não foi possível abrir a porta %1: %2").arg(settings_.port, error));
    return;
  }
  sender_.setSerialConnected(true);
  tx_.setFocus();
  tx_.clear();
  terminal_->setText(QStringLiteral("&DESCONECTAR"));
  porta_->setEnabled(false);
  if (!settings_.save(settingsPath_.isEmpty() ? SerialSettings::filePath() : settingsPath_))
    tx_.appendLine(QStringLiteral("Não foi possível gravar DIRIDIRUZER.ini"));
}

void ConnectionPanel::closeSerial() {
  link_.close();
  sender_.setSerialConnected(false);
  terminal_->setText(QStringLiteral("&CONECTAR"));
  porta_->setEnabled(!tcp_->isChecked());
}

void ConnectionPanel::onLinkLost(const QString& reason) {
  sender_.setSerialConnected(false);
  terminal_->setText(QStringLiteral("&CONECTAR"));
  porta_->setEnabled(!tcp_->isChecked());
  tx_.appendLine(QStringLiteral("Porta serial perdida (%1); conexão encerrada.").arg(reason));
  if (!tcp_->isChecked()) emit pageControlEnabled(false);
}

void ConnectionPanel::Seleciona_ConexaoClick() {
  const bool on = tcp_->isChecked();
  porta_->setEnabled(!on && !sender_.serialConnected());
  terminal_->setEnabled(!on);
  emit tcpChosen(on);
  // Unticking keeps the pages usable while the serial port is still open.
  emit pageControlEnabled(on || sender_.serialConnected());
}

}  // namespace orvalis
