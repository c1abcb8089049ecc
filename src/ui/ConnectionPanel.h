// The connection panel "CONEXÃO": serial port choice, connect button, TCP switch.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include "link/CommandSender.h"
#include "platform/SerialLink.h"
#include "platform/SerialSettings.h"
#include "ui/Dialogs.h"
#include "ui/LogPane.h"

namespace orvalis {

class ConnectionPanel : public QGroupBox {
  Q_OBJECT
public:
  ConnectionPanel(SerialLink& link, CommandSender& sender, Dialogs& dialogs, LogPane& tx, QWidget* parent = nullptr);

  // Start-up: settings from the file, the port list, then 9600 bit/s.
  void loadSettings(const QString& path = SerialSettings::filePath());
  void setSettingsPath(const QString& path) { settingsPath_ = path; }
  // Fills the port list from the system; typed device paths stay possible.
  void PortaEnter();
  void selectPort(const QString& device);

  bool serialConnected() const { return sender_.serialConnected(); }
  QComboBox* portBox() const { return porta_; }
  QPushButton* connectButton() const { return terminal_; }
  QCheckBox* tcpBox() const { return tcp_; }
  QCheckBox* decimalBox() const { return decimal_; }

  // Closes the serial link (also before a TCP connection).
  void closeSerial();

public slots:
  void TerminalClick();
  void Seleciona_ConexaoClick();

signals:
  void pageControlEnabled(bool on);
  void tcpChosen(bool on);
  // The TCP socket is closed before the serial port opens.
  void closeTcpRequested();

protected:
  bool eventFilter(QObject* o, QEvent* e) override;

private:
  void onLinkLost(const QString& reason);

  SerialLink& link_;
  CommandSender& sender_;
  Dialogs& dialogs_;
  LogPane& tx_;
  QComboBox* porta_;
  QComboBox* baud_;
  QPushButton* terminal_;
  QCheckBox* tcp_;
  QCheckBox* hexa_;
  QCheckBox* decimal_;
  SerialSettings settings_;
  QString settingsPath_;
};

}  // namespace orvalis
