// The client socket to the Ethernet controller (TS) with its 10-minute disconnect timer, as a LinkTransport.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include "link/ControllerLogin.h"
#include "link/LinkTransport.h"

namespace orvalis {

class TcpControllerLink : public QObject, public LinkTransport {
  Q_OBJECT
 public:
  static constexpr quint16 kDefaultPort = kControllerDefaultPort;
  static constexpr qint64 kReadLimit = 2000;  // bytes handed on per read
  static constexpr int kDisconnectMs = kControllerDisconnectMs;

  explicit TcpControllerLink(QObject* parent = nullptr);
  ~TcpControllerLink() override;

  // Starts a non-blocking connection and Timer_Desconectar; a link still open is dropped first.
  void connectToHost(const QString& host, quint16 port = kDefaultPort);
  // Closes the link (pending writes are still sent); stops Timer_Desconectar.
  void disconnectFromHost();

  // Connected (the login may still be pending).
  bool isOpen() const override { return socket_.state() == QAbstractSocket::ConnectedState; }
  // Connecting or connected: the button shows "DESCONECTAR".
  bool isActive() const { return socket_.state() != QAbstractSocket::UnconnectedState; }
  bool write(std::span<const std::uint8_t> bytes) override;

  QString host() const { return host_; }
  quint16 port() const { return port_; }

  // Timer_Desconectar's interval (10 minutes); tests shorten it.
  void setDisconnectTimeout(int ms) { timer_.setInterval(ms); }
  int disconnectTimeout() const { return timer_.interval(); }
  bool disconnectTimerActive() const { return timer_.isActive(); }

 public slots:
  // Timer_Desconectar fired: the link is closed, then timedOut() follows.
  void Timer_DesconectarTimer();

 signals:
  void connected();     // TSConnect: send the login now
  void disconnected();  // TSDisconnect: a connected link closed, by either side
  // TSError: the link is closed already; refused is the "connection refused" case.
  void error(const QString& text, bool refused);
  void bytesRead(const QByteArray& bytes);  // TSRead: at most kReadLimit bytes, as they came
  void timedOut();                          // after Timer_Desconectar closed the link
  void writeFailed(const QString& reason);

 private:
  void onReadyRead();
  void onError(QAbstractSocket::SocketError e);

  QTimer timer_;
  QTcpSocket socket_;
  QString host_;
  quint16 port_ = kDefaultPort;
};

}  // namespace orvalis
