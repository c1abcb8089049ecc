#include "sim/ControllerSim.h"

#include <QNetworkDatagram>
#include <QTcpSocket>
#include <algorithm>

#include "link/ByteReader.h"
#include "link/FrameCrc16.h"
#include "link/RadioFrame.h"

namespace orvalis::sim {

namespace {
constexpr std::uint8_t kHeader[] = {0xFA, 0xFF, code::kLogin, kLoginMarker};
constexpr qsizetype kLoginFrameSize = 4 + kTokenDigestSize + 2;
// Bytes kept while waiting for the rest of a login; more than this is noise.
constexpr qsizetype kPendingLimit = 4096;

std::span<const std::uint8_t> Span(const QByteArray& b) {
  return {reinterpret_cast<const std::uint8_t*>(b.constData()), static_cast<std::size_t>(b.size())};
}
}  // namespace

ControllerSim::ControllerSim(QObject* parent) : QObject(parent) {
  connect(&server_, &QTcpServer::newConnection, this, &ControllerSim::onNewConnection);
  connect(&udp_, &QUdpSocket::readyRead, this, &ControllerSim::onProbe);
}

ControllerSim::~ControllerSim() {
  close();
}

bool ControllerSim::listen(quint16 port, QString* error) {
  if (server_.listen(QHostAddress::LocalHost, port)) return true;
  if (error) *error = server_.errorString();
  return false;
}

void ControllerSim::close() {
  server_.close();
  for (Session& s : sessions_) {
    s.socket->disconnect(this);
    s.socket->abort();
    s.socket->deleteLater();
  }
  sessions_.clear();
  udp_.close();
}

QString ControllerSim::macText() const {
  return QString::asprintf("%02x:%02x:%02x:%02x:%02x:%02x", mac_[0], mac_[1], mac_[2], mac_[3], mac_[4], mac_[5]);
}

bool ControllerSim::isRegistered(const TokenDigest& token) const {
  return std::any_of(registry_.begin(), registry_.end(), [&](const Computer& c) { return c.token == token; });
}

bool ControllerSim::isActivated(const TokenDigest& token) const {
  return std::any_of(registry_.begin(), registry_.end(),
                     [&](const Computer& c) { return c.token == token && c.activated; });
}

void ControllerSim::activate(const TokenDigest& token) {
  for (Computer& c : registry_)
    if (c.token == token) c.activated = true;
}

bool ControllerSim::registerComputer(const TokenDigest& token, bool activated) {
  for (Computer& c : registry_) {
    if (c.token == token) {
      c.activated = c.activated || activated;
      return true;
    }
  }
  if (registeredCount() >= kMaxComputers) return false;
  registry_.push_back({token, activated});
  return true;
}

int ControllerSim::loggedInCount() const {
  return static_cast<int>(
      std::count_if(sessions_.begin(), sessions_.end(), [](const Session& s) { return s.loggedIn; }));
}

ControllerSim::Session* ControllerSim::find(QTcpSocket* s) {
  const auto it = std::find_if(sessions_.begin(), sessions_.end(), [&](const Session& x) { return x.socket == s; });
  return it == sessions_.end() ? nullptr : &*it;
}

void ControllerSim::onNewConnection() {
  while (QTcpSocket* s = server_.nextPendingConnection()) {
    sessions_.push_back(Session{s, {}, false});
    connect(s, &QTcpSocket::readyRead, this, [this, s] { onRead(s); });
    connect(s, &QTcpSocket::disconnected, this, [this, s] {
      std::erase_if(sessions_, [&](const Session& x) { return x.socket == s; });
      s->deleteLater();
    });
  }
}

void ControllerSim::onRead(QTcpSocket* socket) {
  Session* s = find(socket);
  if (!s) return;
  const QByteArray bytes = socket->readAll();
  if (s->loggedIn) {
    if (toMesh) toMesh(bytes);
    return;
  }
  s->pending += bytes;
  tryLogin(*s);
}

void ControllerSim::tryLogin(Session& session) {
  QTcpSocket* socket = session.socket;
  Session* p = &session;
  while (!p->loggedIn && !p->pending.isEmpty()) {
    Session& s = *p;
    const ByteReader r(Span(s.pending));
    // Gateway prefixes may stand in front, as for every frame.
    qsizetype at = 0;
    while (r.u8(static_cast<std::size_t>(at) + 2) == kGatewayMarker) at += 3;
    const auto head = r.slice(static_cast<std::size_t>(at), sizeof kHeader);
    if (!std::equal(head.begin(), head.end(), std::begin(kHeader)) || s.pending.size() > kPendingLimit) {
      s.pending.clear();  // not a login: the controller takes nothing else before one
      return;
    }
    if (s.pending.size() < at + kLoginFrameSize) return;  // the rest is on its way

    const qsizetype end = at + kLoginFrameSize;
    const auto frame = Span(s.pending).first(static_cast<std::size_t>(end));
    const bool crcOk = FrameCrc16(frame.first(frame.size() - 2)) == ByteReader(frame).u16le(frame.size() - 2);
    TokenDigest token{};
    std::copy_n(frame.begin() + at + 4, token.size(), token.begin());
    const char status = crcOk ? decide(token) : 'e';

    Bytes answer{0xFA, 0xFF, code::kLogin, kLoginMarker, static_cast<std::uint8_t>(status)};
    if (status == 'o') answer.insert(answer.end(), mac_.begin(), mac_.end());
    AppendFrameCrc(answer);
    socket->write(reinterpret_cast<const char*>(answer.data()), static_cast<qint64>(answer.size()));
    s.pending.remove(0, end);
    if (status == 'o') s.loggedIn = true;
    emit loginAnswered(status);
    p = find(socket);  // a slot may have closed the controller
    if (!p) return;
  }
  if (p->loggedIn && !p->pending.isEmpty()) {
    const QByteArray rest = p->pending;
    p->pending.clear();
    if (toMesh) toMesh(rest);
  }
}

char ControllerSim::decide(const TokenDigest& token) {
  if (commError_) return 'e';
  if (isRegistered(token)) return isActivated(token) ? 'o' : 'b';
  if (!registerComputer(token, autoActivate_)) return 'n';
  return autoActivate_ ? 'o' : 'c';
}

void ControllerSim::fromMesh(const QByteArray& bytes) {
  for (const Session& s : sessions_)
    if (s.loggedIn) s.socket->write(bytes);
}

bool ControllerSim::startDiscoveryResponder(quint16 port, QString* error) {
  udp_.close();
  if (udp_.bind(QHostAddress::LocalHost, port, QAbstractSocket::DontShareAddress)) return true;
  if (error) *error = udp_.errorString();
  return false;
}

QByteArray ControllerSim::ownDiscoveryAnswer() const {
  return "/" + macText().toLatin1() + "/127.0.0.1/" + QByteArray::number(port()) + "/";
}

void ControllerSim::onProbe() {
  while (udp_.hasPendingDatagrams()) {
    const QNetworkDatagram d = udp_.receiveDatagram();
    // Loopback only: the simulator never talks to the network.
    if (d.data() != QByteArray(kDiscoveryProbe.data(), kDiscoveryProbe.size()) || !d.senderAddress().isLoopback())
      continue;
    const QList<QByteArray> answers = answers_.isEmpty() ? QList<QByteArray>{ownDiscoveryAnswer()} : answers_;
    for (const QByteArray& a : answers) udp_.writeDatagram(a, d.senderAddress(), static_cast<quint16>(d.senderPort()));
    emit probeAnswered(d.senderAddress(), static_cast<quint16>(d.senderPort()));
  }
}

}  // namespace orvalis::sim
