#include "platform/TcpControllerLink.h"

#include <QPointer>
#include <array>

namespace orvalis {

TcpControllerLink::TcpControllerLink(QObject* parent) : QObject(parent) {
  timer_.setSingleShot(true);
  // A coarse timer may fire up to 5 % early: 30 s before the 10 minutes.
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(kDisconnectMs);
  connect(&timer_, &QTimer::timeout, this, &TcpControllerLink::Timer_DesconectarTimer);
  connect(&socket_, &QTcpSocket::connected, this, &TcpControllerLink::connected);
  connect(&socket_, &QTcpSocket::disconnected, this, [this] {
    timer_.stop();
    emit disconnected();
  });
  connect(&socket_, &QTcpSocket::readyRead, this, &TcpControllerLink::onReadyRead);
  connect(&socket_, &QTcpSocket::errorOccurred, this, &TcpControllerLink::onError);
}

TcpControllerLink::~TcpControllerLink() {
  // Going away is not a disconnect the window should hear about.
  socket_.disconnect(this);
  socket_.abort();
}

void TcpControllerLink::connectToHost(const QString& host, quint16 port) {
  if (socket_.state() != QAbstractSocket::UnconnectedState) socket_.abort();
  host_ = host;
  port_ = port;
  // The link is cut 10 minutes after it was started, whatever flows on it.
  timer_.start();
  socket_.connectToHost(host, port);
}

void TcpControllerLink::disconnectFromHost() {
  // A closed link must not clear the terminal pane later nor cut the next one short.
  timer_.stop();
  if (socket_.state() == QAbstractSocket::ConnectedState)
    socket_.disconnectFromHost();
  else if (socket_.state() != QAbstractSocket::UnconnectedState)
    socket_.abort();
}

bool TcpControllerLink::write(std::span<const std::uint8_t> bytes) {
  if (!isOpen()) return false;
  const qint64 n = socket_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  if (n != static_cast<qint64>(bytes.size())) {
    emit writeFailed(socket_.errorString());
    return false;
  }
  return true;
}

void TcpControllerLink::Timer_DesconectarTimer() {
  timer_.stop();
  // Cut at once, so the disconnect is told before the timeout (the pane is cleared after it).
  socket_.abort();
  emit timedOut();
}

void TcpControllerLink::onReadyRead() {
  // Each piece goes on at once; a slot may close the link while we read, and
  // what is left after that is not handed on.
  QPointer<TcpControllerLink> self(this);
  std::array<char, kReadLimit> buf{};
  while (self && isOpen() && socket_.bytesAvailable() > 0) {
    const qint64 n = socket_.read(buf.data(), kReadLimit);
    if (n <= 0) break;
    emit bytesRead(QByteArray(buf.data(), static_cast<qsizetype>(n)));
  }
}

void TcpControllerLink::onError(QAbstractSocket::SocketError e) {
  // The controller closing its side is a disconnect, reported by disconnected().
  if (e == QAbstractSocket::RemoteHostClosedError) return;
  const QString text = socket_.errorString();
  timer_.stop();
  socket_.abort();
  emit error(text, e == QAbstractSocket::ConnectionRefusedError);
}

}  // namespace orvalis
