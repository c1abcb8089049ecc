// A simulated Ethernet controller in front of the simulated mesh, all on loopback.
#pragma once

#include <QObject>
#include <QTcpSocket>

#include "sim/ControllerSim.h"
#include "sim/Simulator.h"

namespace orvalis::sim {

class DemoController : public QObject {
  Q_OBJECT
public:
  // Relays the logged-in traffic to the simulator's plain TCP line.
  explicit DemoController(Simulator& simulator, QObject* parent = nullptr);

  // Starts the controller (free port), the discovery responder and the relay.
  bool start(QString* error);
  ControllerSim& controller() { return controller_; }
  quint16 port() const { return controller_.port(); }
  quint16 discoveryPort() const { return controller_.discoveryPort(); }

private:
  Simulator& simulator_;
  ControllerSim controller_;
  QTcpSocket mesh_;
};

}  // namespace orvalis::sim
