// Looks for Ethernet controllers: probe "QM417" over UDP, answers into the controller list until 2 s of quiet.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>

#include "link/ControllerLogin.h"

namespace orvalis {

class ControllerDiscovery : public QObject {
  Q_OBJECT
 public:
  // target: where the probe goes. A real run passes QHostAddress::Broadcast; demo mode and tests a
  // loopback address, so nothing leaves the computer.
  explicit ControllerDiscovery(const QHostAddress& target, QObject* parent = nullptr);

  void setTarget(const QHostAddress& a) { target_ = a; }
  QHostAddress target() const { return target_; }
  // The probe's destination port (1202).
  void setTargetPort(quint16 p) { targetPort_ = p; }
  // The local endpoint (any IPv4 address, port 1202); port 0 takes a free one.
  void setLocalEndpoint(const QHostAddress& a, quint16 port) {
    bindAddress_ = a;
    localPort_ = port;
  }
  quint16 localPort() const {
    return socket_.state() == QAbstractSocket::BoundState ? socket_.localPort() : localPort_;
  }
  // Timer_UDP's interval (2 s); tests shorten it.
  void setQuietInterval(int ms) { timer_.setInterval(ms); }

  // Start discovery: two empty rows, bind, probe, Timer_UDP. False (and error()) when the
  // endpoint cannot be bound, e.g. the port is in use; the list is reset anyway.
  bool start();
  bool active() const { return socket_.state() == QAbstractSocket::BoundState; }

  // The grid's rows; the window may replace them (list file) between answers.
  ControllerList& list() { return list_; }
  const ControllerList& list() const { return list_; }

 public slots:
  // End of discovery: the endpoint is released and the timer stopped.
  void Timer_UDPTimer();

 signals:
  void listReset();                                        // two empty rows
  void answerReceived(int row, const DiscoveryAnswer& a);  // row filled, one empty row added
  void finished();
  void error(const QString& text);

 private:
  void onReadyRead();

  QUdpSocket socket_;
  QTimer timer_;
  QHostAddress target_;
  quint16 targetPort_ = kDiscoveryPort;
  QHostAddress bindAddress_{QHostAddress::AnyIPv4};
  quint16 localPort_ = kDiscoveryPort;
  ControllerList list_;
};

}  // namespace orvalis
