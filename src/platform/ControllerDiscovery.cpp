#include "platform/ControllerDiscovery.h"

#include <QNetworkDatagram>

namespace orvalis {

ControllerDiscovery::ControllerDiscovery(const QHostAddress& target, QObject* parent)
    : QObject(parent), target_(target) {
  timer_.setSingleShot(true);
  // Coarse timers may fire 5 % early, which would cut off an answer 1.9 s after the last.
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(kDiscoveryQuietMs);
  connect(&timer_, &QTimer::timeout, this, &ControllerDiscovery::Timer_UDPTimer);
  connect(&socket_, &QUdpSocket::readyRead, this, &ControllerDiscovery::onReadyRead);
}

bool ControllerDiscovery::start() {
  timer_.stop();
  socket_.abort();
  StartDiscoveryList(list_);
  emit listReset();
  // Exclusive, so that another program on the port is reported instead of sharing it.
  // Qt turns on SO_BROADCAST for every UDP socket.
  if (!socket_.bind(bindAddress_, localPort_, QAbstractSocket::DontShareAddress)) {
    const QString text = socket_.errorString();
    socket_.abort();
    emit error(text);
    return false;
  }
  const QByteArray probe(kDiscoveryProbe.data(), static_cast<qsizetype>(kDiscoveryProbe.size()));
  if (socket_.writeDatagram(probe, target_, targetPort_) != probe.size())
    emit error(socket_.errorString());  // keep listening: a late interface may still answer
  timer_.start();
  return true;
}

void ControllerDiscovery::Timer_UDPTimer() {
  timer_.stop();
  const bool was = active();
  socket_.close();
  if (was) emit finished();
}

void ControllerDiscovery::onReadyRead() {
  while (socket_.hasPendingDatagrams()) {
    const QNetworkDatagram d = socket_.receiveDatagram();
    const QByteArray data = d.data();
    const auto answer =
        ParseDiscoveryAnswer(std::span(reinterpret_cast<const std::uint8_t*>(data.constData()), data.size()));
    if (!answer) continue;  // our own probe comes back on a broadcast, among others
    const std::size_t row = AddDiscoveryAnswer(list_, *answer);
    timer_.start();
    emit answerReceived(static_cast<int>(row), *answer);
    if (!active()) return;  // a slot ended the discovery
  }
}

}  // namespace orvalis
