// Simulated Ethernet controller on 127.0.0.1: computer registry, login answers, relay to the mesh, discovery answers.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUdpSocket>
#include <array>
#include <functional>
#include <vector>

#include "link/ControllerLogin.h"

class QTcpSocket;

namespace orvalis::sim {

class ControllerSim : public QObject {
  Q_OBJECT
 public:
  static constexpr int kMaxComputers = 20;

  explicit ControllerSim(QObject* parent = nullptr);
  ~ControllerSim() override;

  // Listens on 127.0.0.1 (port 0: a free one). False with a reason when it cannot.
  bool listen(quint16 port = 0, QString* error = nullptr);
  quint16 port() const { return server_.serverPort(); }
  void close();

  void setMac(const std::array<std::uint8_t, 6>& mac) { mac_ = mac; }
  const std::array<std::uint8_t, 6>& mac() const { return mac_; }
  QString macText() const;  // "00:1a:2b:..."

  // Registry of computer tokens (their 20-byte digests).
  void activate(const TokenDigest& token);
  // On: a computer not yet known is registered and accepted at once (demo mode).
  void setAutoActivate(bool on) { autoActivate_ = on; }
  // On: every login is answered "e".
  void setCommError(bool on) { commError_ = on; }
  bool isRegistered(const TokenDigest& token) const;
  bool isActivated(const TokenDigest& token) const;
  int registeredCount() const { return static_cast<int>(registry_.size()); }
  // Registers a computer as if it had logged in before.
  bool registerComputer(const TokenDigest& token, bool activated);
  int loggedInCount() const;

  // Discovery responder on 127.0.0.1 (port 0: a free one); answers every "QM417" with the list.
  bool startDiscoveryResponder(quint16 port = 0, QString* error = nullptr);
  quint16 discoveryPort() const { return udp_.localPort(); }
  // The datagrams sent per probe; empty list = one answer for this controller.
  void setDiscoveryAnswers(const QList<QByteArray>& answers) { answers_ = answers; }
  // "/<mac>/127.0.0.1/<port>/" of this controller.
  QByteArray ownDiscoveryAnswer() const;

  // Bytes a logged-in computer sent, for the mesh.
  std::function<void(const QByteArray&)> toMesh;

 public slots:
  // Bytes of the mesh, for every logged-in computer.
  void fromMesh(const QByteArray& bytes);

 signals:
  void loginAnswered(char status);
  void probeAnswered(const QHostAddress& from, quint16 port);

 private:
  struct Computer {
    TokenDigest token;
    bool activated;
  };
  struct Session {
    QTcpSocket* socket;
    QByteArray pending;  // bytes before a complete login
    bool loggedIn = false;
  };

  void onNewConnection();
  void onRead(QTcpSocket* s);
  void tryLogin(Session& s);
  char decide(const TokenDigest& token);
  Session* find(QTcpSocket* s);
  void onProbe();

  QTcpServer server_;
  QUdpSocket udp_;
  std::vector<Session> sessions_;
  std::vector<Computer> registry_;
  std::array<std::uint8_t, 6> mac_{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  bool autoActivate_ = false;
  bool commError_ = false;
  QList<QByteArray> answers_;
};

}  // namespace orvalis::sim
