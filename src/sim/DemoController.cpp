#include "sim/DemoController.h"

#include <QHostAddress>

namespace orvalis::sim {

DemoController::DemoController(Simulator& simulator, QObject* parent) : QObject(parent), simulator_(simulator) {
  controller_.setAutoActivate(true);  // the demo computer is accepted at once
  controller_.toMesh = [this](const QByteArray& b) { mesh_.write(b); };
  connect(&mesh_, &QTcpSocket::readyRead, this, [this] { controller_.fromMesh(mesh_.readAll()); });
}

bool DemoController::start(QString* error) {
  if (!simulator_.tcpPort() && !simulator_.listenTcp(0, error)) return false;
  if (!controller_.listen(0, error)) return false;
  if (!controller_.startDiscoveryResponder(0, error)) return false;
  mesh_.connectToHost(QHostAddress(QHostAddress::LocalHost), simulator_.tcpPort());
  return true;
}

}  // namespace orvalis::sim
