// The CONEXÃO tab: the list of Ethernet controllers, their discovery, connect and login.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "events/GridTextFile.h"
#include "link/ControllerLogin.h"
#include "ui/TabPage.h"

namespace orvalis {

class ComunicacaoPage : public TabPage {
  Q_OBJECT
public:
  explicit ComunicacaoPage(PageContext& ctx);

  void Conecta_TCPClick();
  void AbreLista_TCPClick();
  void SalvaLista_TCPClick();
  // "TCP" was ticked: look for controllers again.
  void startDiscovery();

  void onControllerLogin(const Reply& r) override;

  QTableWidget* list() const { return grid_; }
  GridRows rows() const;
  void setRows(const GridRows& rows);

private:
  int selectedRow() const;
  void TSConnect();
  void TSDisconnect();
  void TSError(const QString& text, bool refused);
  void Timer_DesconectarTimer();
  void showAnswer(int row, const DiscoveryAnswer& a);

  QTableWidget* grid_;
  QPushButton* connect_;
  QLineEdit* token_;
  int loginRow_ = 0;
  bool quietDisconnect_ = false;  // the refused login already said "TCP/IP Desconectado"
};

}  // namespace orvalis
